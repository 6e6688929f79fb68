#include "UnreadBadge.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace {
// Sizes drawn when the icon names none (an icon made from a scalable picture).
const QList<QSize> kDefaultSizes{{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}};
const QColor kBadgeColour(0xd3, 0x2f, 0x2f);

QPixmap withBadge(QPixmap pixmap, const QString &text) {
    const QSizeF size = pixmap.deviceIndependentSize();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // The badge covers the lower right part; wider for more digits.
    const qreal height = std::max<qreal>(9, size.height() * 0.6);
    const qreal width = std::min<qreal>(size.width(), height * (text.size() <= 1 ? 1.0 : 0.35 + 0.45 * text.size()));
    const QRectF badge(size.width() - width, size.height() - height, width, height);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBadgeColour);
    painter.drawRoundedRect(badge, height / 2, height / 2);
    QFont font;
    font.setBold(true);
    font.setPixelSize(std::max(6, int(height * 0.75)));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(badge, Qt::AlignCenter, text);
    return pixmap;
}
} // namespace

namespace UnreadBadge {
QString label(int count) {
    if (count <= 0)
        return {};
    return count > kMaxShown ? QString::number(kMaxShown) + u'+' : QString::number(count);
}

QIcon withCount(const QIcon &icon, int count) {
    const QString text = label(count);
    if (text.isEmpty() || icon.isNull())
        return icon;
    QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty())
        sizes = kDefaultSizes;
    QIcon badged;
    for (const QSize &size : sizes)
        badged.addPixmap(withBadge(icon.pixmap(size), text));
    return badged;
}
} // namespace UnreadBadge
