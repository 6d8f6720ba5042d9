#include "startwin/InputWind.h"

#include "data/Utilities.h"
#include "platform/CodePage.h"
#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

InputWind::InputWind(App& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("InputWind"));
    setProperty("qdrForm", true);
    setWindowTitle(QStringLiteral("Venue name"));

    face_ = DialogFace(this, app.images, {24, 18, 24, 16}, 10);
    face_->clearPicture();
    auto* col = static_cast<QVBoxLayout*>(face_->layout());

    Label1 = new QLabel(QStringLiteral("Enter Venue Name."), face_);
    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.2);
    heading.setBold(true);
    Label1->setFont(heading);
    Label2 = new QLabel(QStringLiteral("Name"), face_);
    Text1 = new QLineEdit(face_);
    Text1->setMaxLength(22);
    Text1->setMinimumWidth(280);
    QFont entry = Text1->font();
    entry.setPointSizeF(entry.pointSizeF() * 1.2);
    Text1->setFont(entry);
    Command1 = new QPushButton(QStringLiteral("O K"), face_);
    Command1->setDefault(true);
    Command1->setMinimumSize(88, 30);

    col->addWidget(Label1);
    auto* row = new QHBoxLayout;
    row->addWidget(Label2);
    row->addWidget(Text1, 1);
    col->addLayout(row);
    auto* foot = new QHBoxLayout;
    foot->addStretch(1);
    foot->addWidget(Command1);
    col->addLayout(foot);

    connect(Text1, &QLineEdit::textChanged, this, &InputWind::Text1_Change);
    connect(Command1, &QPushButton::clicked, this, &InputWind::Command1_Click);
}

void InputWind::SetPicture(bool on) {
    if (on)
        face_->setPicture(ImageWind::Pic::Silver86);
    else
        face_->clearPicture();
}

bool InputWind::HasPicture() const {
    return face_->hasPicture();
}

QString InputWind::InputWindShow(const QString& title, const QString& prompt, const QString& text,
                                 int maxBytes) {
    SetPicture(startWindowVisible && startWindowVisible());
    setWindowTitle(title);
    Label1->setText(prompt);
    SetSize(maxBytes);
    Text1->setText(text);
    // The same text as last time changes nothing, so no change event comes;
    // the new limit must still hold it.
    Text1_Change();
    exec();
    return Text1->text();
}

void InputWind::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Form_Activate();
}

// Everything selected, so that typing replaces the old name.
void InputWind::Form_Activate() {
    Text1->setFocus();
    Text1->selectAll();
}

void InputWind::Text1_Change() {
    const QString text = Text1->text();
    const QString cut = LeftByteStr(app_.codePage, text, maxBytes_);
    if (cut == text) return;
    const int caret = Text1->cursorPosition();
    Text1->setText(cut); // comes back here once, with nothing left to cut
    Text1->setCursorPosition(std::min(caret, static_cast<int>(cut.size())));
}

void InputWind::Command1_Click() {
    accept();
}

QString NameFontFamily(const CodePage& cp) {
    const QStringList installed = QFontDatabase::families();
    auto has = [&](const QString& family) { return installed.contains(family, Qt::CaseInsensitive); };
    if (cp.page() == CodePage::Japanese) {
        // Fixed-pitch Japanese faces first, as names are laid out in columns.
        for (const char* family : {"MS Gothic", "IPAGothic", "IPAexGothic", "Noto Sans Mono CJK JP",
                                   "Noto Sans CJK JP", "VL Gothic", "TakaoGothic"}) {
            if (has(QLatin1String(family))) return QLatin1String(family);
        }
    }
    if (has(QStringLiteral("Courier New"))) return QStringLiteral("Courier New");
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}
