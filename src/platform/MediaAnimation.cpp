// The animation played by Qt Multimedia; built as the module that
// MakeAnimation loads on first use.

#include "platform/Animation.h"

#include <QMediaPlayer>
#include <QUrl>
#include <QVideoWidget>

namespace {

class MediaAnimation : public Animation {
public:
    explicit MediaAnimation(QWidget* parent) : view_(new QVideoWidget(parent)) {
        view_->setAspectRatioMode(Qt::KeepAspectRatio);
        player_.setVideoOutput(view_);
        player_.setLoops(QMediaPlayer::Infinite);
    }
    QWidget* view() override { return view_; }
    void Open(const QString& path) override {
        player_.setSource(QUrl::fromLocalFile(path));
        player_.play();
    }
    void Close() override {
        player_.stop();
        player_.setSource(QUrl());
    }

private:
    QVideoWidget* view_;
    // Parented to nothing: this object owns it, the window owns the view.
    QMediaPlayer player_;
};

} // namespace

extern "C" Q_DECL_EXPORT Animation* qdr_make_animation(QWidget* parent) { return new MediaAnimation(parent); }
