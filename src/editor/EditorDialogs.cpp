#include "editor/EditorDialogs.h"

#include "startwin/InputWind.h"

#include <QLabel>
#include <memory>

namespace {

template <class Wind> std::unique_ptr<Wind> WithNameFont(std::unique_ptr<Wind> w, const QString& face) {
    for (QLabel* name : w->MonoName)
        SetNameFont(name, face);
    return w;
}

} // namespace

EditorDialogs::EditorDialogs(const ImageWind& images, const ParamData& data) {
    const ImageWind* im = &images;
    const ParamData* pd = &data;
    listWind.setMaker([im] { return std::make_unique<ListWind>(*im); });
    eqCopyWind1.setMaker([this, im, pd] { return WithNameFont(std::make_unique<EQCopyWind1>(*im, *pd), NameFont); });
    eqCopyWind2.setMaker([this, im, pd] { return WithNameFont(std::make_unique<EQCopyWind2>(*im, *pd), NameFont); });
}

int EditorDialogs::EQCopyWindShow(int mode) {
    EQCopyWind& shown = mode != 0 ? static_cast<EQCopyWind&>(*eqCopyWind2) : *eqCopyWind1;
    shown.exec();
    return shown.ReturnCh;
}
