#pragma once

#include "startwin/Widgets.h"

// The note shown while a stopped simple setup puts the last backup back
// into the unit.
class PargeWind : public FaceDialog {
    Q_OBJECT
public:
    explicit PargeWind(const ImageWind& store, QWidget* parent = nullptr);
    void Form_Activate() override {}
};
