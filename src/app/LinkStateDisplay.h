#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class FrameEvents;
class LinkController;
class MainWindow;

// Shows whether the link to the server is up, wherever the frame shows something of it: the tray
// icon (the program's icon, or the same with an offline mark), status bar panel 0 ("OV offline" from
// the moment the link goes down until a connection is made again) and the online indicator's
// accessible name; onlineShown() tells the rest (the tray popup's title row). The connection's own
// looks stay the link controller's. A link that goes down and comes back is reported as an event.
//
// A server that closes the connection within a second of the key line has most likely refused the
// key; the program cannot know it otherwise, so it says so in the bus monitor and panel 0.
class LinkStateDisplay : public QObject {
    Q_OBJECT
public:
    // Everything must outlive this object; keyRefusalWindowMs is the link's (LinkTimings).
    LinkStateDisplay(LinkController &link, MainWindow &window, FrameEvents &events, int keyRefusalWindowMs,
                     QObject *parent = nullptr);

    bool isOnline() const { return m_online; }

signals:
    // The link is shown up or down, after it was shown the other way.
    void onlineShown(bool online);

private:
    void show(bool online);
    void linkUp(const QString &statusText);
    void linkDown();

    LinkController &m_link;
    QPointer<MainWindow> m_window; // gone before the link at the program's end
    FrameEvents &m_events;
    int m_keyRefusalWindowMs;
    QElapsedTimer m_sinceKey;
    bool m_online = false;
    bool m_downStated = false; // panel 0 already says why the link is down
    bool m_lost = false;       // it went down after it was up: its return is news too
};
