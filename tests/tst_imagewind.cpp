#include "startwin/ImageWind.h"

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <cmath>

using Pic = ImageWind::Pic;

namespace {

const Pic AllPics[] = {Pic::SwOn,  Pic::SwOff, Pic::RedBar,    Pic::BigSwOff,   Pic::BigBar, Pic::Silver86,
                       Pic::Fpos,  Pic::FLPos, Pic::LeftScale, Pic::BlockMeter, Pic::Meter};

// Pixels an eye reads as a lit lamp: vivid and bright. Dark segments are neither.
int LitPixels(const QPixmap& pm) {
    const QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = QColor::fromRgba(img.pixel(x, y));
            if (c.alpha() > 200 && c.hsvSaturation() > 110 && c.value() > 170)
                ++n;
        }
    return n;
}

} // namespace

class TestImageWind : public QObject {
    Q_OBJECT
private slots:
    void everyPictureAtNaturalSize();
    void stretchedAndDegenerateRequests();
    void meterStepsLightMore();
    void indexesClampAndCacheShares();
    void copiesIntoWidgets();
};

void TestImageWind::everyPictureAtNaturalSize() {
    const ImageWind iw;
    for (Pic pic : AllPics)
        for (int i = 0; i < ImageWind::IndexCount(pic); ++i)
            for (qreal dpr : {1.0, 2.0}) {
                const QSize natural = iw.NaturalSize(pic, i);
                const QPixmap pm = iw.Picture(pic, i, natural, dpr);
                QVERIFY(!natural.isEmpty());
                QCOMPARE(pm.devicePixelRatio(), dpr);
                QCOMPARE(pm.size(), natural * dpr);
            }
    // The one-argument form is the natural size at the screen's ratio.
    const QPixmap pm = iw.Picture(Pic::SwOff);
    QCOMPARE(pm.deviceIndependentSize().toSize(), iw.NaturalSize(Pic::SwOff));
}

void TestImageWind::stretchedAndDegenerateRequests() {
    const ImageWind iw;
    QPixmap pm = iw.Picture(Pic::Silver86, 0, {900, 600}, 1.5);
    QCOMPARE(pm.size(), QSize(1350, 900));
    QCOMPARE(pm.devicePixelRatio(), 1.5);

    // Empty size: natural size. Nonsense ratio: 1.
    pm = iw.Picture(Pic::BigBar, 0, {0, 40}, std::nan(""));
    QCOMPARE(pm.size(), iw.NaturalSize(Pic::BigBar));
    QCOMPARE(pm.devicePixelRatio(), 1.0);
    QCOMPARE(iw.Picture(Pic::Fpos, 0, {-3, -3}, 0.0).size(), iw.NaturalSize(Pic::Fpos));

    // A runaway size is bounded rather than allocated.
    pm = iw.Picture(Pic::LeftScale, 0, {24, 1000000}, 1.0);
    QVERIFY(!pm.isNull());
    QVERIFY(pm.height() <= 4096);

    // A one-pixel target still draws.
    QVERIFY(!iw.Picture(Pic::BlockMeter, 6, {1, 1}, 1.0).isNull());
}

void TestImageWind::meterStepsLightMore() {
    const ImageWind iw;
    // Block meter natural and lying at 2x; slim meter natural and upright at
    // 2x; the segmented slim meter natural and upright.
    const std::tuple<Pic, int, QSize, qreal> cases[] = {
        {Pic::BlockMeter, 0, QSize(), 1.0}, {Pic::BlockMeter, 0, QSize(60, 12), 2.0}, {Pic::Meter, 0, QSize(), 1.0},
        {Pic::Meter, 0, QSize(6, 60), 2.0}, {Pic::Meter, 7, QSize(), 1.0},            {Pic::Meter, 7, QSize(10, 60), 1.25}};
    for (const auto& [pic, first, size, dpr] : cases) {
        QCOMPARE(LitPixels(iw.Picture(pic, first, size, dpr)), 0);
        for (int step = 1, previous = 0; step <= 6; ++step) {
            const int lit = LitPixels(iw.Picture(pic, first + step, size, dpr));
            QVERIFY2(lit > previous, qPrintable(QStringLiteral("%1/%2 step %3").arg(int(pic)).arg(first).arg(step)));
            previous = lit;
        }
    }
}

void TestImageWind::indexesClampAndCacheShares() {
    const ImageWind iw;
    // An index out of range is the nearest one: the same cached picture.
    const std::tuple<Pic, int, int> clamped[] = {
        {Pic::BlockMeter, -5, 0}, {Pic::BlockMeter, 7, 6}, {Pic::Meter, 999, 13}, {Pic::SwOn, 3, 0}};
    for (auto [pic, asked, used] : clamped) {
        QCOMPARE(iw.Picture(pic, asked).cacheKey(), iw.Picture(pic, used).cacheKey());
        QCOMPARE(iw.NaturalSize(pic, asked), iw.NaturalSize(pic, used));
    }

    const qint64 key = iw.Picture(Pic::SwOff, 0, {80, 24}, 2.0).cacheKey();
    QCOMPARE(iw.Picture(Pic::SwOff, 0, {80, 24}, 2.0).cacheKey(), key);
    QCOMPARE(iw.Picture(Pic::SwOff, 0, {80, 24}, 2.0000001).cacheKey(), key);
    QVERIFY(iw.Picture(Pic::SwOff, 0, {81, 24}, 2.0).cacheKey() != key);
    QVERIFY(iw.Picture(Pic::SwOff, 0, {80, 24}, 1.0).cacheKey() != key);
    QVERIFY(iw.Picture(Pic::SwOn, 0, {80, 24}, 2.0).cacheKey() != key);
    // Separate stores do not share, and a forgotten picture is drawn afresh.
    QVERIFY(ImageWind().Picture(Pic::SwOff, 0, {80, 24}, 2.0).cacheKey() != key);
    iw.Forget();
    QVERIFY(iw.Picture(Pic::SwOff, 0, {80, 24}, 2.0).cacheKey() != key);
}

void TestImageWind::copiesIntoWidgets() {
    const ImageWind iw;
    QLabel label;
    label.resize(120, 30);
    iw.PictureCopy(Pic::BigBar, 0, &label);
    const QPixmap pm = label.pixmap();
    QCOMPARE(pm.deviceIndependentSize(), QSizeF(120, 30));
    QCOMPARE(pm.devicePixelRatio(), label.devicePixelRatioF());

    QPushButton button;
    button.resize(70, 22);
    iw.PictureCopy(Pic::SwOn, 0, &button);
    QVERIFY(!button.icon().isNull());
    QCOMPARE(button.iconSize(), QSize(70, 22));

    iw.PictureCopy(Pic::SwOn, 0, static_cast<QLabel*>(nullptr));
    iw.PictureCopy(Pic::SwOn, 0, static_cast<QAbstractButton*>(nullptr));
}

QTEST_MAIN(TestImageWind)
#include "tst_imagewind.moc"
