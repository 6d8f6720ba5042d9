#include "startwin/PasswordWind.h"

#include "startwin/App.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The unit keeps at most this many characters.
constexpr int PasswordLength = 8;

QLabel* Heading(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setFont(Scaled(l->font(), 1.2, true));
    return l;
}

QLineEdit* PassBox(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setMaxLength(PasswordLength);
    e->setEchoMode(QLineEdit::Password);
    // Asterisks, whatever the style's own password character.
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    e->setMinimumWidth(220);
    e->setFont(Scaled(e->font(), 1.2));
    return e;
}

// OK and Close at the foot, right-aligned as on the other panels.
void ButtonRow(QVBoxLayout* col, QPushButton* ok, QPushButton* close) {
    ok->setDefault(true);
    close->setAutoDefault(false);
    for (QPushButton* b : {ok, close})
        b->setMinimumSize(88, 30);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(close);
    col->addSpacing(10);
    col->addLayout(row);
}

} // namespace

password::password(App& app, QWidget* parent) : FaceDialog(app.images, {24, 18, 24, 16}, 6, parent) {
    setObjectName(QStringLiteral("password"));
    setWindowTitle(QStringLiteral("Password"));

    QVBoxLayout* col = column();
    Label1 = Heading(QStringLiteral("Enter Password."), face_);
    passtext = PassBox(face_);
    Label2 = new QLabel(QStringLiteral("Maximum 8 characters case sensitive."), face_);
    OKButton = new QPushButton(QStringLiteral("OK"), face_);
    CloseButton = new QPushButton(QStringLiteral("Close"), face_);
    col->addWidget(Label1);
    col->addWidget(passtext);
    col->addWidget(Label2);
    ButtonRow(col, OKButton, CloseButton);

    connect(OKButton, &QPushButton::clicked, this, &password::OKButton_Click);
    connect(CloseButton, &QPushButton::clicked, this, &password::CloseButton_Click);
}

void password::Form_Activate() {
    passtext->clear();
    passtext->setFocus();
}

void password::OKButton_Click() {
    if (passtext->text().isEmpty()) {
        passtext->clear();
        passtext->setFocus();
        return;
    }
    accept();
}

void password::CloseButton_Click() {
    Tag = QStringLiteral("1");
    QDialog::reject();
}

// The title bar's close box and Esc come here: the same as Close.
void password::reject() {
    CloseButton_Click();
}

passwordEntry::passwordEntry(App& app, QWidget* parent) : FaceDialog(app.images, {24, 18, 24, 16}, 6, parent) {
    setObjectName(QStringLiteral("passwordEntry"));
    setWindowTitle(QStringLiteral("Register Password"));

    QVBoxLayout* col = column();
    Label1 = Heading(QStringLiteral("Enter Password."), face_);
    passtext[0] = PassBox(face_);
    Label3 = new QLabel(QStringLiteral("Confirm"), face_);
    passtext[1] = PassBox(face_);
    Label2 = new QLabel(QStringLiteral("Maximum 8 characters case sensitive."), face_);
    OKButton = new QPushButton(QStringLiteral("OK"), face_);
    CloseButton = new QPushButton(QStringLiteral("Close"), face_);
    col->addWidget(Label1);
    col->addWidget(passtext[0]);
    col->addSpacing(4);
    col->addWidget(Label3);
    col->addWidget(passtext[1]);
    col->addWidget(Label2);
    ButtonRow(col, OKButton, CloseButton);

    connect(OKButton, &QPushButton::clicked, this, &passwordEntry::OKButton_Click);
    connect(CloseButton, &QPushButton::clicked, this, &passwordEntry::CloseButton_Click);
}

void passwordEntry::Form_Activate() {
    passtext[0]->clear();
    passtext[1]->clear();
    passtext[0]->setFocus();
}

void passwordEntry::OKButton_Click() {
    const QString first = passtext[0]->text();
    if (!first.isEmpty() && first == passtext[1]->text()) {
        accept();
        return;
    }
    // A mismatch starts both entries afresh.
    passtext[0]->clear();
    passtext[1]->clear();
    passtext[0]->setFocus();
}

void passwordEntry::CloseButton_Click() {
    Tag = QStringLiteral("1");
    QDialog::reject();
}

void passwordEntry::reject() {
    CloseButton_Click();
}
