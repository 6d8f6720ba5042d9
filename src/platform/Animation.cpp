#include "platform/Animation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QWidget>

namespace {

AnimationMaker& Maker() {
    static AnimationMaker maker;
    return maker;
}

} // namespace

NoAnimation::NoAnimation(QWidget* parent) : view_(new QWidget(parent)) {}

std::unique_ptr<Animation> MakeAnimation(QWidget* parent) {
    if (Maker())
        return Maker()(parent);
    // Beside the program, as the build lays it.
    QLibrary module(QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(AnimationModule)));
    if (auto entry = reinterpret_cast<AnimationEntry>(module.resolve(AnimationEntryName)))
        return std::unique_ptr<Animation>(entry(parent));
    qWarning("animation module: %s", qPrintable(module.errorString()));
    return std::make_unique<NoAnimation>(parent);
}

void SetAnimationMaker(AnimationMaker maker) { Maker() = std::move(maker); }
