#pragma once

#include "startwin/Widgets.h"

#include <QString>
#include <functional>

class App;
class CodePage;
class QLabel;
class QLineEdit;

// The one dialog in which names are typed. A name travels to the unit as
// bytes of the ANSI code page, so the entry is held to a length in those
// bytes, not in characters: whatever is typed or pasted past it is cut at
// once.
class InputWind : public FaceDialog {
    Q_OBJECT
public:
    InputWind(App& app, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr; // the prompt
    QLabel* Label2 = nullptr;
    QLineEdit* Text1 = nullptr;
    PicButton* Command1 = nullptr;

    // Whether the start window is showing; the dialog wears the metal face
    // only then. Empty counts as hidden.
    std::function<bool()> startWindowVisible;

    // Shows the dialog modal with the given title, prompt, first text and
    // limit in bytes; returns the text in the box when it closes, however
    // it was closed.
    QString InputWindShow(const QString& title, const QString& prompt, const QString& text, int maxBytes);

    // The limit of the entry in ANSI bytes.
    void SetSize(int n) { maxBytes_ = n; }

    void Form_Activate() override;
    void Text1_Change();
    void Command1_Click();

private:
    App& app_;
    // Until a caller sets it, the box's own character limit.
    int maxBytes_ = 22;
};

// The faces of the controls that show names. On the Japanese code page a
// Japanese gothic face when one is installed, else empty.
QString JapanFontFamily(const CodePage& cp);
// A fixed-pitch Latin face: "Courier New" or what the font configuration
// draws in its place, else another installed face the font database knows
// as fixed-pitch (the system's fixed face first).
QString EnglishFontFamily();
// family on w, keeping its size and weight; nothing when family is empty.
void SetNameFont(QWidget* w, const QString& family);
