#pragma once

#include "data/SpeakerFile.h"
#include "startwin/Widgets.h"

#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;

// A speaker list (the chooser's, the editor's) holding the speakers, each
// with the file that loads it, the first selected.
void FillSpeakerList(QListWidget* list, const QList<SpeakerEntry>& speakers);

// The speaker chooser of simple setup: one speaker file for an output, or
// none ("FLAT"). The caller reads the choice from the list's selection and
// the box once the dialog has closed.
class SPSelectWind : public FaceDialog {
    Q_OBJECT
public:
    explicit SPSelectWind(const ImageWind& store, QWidget* parent = nullptr);

    QListWidget* SpeakerList = nullptr;
    QCheckBox* NoSelect = nullptr;
    QLabel* LineName = nullptr;
    PicButton* OKButton = nullptr;
    PicButton* CloseButton = nullptr;
    // Where speaker files go, shown while spkr/ holds none.
    QLabel* EmptyHint = nullptr;

    // The metal face is shown while the start window is.
    std::function<bool()> startWindowVisible;

    void Form_Activate() override;
    void OKButton_Click();
    void CloseButton_Click();
    // Esc and the close box choose nothing, as CLOSE does.
    void reject() override { CloseButton_Click(); }
};
