#pragma once

#include <QDBusConnection>
#include <QObject>
#include <memory>

class QDBusServiceWatcher;
class StatusNotifierWatcherProxy;

// Tells when the desktop's tray may have come or gone, as it happens and without asking again and
// again: an XEmbed tray (the X server's selection of the tray manager, which Qt's X11 plugin follows)
// and a StatusNotifier host (its watcher service on the session bus, and the hosts that register
// with it). Whether there is a tray now is then for QSystemTrayIcon to say.
class TrayHostWatch : public QObject {
    Q_OBJECT
public:
    static inline const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

    explicit TrayHostWatch(QDBusConnection bus, QObject *parent = nullptr);
    ~TrayHostWatch() override;

signals:
    void mayHaveChanged();

private slots:
    // Connected by name: the X11 plugin's signal belongs to a class with no public header.
    void onPlatformTrayChanged();

private:
    QDBusServiceWatcher *m_services = nullptr;
    std::unique_ptr<StatusNotifierWatcherProxy> m_watcher;
};
