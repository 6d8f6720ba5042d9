#pragma once

#include "startwin/Widgets.h"

#include <QString>
#include <array>

class App;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the unit's password before editing or a file transfer. The
// caller compares the entry and shows the dialog again as often as needed.
// Tag tells how the last showing ended: "0" an entry was confirmed,
// "1" the dialog was closed (Close, the title bar or Esc).
class password : public FaceDialog {
    Q_OBJECT
public:
    explicit password(App& app, QWidget* parent = nullptr);

    QLineEdit* passtext = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CloseButton = nullptr;
    QLabel* Label1 = nullptr; // "Enter Password."
    QLabel* Label2 = nullptr; // "Maximum 8 characters case sensitive."
    QString Tag = QStringLiteral("0");

    void Form_Activate() override;
    void OKButton_Click();
    void CloseButton_Click();
    void reject() override;
};

// Registers a password in a unit that has none: the entry and its
// confirmation must agree. Tag as for password; after "0" the new
// password is passtext[0]'s text.
class passwordEntry : public FaceDialog {
    Q_OBJECT
public:
    explicit passwordEntry(App& app, QWidget* parent = nullptr);

    std::array<QLineEdit*, 2> passtext{};
    QPushButton* OKButton = nullptr;
    QPushButton* CloseButton = nullptr;
    QLabel* Label1 = nullptr; // "Enter Password."
    QLabel* Label2 = nullptr; // "Maximum 8 characters case sensitive."
    QLabel* Label3 = nullptr; // "Confirm"
    QString Tag = QStringLiteral("0");

    void Form_Activate() override;
    void OKButton_Click();
    void CloseButton_Click();
    void reject() override;
};
