#include "startwin/TransferPanel.h"

#include "startwin/App.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TransferPanel::TransferPanel(App& app, const QString& title, const QString& heading, const QString& line,
                             QWidget* parent)
    : FaceDialog(app.images, {28, 22, 28, 18}, 8, parent), app_(app) {
    setWindowTitle(title);
    // No close box: the transfer ends the panel.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    // Its CANCEL only raises a flag, so it may act inside the transfer's waits.
    app.hold.letThrough(this);

    QVBoxLayout* col = column();

    heading_ = new QLabel(heading, face_);
    heading_->setFont(Scaled(heading_->font(), 1.5, true));
    heading_->setMinimumWidth(360);
    line_ = new QLabel(line, face_);
    Label3 = new QLabel(QStringLiteral("Progress"), face_);
    BankProgress = new QProgressBar(face_);
    BankProgress->setValue(0);
    CancelButton = new QPushButton(QStringLiteral("CANCEL"), face_);
    CancelButton->setAutoDefault(false);
    CancelButton->setMinimumSize(96, 30);

    col->addWidget(heading_);
    col->addWidget(line_);
    col->addSpacing(6);
    col->addWidget(Label3);
    col->addWidget(BankProgress);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(CancelButton);
    col->addSpacing(6);
    col->addLayout(row);

    Timer1.setInterval(1000);
}
