#include "startwin/BankReadWind.h"

#include "startwin/App.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

BankReadWind::BankReadWind(App& app, QWidget* parent)
    : TransferPanel(app, QStringLiteral("Transferring Now."), QStringLiteral("QDR318 Transferring Now."),
                    QStringLiteral("Just waiting"), parent) {
    setObjectName(QStringLiteral("BankReadWind"));
    StartMessege[4] = heading_;
    StartMessege[3] = line_;
    BankProgress->setRange(0, 100);
    BankProgress->setTextVisible(false);
    BankProgress->setFixedHeight(14);
    CancelButton->setEnabled(false);

    connect(&Timer1, &QTimer::timeout, this, &BankReadWind::Timer1_Timer);
}

void BankReadWind::ShowBankReadWind(int mode) {
    ReadMode = mode;
    SetPicture(mode == 0);
    exec();
}

void BankReadWind::Form_Activate() {
    QLabel* text = StartMessege[4];
    if (app_.link.OnLine) {
        setWindowTitle(QStringLiteral("Transferring now"));
        text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        text->setText(QStringLiteral("QDR318 transferring now."));
    } else {
        setWindowTitle(QStringLiteral("Offline"));
        text->setAlignment(Qt::AlignCenter);
        text->setText(QStringLiteral("Offline"));
    }
    // Painted now: the read that follows keeps the event loop busy.
    text->repaint();
    StartMessege[3]->clear();
    BankProgress->setValue(0);
    Timer1.start();
}

void BankReadWind::Timer1_Timer() {
    // Never inside another message's exchange (its reply wait lets this
    // tick run): a tick after it has returned reads.
    if (app_.link.SendBusy)
        return;
    Timer1.stop();
    app_.lib->ReadBack(ReadMode == 0);
    ShowRecords();
    accept();
}

void BankReadWind::ShowRecords() {
    if (dispAllParam) dispAllParam();
    if (afterRead) afterRead();
}
