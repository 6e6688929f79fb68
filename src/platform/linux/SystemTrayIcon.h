#pragma once

#include "DesktopNotifications.h"
#include "TrayHostWatch.h"
#include "TrayIcon.h"

#include <QIcon>
#include <QPointer>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

class QWidget;

// The notification-area icon of the desktop (StatusNotifierItem or XEmbed tray, as Qt finds it).
class SystemTrayIcon : public TrayIcon {
    Q_OBJECT
public:
    // Whether the desktop has a tray now (Qt's answer by default).
    using TrayPresence = std::function<bool()>;

    // bus: where the desktop's notification service is asked when there is no tray, and where a
    // StatusNotifier host comes and goes. The program asks whether there is a tray only when the
    // desktop says that one came or went: nothing wakes it while nothing happens.
    explicit SystemTrayIcon(QObject *parent = nullptr, QDBusConnection bus = QDBusConnection::sessionBus(),
                            TrayPresence trayPresence = {});

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
    void createIcon();
    void applyPicture();
    void checkAvailability();
    void setBalloonsAvailable(bool available, const QString &reason);
    void nameShownBalloons();

    // Qt picks the kind of tray (StatusNotifierItem or XEmbed) when the icon is made; one made
    // before the desktop's panel was there is made anew when a tray appears.
    std::unique_ptr<QSystemTrayIcon> m_icon;
    QIcon m_picture;
    QString m_hint;
    QPointer<QMenu> m_popup;
    bool m_shown = false;
    bool m_available = false;
    bool m_balloonsAvailable = true;
    TrayPresence m_trayPresence;
    DesktopNotifications m_desktopNotifications;
    TrayHostWatch m_hostWatch;
};
