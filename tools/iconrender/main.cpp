// iconrender: renders an SVG icon into a square PNG of the given edge length, for the icon theme
// folders the desktop looks in. A build tool only; it is not installed.

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {
// The theme folders go up to 256 px; anything far beyond is a typo on the command line.
constexpr int kMaxSize = 1024;

int fail(const char *what, const QString &detail) {
    std::fprintf(stderr, "iconrender: %s: %s\n", what, qPrintable(detail));
    return 1;
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4)
        return fail("usage", u"iconrender <icon.svg> <size> <out.png>"_qs);
    bool ok = false;
    const int size = args[2].toInt(&ok);
    if (!ok || size < 1 || size > kMaxSize)
        return fail("size out of range", args[2]);

    QSvgRenderer renderer(args[1]);
    if (!renderer.isValid())
        return fail("cannot read", args[1]);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    if (!image.save(args[3], "PNG"))
        return fail("cannot write", args[3]);
    return 0;
}
