#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace {
const char *const kPlaced = "quendraPlaced";
// Room left for the frame the window manager adds around the window (title bar, borders).
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 48;
} // namespace

void WindowPlacement::showCentred(QWidget *window, const QWidget *owner) {
    if (!window->property(kPlaced).toBool()) {
        window->setProperty(kPlaced, true);
        const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            const QRect room = screen->availableGeometry();
            const QSize size = window->size()
                                   .boundedTo(room.size() - QSize(kFrameWidth, kFrameHeight))
                                   .expandedTo(window->minimumSize());
            window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, room));
        }
    }
    window->show();
    window->raise();
    window->activateWindow();
}
