// The simple-setup pages: routing and names, speakers and microphone
// tone, and the feedback measurement.

#include "startwin/TopWind.h"

#include "data/SpeakerFile.h"
#include "editor/MainWind.h"
#include "startwin/App.h"
#include "startwin/HawlingWind.h"
#include "startwin/Widgets.h"

#include <QGridLayout>
#include <QVBoxLayout>

void TopWind::buildLinePage(PictureBox* page) {
    auto* col = static_cast<QVBoxLayout*>(page->layout());
    auto* grid = new QGridLayout;
    grid->setSpacing(4);
    // Button i switches source row i / 4 into output channel i % 4.
    for (int i = 0; i < static_cast<int>(LineButton.size()); ++i) {
        LineButton[i] = new PicButton(app_.images, QString(), page);
        LineButton[i]->setFixedSize(56, 22);
        grid->addWidget(LineButton[i], i / 4, i % 4);
    }
    col->addSpacing(12);
    col->addLayout(grid);
}

void TopWind::SpeakerListMake() {
    if (mainWind.made())
        mainWind->SpeakerListFill(SpeakerFiles(app_.codePage, app_.AppPath));
}

void TopWind::HawlingStart_Click() {
    if (!app_.link.OnLine)
        return;
    hawlingWind->Measure({true, true, true, true, true, true},
                         [](int n) { return QStringLiteral("MONO %1 を測定しています").arg(n); });
}
