#include "SystemTrayIcon.h"

#include "ImageLists.h"

#include <QAbstractButton>
#include <QApplication>
#include <QStyle>

SystemTrayIcon::SystemTrayIcon(QObject *parent, QDBusConnection bus)
    : TrayIcon(parent), m_desktopNotifications(std::move(bus)) {
    connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            emit doubleClicked();
        else if (reason == QSystemTrayIcon::Trigger)
            emit activated();
    });
}

bool SystemTrayIcon::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void SystemTrayIcon::show() {
    // Also without a tray: a panel that starts after the program (autostart at login) gets the
    // icon as soon as it is there, so a window minimised into it later can be brought back.
    m_icon.show();
}

void SystemTrayIcon::hide() {
    m_icon.hide();
}

void SystemTrayIcon::setIcon(const QIcon &icon) {
    // A tray entry without a picture is invisible on most desktops.
    m_icon.setIcon(icon.isNull() ? QApplication::style()->standardIcon(QStyle::SP_ComputerIcon) : icon);
}

void SystemTrayIcon::setHint(const QString &text) {
    m_icon.setToolTip(text);
}

QString SystemTrayIcon::hint() const {
    return m_icon.toolTip();
}

void SystemTrayIcon::setPopup(QMenu *menu) {
    m_icon.setContextMenu(menu);
}

void SystemTrayIcon::showBalloon(const QString &title, const QString &text, int timeoutMs) {
    // Without a tray Qt shows no balloon at all: the desktop's notification service takes it.
    if (!isAvailable() && m_desktopNotifications.notify(title, text, ImageLists::applicationIcon(), timeoutMs))
        return;
    m_icon.showMessage(title, text, QSystemTrayIcon::Information, timeoutMs);
    // Where the tray has no notifications of its own, Qt draws the balloon itself, at once.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        if (window->inherits("QBalloonTip"))
            nameBalloonButtons(window);
}

void SystemTrayIcon::nameBalloonButtons(QWidget *balloon) {
    const auto buttons = balloon->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons)
        if (button->text().isEmpty() && button->accessibleName().isEmpty())
            button->setAccessibleName(kCloseBalloon);
}
