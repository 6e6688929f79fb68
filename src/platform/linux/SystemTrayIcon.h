#pragma once

#include "DesktopNotifications.h"
#include "TrayIcon.h"

#include <QSystemTrayIcon>

// The notification-area icon of the desktop (StatusNotifierItem or XEmbed tray, as Qt finds it).
class SystemTrayIcon : public TrayIcon {
    Q_OBJECT
public:
    // bus: where the desktop's notification service is asked when there is no tray.
    explicit SystemTrayIcon(QObject *parent = nullptr, QDBusConnection bus = QDBusConnection::sessionBus());

    bool isAvailable() const override;
    void show() override;
    void hide() override;
    void setIcon(const QIcon &icon) override;
    void setHint(const QString &text) override;
    QString hint() const override;
    void setPopup(QMenu *menu) override;
    void showBalloon(const QString &title, const QString &text, int timeoutMs) override;

private:
    QSystemTrayIcon m_icon;
    DesktopNotifications m_desktopNotifications;
};
