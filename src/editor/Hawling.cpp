// The MISC page's automatic setup of the feedback suppressors: the unit
// measures each mono input whose suppressor is on, in the measuring window
// shared with the start window.

#include "editor/MainWind.h"

#include "startwin/App.h"
#include "startwin/HawlingWind.h"
#include "startwin/TopWind.h"

#include <QPushButton>

QPushButton* MainWind::buildHawlingButton(QWidget* panel) {
    HawlingButton = new QPushButton(QStringLiteral("Automatic Setup"), panel);
    HawlingButton->setMinimumSize(150, 30);
    connect(HawlingButton, &QPushButton::clicked, this, &MainWind::HawlingButton_Click);
    return HawlingButton;
}

void MainWind::HawlingButton_Click() {
    if (!app_.link.OnLine)
        return;
    HawlingButton->setText(QStringLiteral("Measuring!"));
    HawlingButton->setStyleSheet(QStringLiteral("background-color: #ff0000;"));
    std::array<bool, 6> on{};
    for (std::size_t c = 0; c < on.size(); ++c)
        on[c] = app_.data.BankData[app_.data.CurBank].In[c].HSOn == 1;
    top_.hawlingWind->Measure(on, [](int n) { return QStringLiteral("Measuring MONO %1").arg(n); });
    HawlingButton->setText(QStringLiteral("Automatic Setup"));
    HawlingButton->setStyleSheet(QString());
}
