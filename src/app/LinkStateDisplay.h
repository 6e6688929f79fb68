#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class LinkController;
class MainWindow;
class TrayIcon;
class TrayPopup;

// Shows whether the link to the server is up, wherever the program shows something of it: the tray
// icon (the program's icon, or the same with an offline mark), status bar panel 0 ("OV offline" from
// the moment the link goes down until a connection is made again), the online indicator's accessible
// name and the tray popup's title row. The connection's own looks stay the link controller's.
//
// A server that closes the connection within a second of the key line has most likely refused the
// key; the program cannot know it otherwise, so it says so in the bus monitor and panel 0.
class LinkStateDisplay : public QObject {
    Q_OBJECT
public:
    static inline const QString kOffline = QStringLiteral("OV offline");
    static inline const QString kKeyRefused = QStringLiteral("Verbindung nach dem Key geschlossen – Key prüfen");

    // Everything must outlive this object; keyRefusalWindowMs is the link's (LinkTimings).
    LinkStateDisplay(LinkController &link, MainWindow &window, TrayIcon &tray, TrayPopup &popup, int keyRefusalWindowMs,
                     QObject *parent = nullptr);

    bool isOnline() const { return m_online; }

private:
    void show(bool online);
    void linkUp(const QString &statusText);
    void linkDown();

    LinkController &m_link;
    QPointer<MainWindow> m_window; // gone before the link at the program's end
    TrayIcon &m_tray;
    TrayPopup &m_popup;
    int m_keyRefusalWindowMs;
    QElapsedTimer m_sinceKey;
    bool m_online = false;
    bool m_downStated = false; // panel 0 already says why the link is down
};
