#pragma once

#include "startwin/Widgets.h"

#include <QTimer>

class App;
class QLabel;
class QProgressBar;
class QPushButton;

// The modal panel behind which a transfer with the unit runs: a bold
// heading, a line under it, the progress bar and a CANCEL button. Its work
// starts from Timer1 (one second) after it is shown, so the panel is
// painted first. Esc and the title bar never close it.
class TransferPanel : public FaceDialog {
    Q_OBJECT
public:
    QTimer Timer1;
    QProgressBar* BankProgress = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* CancelButton = nullptr;

    void reject() override {}

protected:
    TransferPanel(App& app, const QString& title, const QString& heading, const QString& line, QWidget* parent);

    App& app_;
    QLabel* heading_ = nullptr;
    QLabel* line_ = nullptr;
};
