#include "ImageLists.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QtTest>

#include <algorithm>
#include <cstdlib>

namespace {

enum class List { System, Symbol, Application, Offline };

QIcon imageOf(List list, int index) {
    switch (list) {
    case List::System:
        return ImageLists::systemImage(index);
    case List::Symbol:
        return ImageLists::symbolImage(index);
    case List::Application:
        return ImageLists::applicationIcon();
    case List::Offline:
        return ImageLists::offlineIcon();
    }
    return {};
}

// The picture at 16 × 16 (or another size) as the user sees it in a light menu: drawn over white.
QImage onWhite(const QIcon &icon, qreal devicePixelRatio = 1.0, int size = 16) {
    const QPixmap pixmap = icon.pixmap(QSize(size, size), devicePixelRatio);
    QImage image(pixmap.size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(pixmap.devicePixelRatio());
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawPixmap(0, 0, pixmap);
    return image;
}

// Pixels in which two pictures differ enough to be noticed at a glance, not by a shade.
int clearlyDifferentPixels(const QImage &a, const QImage &b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb pa = a.pixel(x, y);
            const QRgb pb = b.pixel(x, y);
            const int difference = std::max(
                {std::abs(qRed(pa) - qRed(pb)), std::abs(qGreen(pa) - qGreen(pb)), std::abs(qBlue(pa) - qBlue(pb))});
            if (difference > 64)
                ++count;
        }
    }
    return count;
}

// A state change must show in at least this many of the 256 pixels; the smallest change, the first
// lit dimmer cell, has 16.
constexpr int kMinimumStateDifference = 12;

} // namespace

class TestImages : public QObject {
    Q_OBJECT

private slots:
    void everyPictureRenders_data();
    void everyPictureRenders();
    void indexOutsideTheListGivesNoPicture_data();
    void indexOutsideTheListGivesNoPicture();
    void statesAreToldApart_data();
    void statesAreToldApart();
    void picturesOfAListAreDistinct_data();
    void picturesOfAListAreDistinct();
    void iconsAreCached();
    void linkStatesAreToldApart_data();
    void linkStatesAreToldApart();
};

void TestImages::everyPictureRenders_data() {
    QTest::addColumn<List>("list");
    QTest::addColumn<int>("index");
    for (int i = 0; i < ImageLists::kSystemCount; ++i)
        QTest::addRow("system %d", i) << List::System << i;
    for (int i = 0; i < ImageLists::kSymbolCount; ++i)
        QTest::addRow("symbol %d", i) << List::Symbol << i;
    QTest::addRow("application") << List::Application << 0;
    QTest::addRow("application offline") << List::Offline << 0;
}

void TestImages::everyPictureRenders() {
    QFETCH(List, list);
    QFETCH(int, index);
    const QIcon icon = imageOf(list, index);
    QVERIFY(!icon.isNull());
    // Plain screens and HiDPI screens both get a full picture of their own resolution.
    for (const qreal ratio : {1.0, 2.0}) {
        const QPixmap pixmap = icon.pixmap(QSize(16, 16), ratio);
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.size(), QSize(16, 16) * ratio);
        const QImage image = onWhite(icon, ratio);
        const QImage blank = [&] {
            QImage white(image.size(), QImage::Format_RGB32);
            white.fill(Qt::white);
            return white;
        }();
        // Something is drawn, and more than a dot.
        QVERIFY2(clearlyDifferentPixels(image, blank) >= 16 * ratio * ratio, "picture is (nearly) empty");
    }
}

void TestImages::indexOutsideTheListGivesNoPicture_data() {
    QTest::addColumn<List>("list");
    QTest::addColumn<int>("index");
    QTest::addRow("system -1") << List::System << -1;
    QTest::addRow("system past the end") << List::System << ImageLists::kSystemCount;
    QTest::addRow("symbol -1 (separator)") << List::Symbol << -1;
    QTest::addRow("symbol past the end") << List::Symbol << ImageLists::kSymbolCount;
    QTest::addRow("symbol far out") << List::Symbol << 1000;
}

void TestImages::indexOutsideTheListGivesNoPicture() {
    QFETCH(List, list);
    QFETCH(int, index);
    const QIcon icon = imageOf(list, index);
    QVERIFY(icon.isNull());
    QVERIFY(icon.pixmap(16, 16).isNull());
}

void TestImages::statesAreToldApart_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    // Switch symbols: "on" at the even index, "off" at the next.
    QTest::addRow("Lampe 1") << 0 << 1;
    QTest::addRow("Lampe 2") << 2 << 3;
    QTest::addRow("Steckdose") << 4 << 5;
    QTest::addRow("gruen/rot") << 6 << 7;
    QTest::addRow("Check") << 8 << 9;
    QTest::addRow("Schalter") << 10 << 11;
    // Dimmer: off and three levels, every two of them.
    for (int a = 12; a <= 15; ++a)
        for (int b = a + 1; b <= 15; ++b)
            QTest::addRow("Dimmer %d/%d", a, b) << a << b;
}

void TestImages::statesAreToldApart() {
    QFETCH(int, first);
    QFETCH(int, second);
    const int differing =
        clearlyDifferentPixels(onWhite(ImageLists::symbolImage(first)), onWhite(ImageLists::symbolImage(second)));
    QVERIFY2(differing >= kMinimumStateDifference, qPrintable(QStringLiteral("only %1 pixels differ").arg(differing)));
}

void TestImages::picturesOfAListAreDistinct_data() {
    QTest::addColumn<List>("list");
    QTest::addColumn<int>("count");
    QTest::addRow("system") << List::System << ImageLists::kSystemCount;
    QTest::addRow("symbols") << List::Symbol << ImageLists::kSymbolCount;
}

void TestImages::picturesOfAListAreDistinct() {
    QFETCH(List, list);
    QFETCH(int, count);
    QList<QImage> images;
    for (int i = 0; i < count; ++i)
        images.append(onWhite(imageOf(list, i)));
    for (int a = 0; a < count; ++a)
        for (int b = a + 1; b < count; ++b)
            QVERIFY2(clearlyDifferentPixels(images[a], images[b]) > 0,
                     qPrintable(QStringLiteral("pictures %1 and %2 look the same").arg(a).arg(b)));
}

void TestImages::iconsAreCached() {
    // Menus are rebuilt on every value change: the same picture must not be loaded again.
    QCOMPARE(ImageLists::symbolImage(12).cacheKey(), ImageLists::symbolImage(12).cacheKey());
    QCOMPARE(ImageLists::systemImage(8).cacheKey(), ImageLists::systemImage(8).cacheKey());
    QCOMPARE(ImageLists::applicationIcon().cacheKey(), ImageLists::applicationIcon().cacheKey());
}

void TestImages::linkStatesAreToldApart_data() {
    QTest::addColumn<int>("size");
    // The sizes tray hosts draw the icon at.
    QTest::addRow("16 px") << 16;
    QTest::addRow("24 px") << 24;
}

void TestImages::linkStatesAreToldApart() {
    QFETCH(int, size);
    const int differing = clearlyDifferentPixels(onWhite(ImageLists::applicationIcon(), 1.0, size),
                                                 onWhite(ImageLists::offlineIcon(), 1.0, size));
    // The offline mark covers a good part of the picture, not a corner pixel or two.
    QVERIFY2(differing >= size * size / 8, qPrintable(QStringLiteral("only %1 pixels differ").arg(differing)));
}

QTEST_MAIN(TestImages)
#include "tst_images.moc"
