#include "editor/EditorDialogs.h"

#include <memory>

EditorDialogs::EditorDialogs(const ImageWind& images, const ParamData& data) {
    listWind.setMaker([&images] { return std::make_unique<ListWind>(images); });
    eqCopyWind1.setMaker([&images, &data] { return std::make_unique<EQCopyWind1>(images, data); });
    eqCopyWind2.setMaker([&images, &data] { return std::make_unique<EQCopyWind2>(images, data); });
}

int EditorDialogs::EQCopyWindShow(int mode) {
    EQCopyWind& shown = mode != 0 ? static_cast<EQCopyWind&>(*eqCopyWind2) : *eqCopyWind1;
    shown.exec();
    return shown.ReturnCh;
}
