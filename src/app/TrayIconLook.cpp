#include "TrayIconLook.h"

#include "TrayIcon.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace {
constexpr int kSize = 64;
} // namespace

TrayIconLook::TrayIconLook(TrayIcon &tray) : m_tray(tray) {
}

void TrayIconLook::setBase(const QIcon &icon) {
    m_base = icon;
    show();
}

void TrayIconLook::setCount(int count) {
    const int shown = qMax(count, 0);
    if (shown == m_count)
        return;
    m_count = shown;
    show();
}

void TrayIconLook::show() {
    m_tray.setIcon(withCount(m_base, m_count));
}

QIcon TrayIconLook::withCount(const QIcon &base, int count) {
    if (count <= 0)
        return base;
    QPixmap picture = base.pixmap(kSize, kSize);
    if (picture.isNull()) {
        picture = QPixmap(kSize, kSize);
        picture.fill(Qt::transparent);
    }
    const QString text = count > 99 ? QStringLiteral("99+") : QString::number(count);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(kSize * 2 / 5);
    painter.setFont(font);
    // A red disc at the bottom right, wide enough for the digits, as tray badges show counts.
    const int height = kSize / 2;
    const int width = qMax(height, painter.fontMetrics().horizontalAdvance(text) + kSize / 8);
    const QRect badge(kSize - width, kSize - height, width, height);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xc6, 0x28, 0x28));
    painter.drawRoundedRect(badge, height / 2.0, height / 2.0);
    painter.setPen(Qt::white);
    painter.drawText(badge, Qt::AlignCenter, text);
    painter.end();
    return QIcon(picture);
}
