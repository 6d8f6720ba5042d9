#include "startwin/InputWind.h"

#include "data/Utilities.h"
#include "platform/CodePage.h"
#include "startwin/App.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

InputWind::InputWind(App& app, QWidget* parent)
    : FaceDialog(app.images, {24, 18, 24, 16}, 10, parent), app_(app) {
    setObjectName(QStringLiteral("InputWind"));
    setWindowTitle(QStringLiteral("Venue name"));
    SetPicture(false);
    QVBoxLayout* col = column();

    Label1 = new QLabel(QStringLiteral("Enter Venue Name."), face_);
    Label1->setFont(Scaled(Label1->font(), 1.2, true));
    Label2 = new QLabel(QStringLiteral("Name"), face_);
    Text1 = new QLineEdit(face_);
    Text1->setMaxLength(22);
    Text1->setMinimumWidth(280);
    Text1->setFont(Scaled(Text1->font(), 1.2));
    Command1 = new PicButton(app.images, QStringLiteral("O K"), face_);
    Command1->setMinimumSize(app.images.NaturalSize(ImageWind::Pic::BigBar));

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
    connect(Command1, &PicButton::clicked, this, &InputWind::Command1_Click);
    // A picture button is no dialog default: Enter in the box presses it.
    connect(Text1, &QLineEdit::returnPressed, Command1, &PicButton::click);
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

// Everything selected, so that typing replaces the old name.
void InputWind::Form_Activate() {
    Text1->setFocus();
    Text1->selectAll();
}

void InputWind::Text1_Change() {
    const QString text = Text1->text();
    const QString cut = LeftByteStr(app_.codePage, text, maxBytes_);
    if (cut == text)
        return;
    const int caret = Text1->cursorPosition();
    Text1->setText(cut); // comes back here once, with nothing left to cut
    Text1->setCursorPosition(std::min(caret, static_cast<int>(cut.size())));
}

void InputWind::Command1_Click() {
    accept();
}

QString JapanFontFamily(const CodePage& cp) {
    if (cp.page() != CodePage::Japanese)
        return {};
    const QStringList installed = QFontDatabase::families();
    // Fixed-pitch faces first, as names are laid out in columns.
    for (const char* family : {"MS Gothic", "IPAGothic", "IPAexGothic", "Noto Sans Mono CJK JP",
                               "Noto Sans CJK JP", "VL Gothic", "TakaoGothic"}) {
        if (installed.contains(QLatin1String(family), Qt::CaseInsensitive))
            return QLatin1String(family);
    }
    return {};
}

namespace {

// The face the font system draws family with, when that face is
// fixed-pitch; else empty. A generic name such as "monospace" may resolve
// to a face whose few wide glyphs make it proportional.
QString FixedFace(const QString& family) {
    const QFontInfo drawn{QFont(family)};
    return drawn.fixedPitch() && QFontDatabase::isFixedPitch(drawn.family()) ? drawn.family() : QString();
}

} // namespace

QString EnglishFontFamily() {
    // "Courier New", or the face the font configuration puts in its place
    // (Liberation Mono, which the set-up installs, has its measures); then
    // the system's fixed face; then any installed fixed-pitch face.
    const QString systemFixed = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    for (const QString& family : {QStringLiteral("Courier New"), systemFixed}) {
        const QString face = FixedFace(family);
        if (!face.isEmpty())
            return face;
    }
    for (const QString& family : QFontDatabase::families()) {
        const QString face = QFontDatabase::isFixedPitch(family) ? FixedFace(family) : QString();
        if (!face.isEmpty())
            return face;
    }
    return systemFixed;
}

void SetNameFont(QWidget* w, const QString& family) {
    if (!w || family.isEmpty())
        return;
    QFont f = w->font();
    f.setFamily(family);
    w->setFont(f);
}
