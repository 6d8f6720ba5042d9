#include "editor/EditorDialogs.h"

#include <memory>

EditorDialogs::EditorDialogs(const ImageWind& images, const ParamData& data) {
    const ImageWind* im = &images;
    const ParamData* pd = &data;
    listWind.setMaker([im] { return std::make_unique<ListWind>(*im); });
    eqCopyWind1.setMaker([im, pd] { return std::make_unique<EQCopyWind1>(*im, *pd); });
    eqCopyWind2.setMaker([im, pd] { return std::make_unique<EQCopyWind2>(*im, *pd); });
}

int EditorDialogs::EQCopyWindShow(int mode) {
    EQCopyWind& shown = mode != 0 ? static_cast<EQCopyWind&>(*eqCopyWind2) : *eqCopyWind1;
    shown.exec();
    return shown.ReturnCh;
}
