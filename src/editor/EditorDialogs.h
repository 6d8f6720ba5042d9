#pragma once

#include "editor/EQCopyWind.h"
#include "editor/ListWind.h"
#include "startwin/OnDemand.h"

class ImageWind;
class ParamData;

// The editor's shared pick dialogs. Each is made the first time it is
// asked for and then kept, hidden between uses, so what a caller set on it
// stays until the next caller sets its own.
class EditorDialogs {
public:
    EditorDialogs(const ImageWind& images, const ParamData& data);

    // The face of the users' names, given to the copy dialogs' names when
    // they are made (FontSetAll sets the ones already made).
    QString NameFont;

    OnDemand<ListWind> listWind;
    OnDemand<EQCopyWind1> eqCopyWind1;
    OnDemand<EQCopyWind2> eqCopyWind2;

    // Shows eqCopyWind2 when mode is non-zero, else eqCopyWind1, modal,
    // and returns its ReturnCh. The caller sets SourceCh and CopyMode of
    // that dialog first; mapping the position back to a channel is its own.
    int EQCopyWindShow(int mode);
};
