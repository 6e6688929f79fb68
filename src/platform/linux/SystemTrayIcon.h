#pragma once

#include "DesktopNotifications.h"
#include "TrayIcon.h"

#include <QSystemTrayIcon>

class QWidget;

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

    // The name screen readers give the balloon's close button, which shows only a cross.
    static inline const QString kCloseBalloon = QStringLiteral("Schließen");
    // Names the buttons of a balloon window that carry neither text nor name (its close button).
    static void nameBalloonButtons(QWidget *balloon);

private:
    QSystemTrayIcon m_icon;
    DesktopNotifications m_desktopNotifications;
};
