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
    void meterStepsLightMore_data();
    void meterStepsLightMore();
    void indexesClamp();
    void cacheSharesPixmaps();
    void copiesIntoWidgets();
};

void TestImageWind::everyPictureAtNaturalSize() {
    const ImageWind iw;
    for (Pic pic : AllPics)
        for (int i = 0; i < ImageWind::IndexCount(pic); ++i)
            for (qreal dpr : {1.0, 2.0}) {
                const QSize natural = iw.NaturalSize(pic, i);
                const QPixmap pm = iw.Picture(pic, i, natural, dpr);
                const QByteArray what = QByteArray::number(int(pic)) + "/" + QByteArray::number(i) + " @" +
                                        QByteArray::number(dpr);
                QVERIFY2(!natural.isEmpty() && !pm.isNull(), what);
                QCOMPARE(pm.devicePixelRatio(), dpr);
                QCOMPARE(pm.deviceIndependentSize(), QSizeF(natural));
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

void TestImageWind::meterStepsLightMore_data() {
    QTest::addColumn<Pic>("pic");
    QTest::addColumn<int>("first");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("dpr");
    QTest::newRow("block natural") << Pic::BlockMeter << 0 << QSize() << 1.0;
    QTest::newRow("block lying, 2x") << Pic::BlockMeter << 0 << QSize(60, 12) << 2.0;
    QTest::newRow("slim natural") << Pic::Meter << 0 << QSize() << 1.0;
    QTest::newRow("slim upright, 2x") << Pic::Meter << 0 << QSize(6, 60) << 2.0;
    QTest::newRow("segmented natural") << Pic::Meter << 7 << QSize() << 1.0;
    QTest::newRow("segmented upright") << Pic::Meter << 7 << QSize(10, 60) << 1.25;
}

void TestImageWind::meterStepsLightMore() {
    QFETCH(Pic, pic);
    QFETCH(int, first);
    QFETCH(QSize, size);
    QFETCH(qreal, dpr);
    const ImageWind iw;
    QCOMPARE(LitPixels(iw.Picture(pic, first, size, dpr)), 0);
    int previous = 0;
    for (int step = 1; step <= 6; ++step) {
        const int lit = LitPixels(iw.Picture(pic, first + step, size, dpr));
        const QString why = QString("step %1: %2 lit, step before %3").arg(step).arg(lit).arg(previous);
        QVERIFY2(lit > previous, qPrintable(why));
        previous = lit;
    }
}

void TestImageWind::indexesClamp() {
    const ImageWind iw;
    QCOMPARE(iw.Picture(Pic::BlockMeter, -5).cacheKey(), iw.Picture(Pic::BlockMeter, 0).cacheKey());
    QCOMPARE(iw.Picture(Pic::BlockMeter, 7).cacheKey(), iw.Picture(Pic::BlockMeter, 6).cacheKey());
    QCOMPARE(iw.Picture(Pic::Meter, 999).cacheKey(), iw.Picture(Pic::Meter, 13).cacheKey());
    QCOMPARE(iw.Picture(Pic::SwOn, 3).cacheKey(), iw.Picture(Pic::SwOn, 0).cacheKey());
    QCOMPARE(iw.NaturalSize(Pic::Meter, 999), iw.NaturalSize(Pic::Meter, 13));
    QCOMPARE(iw.NaturalSize(Pic::Meter, -1), iw.NaturalSize(Pic::Meter, 0));
}

void TestImageWind::cacheSharesPixmaps() {
    const ImageWind iw;
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
