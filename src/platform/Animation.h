#pragma once

#include <QString>
#include <functional>
#include <memory>

class QWidget;

// A short video played over and over in a view of its own: the measuring
// window's animation. The multimedia libraries are heavy to load, so they
// live in a module of their own that the first MakeAnimation loads.
class Animation {
public:
    virtual ~Animation() = default;
    // The widget the picture plays in, a child of the parent it was made for.
    virtual QWidget* view() = 0;
    // Opens the file and plays it from the start, looping.
    virtual void Open(const QString& path) = 0;
    // Stops the play and closes the file.
    virtual void Close() = 0;
};

// Shows nothing: what plays when the module cannot be loaded.
class NoAnimation : public Animation {
public:
    explicit NoAnimation(QWidget* parent);
    QWidget* view() override { return view_; }
    void Open(const QString&) override {}
    void Close() override {}

private:
    QWidget* view_;
};

// The animation for a view inside parent. Without the multimedia module
// the view stays empty.
std::unique_ptr<Animation> MakeAnimation(QWidget* parent);

// Test hook: while set, makes the animations in place of the module.
using AnimationMaker = std::function<std::unique_ptr<Animation>(QWidget* parent)>;
void SetAnimationMaker(AnimationMaker maker);

// The module's one entry point.
extern "C" {
using AnimationEntry = Animation* (*)(QWidget* parent);
}
inline constexpr const char* AnimationModule = "qdr_animation";
inline constexpr const char* AnimationEntryName = "qdr_make_animation";
