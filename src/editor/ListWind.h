#pragma once

#include "startwin/Widgets.h"

#include <QStringList>

class QComboBox;
class QLabel;

// Picks one value from a list: a prompt, the list and its unit. There is no
// cancel: the window's close box and Esc act as O K, so the dialog always
// ends on the selection shown and a caller that reads the list index after
// the show reads what the user saw, never an index left from before.
class ListWind : public FaceDialog {
    Q_OBJECT
public:
    explicit ListWind(const ImageWind& images, QWidget* parent = nullptr);

    QLabel* SelText = nullptr; // the prompt
    QLabel* Tani = nullptr;    // the unit
    QComboBox* SelList = nullptr;
    PicButton* OKButton = nullptr;

    void Form_Initialize();
    void Form_Activate() override;
    void OKButton_Click();
    void reject() override;

    // The callers' whole use in one: prompt and unit, the values with the
    // current one selected, shown modal beside the control that was clicked
    // (which keeps its face); returns the position selected when it closed,
    // -1 only for an empty list.
    int Pick(const QString& prompt, const QString& unit, const QStringList& values, int current,
             QWidget* beside);
};
