#include "startwin/PargeWind.h"

#include <QLabel>
#include <QVBoxLayout>

PargeWind::PargeWind(const ImageWind& store, QWidget* parent) : FaceDialog(store, {24, 18, 24, 18}, 8, parent) {
    setObjectName(QStringLiteral("PargeWind"));
    setWindowTitle(QStringLiteral("Cancel"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* heading = new QLabel(QStringLiteral("Cancel edit "), face_);
    heading->setFont(Scaled(heading->font(), 1.3, true));
    column()->addWidget(heading);
    column()->addWidget(new QLabel(QStringLiteral("Just wait a while"), face_));
}
