#include "startwin/AllBankWind.h"

#include "startwin/App.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

AllBankWind::AllBankWind(App& app, QWidget* parent)
    : TransferPanel(app, QStringLiteral("Transferring"), QStringLiteral("Transferring"),
                    QStringLiteral("from PC to QDR318."), parent) {
    setObjectName(QStringLiteral("AllBankWind"));
    StartMessege = {heading_, line_};
    line_->setFont(Scaled(line_->font(), 1.15));
    BankProgress->setRange(0, 16);
    BankProgress->setFormat(QStringLiteral("%v / %m"));

    connect(&Timer1, &QTimer::timeout, this, &AllBankWind::Timer1_Timer);
    connect(CancelButton, &QPushButton::clicked, this, &AllBankWind::CancelButton_Click);
}

void AllBankWind::SetProgress(int m) {
    BankProgress->setValue(m);
}

void AllBankWind::Form_Activate() {
    StartMessege[1]->setText(TransDir == 0 ? QStringLiteral("from PC to QDR318.")
                                           : QStringLiteral("from QDR318 to PC."));
    cancelFlag_ = 0;
    CancelButton->setEnabled(true);
    BankResult = -1;
    LinkLost = false;
    BankProgress->setValue(0);
    Timer1.start();
}

void AllBankWind::Timer1_Timer() {
    if (cancelFlag_ == 0) {
        // Never inside another message's exchange (its reply wait lets this
        // tick run): a tick after it has returned starts the transfer.
        if (app_.link.SendBusy)
            return;
        Timer1.stop();
        app_.link.AllBankContinue = true;
        running_ = true;
        LinkLost = !(TransDir == 0 ? app_.send->SendAllBankData() : app_.lib->AllBankReadAndResume());
        running_ = false;
        if (cancelFlag_ == 0) {
            // Only the answers tell whether every memory went across: the
            // link may be up again by now.
            BankResult = LinkLost ? 0 : -1;
            accept();
        }
        return;
    }
    // While a cancelled transfer winds down, ticks wait for its end, which
    // after a read comes once the unit has its current state back
    // (AllBankDone is True before that). A cancel before it began has
    // nothing to wait for.
    if (!running_) {
        BankResult = 0;
        Timer1.stop();
        accept();
    }
}

void AllBankWind::CancelButton_Click() {
    CancelButton->setEnabled(false);
    app_.link.AllBankContinue = false;
    cancelFlag_ = 1;
    Timer1.start();
}
