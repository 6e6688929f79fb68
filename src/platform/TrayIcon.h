#pragma once

#include <QObject>
#include <QString>

class QMenu;
class QIcon;

// The notification-area icon. The real one wraps QSystemTrayIcon; tests use a recording fake.
// A desktop without a tray reports isAvailable() == false and the program carries on without it.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TrayIcon() override = default;

    virtual bool isAvailable() const = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void setIcon(const QIcon &icon) = 0;
    // The tooltip; it keeps the text of the last balloon until the next one.
    virtual void setHint(const QString &text) = 0;
    virtual QString hint() const = 0;
    // The user's command menu, opened on a right click. Ownership stays with the caller.
    virtual void setPopup(QMenu *menu) = 0;
    // Information balloon; a new one replaces the previous one.
    virtual void showBalloon(const QString &title, const QString &text, int timeoutMs) = 0;

signals:
    void doubleClicked();
    // A single left click; StatusNotifier hosts send only this, often no double click.
    void activated();
    // The desktop's tray came or went (its panel started or ended) while the program runs.
    void availabilityChanged(bool available);
    // The user clicked a balloon, or the desktop notification that stood in for it.
    void balloonClicked();
    // Whether balloons reach the user: false, with the system's reason, after the first balloon that
    // neither a tray nor the desktop's notification service took; true once one got through again.
    void balloonsAvailableChanged(bool available, const QString &reason);
};
