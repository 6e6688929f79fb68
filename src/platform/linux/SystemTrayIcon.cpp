#include "SystemTrayIcon.h"

#include "ImageLists.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QStyle>

SystemTrayIcon::SystemTrayIcon(QObject *parent, QDBusConnection bus, TrayPresence trayPresence)
    : TrayIcon(parent),
      m_trayPresence(trayPresence ? std::move(trayPresence) : TrayPresence(&QSystemTrayIcon::isSystemTrayAvailable)),
      m_desktopNotifications(bus), m_hostWatch(bus) {
    // Asked before the watch can report: on X11 the first question also makes Qt follow the tray.
    m_available = m_trayPresence();
    createIcon();
    connect(&m_hostWatch, &TrayHostWatch::mayHaveChanged, this, &SystemTrayIcon::checkAvailability);
    connect(&m_desktopNotifications, &DesktopNotifications::clicked, this, &TrayIcon::balloonClicked);
    connect(&m_desktopNotifications, &DesktopNotifications::shown, this, [this] { setBalloonsAvailable(true, {}); });
    connect(&m_desktopNotifications, &DesktopNotifications::failed, this,
            [this](const QString &reason) { setBalloonsAvailable(false, reason); });
}

void SystemTrayIcon::createIcon() {
    m_icon = std::make_unique<QSystemTrayIcon>();
    connect(m_icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            emit doubleClicked();
        else if (reason == QSystemTrayIcon::Trigger)
            emit activated();
    });
    connect(m_icon.get(), &QSystemTrayIcon::messageClicked, this, &TrayIcon::balloonClicked);
    applyPicture();
    m_icon->setToolTip(m_hint);
    m_icon->setContextMenu(m_popup);
    if (m_shown)
        m_icon->show();
}

void SystemTrayIcon::checkAvailability() {
    const bool available = m_trayPresence();
    if (available == m_available)
        return;
    m_available = available;
    if (available)
        createIcon();
    emit availabilityChanged(available);
}

bool SystemTrayIcon::isAvailable() const {
    return m_trayPresence();
}

void SystemTrayIcon::show() {
    // Also without a tray: an XEmbed panel that starts after the program (autostart at login) takes
    // the icon as soon as it is there; a StatusNotifier host gets a new icon (checkAvailability).
    m_shown = true;
    if (m_picture.isNull())
        applyPicture();
    m_icon->show();
}

void SystemTrayIcon::hide() {
    m_shown = false;
    m_icon->hide();
}

void SystemTrayIcon::setIcon(const QIcon &icon) {
    m_picture = icon;
    applyPicture();
}

// A tray entry without a picture is invisible on most desktops: the style's computer stands in.
// It is looked up only for an entry shown without a picture of its own, as the lookup walks the
// icon theme's folders (tens of milliseconds at the start, before the program's picture is set).
void SystemTrayIcon::applyPicture() {
    if (!m_picture.isNull())
        m_icon->setIcon(m_picture);
    else if (m_shown)
        m_icon->setIcon(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon));
    else
        m_icon->setIcon({});
}

void SystemTrayIcon::setHint(const QString &text) {
    m_hint = text;
    m_icon->setToolTip(text);
}

QString SystemTrayIcon::hint() const {
    return m_hint;
}

void SystemTrayIcon::setPopup(QMenu *menu) {
    m_popup = menu;
    m_icon->setContextMenu(menu);
}

void SystemTrayIcon::showBalloon(const QString &title, const QString &text, int timeoutMs) {
    if (isAvailable()) {
        m_icon->showMessage(title, text, QSystemTrayIcon::Information, timeoutMs);
        nameShownBalloons();
        return;
    }
    // Without a tray Qt shows no balloon at all: the desktop's notification service takes it.
    if (!m_desktopNotifications.notify(title, text, ImageLists::applicationIcon(), timeoutMs))
        setBalloonsAvailable(false, m_desktopNotifications.unavailableReason());
}

void SystemTrayIcon::nameShownBalloons() {
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

void SystemTrayIcon::setBalloonsAvailable(bool available, const QString &reason) {
    if (available == m_balloonsAvailable)
        return;
    m_balloonsAvailable = available;
    emit balloonsAvailableChanged(available, reason);
}
