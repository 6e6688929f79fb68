#pragma once

#include <QString>

// What the link controller needs of the window: the settings it reads at the moment of use and
// the pieces of the connection's look it sets. The main window implements it; tests fake it.
class LinkView {
public:
    virtual ~LinkView() = default;

    // Settings, read when used (never cached).
    virtual QString keyText() const = 0;    // OVKEY
    virtual QString hostText() const = 0;   // OVIP
    virtual QString portText() const = 0;   // OVPORT as typed
    virtual bool offlineTicked() const = 0; // OVOFFLINE

    // ovconnectbtn: "connect" with system image 8, or "disconnect" with system image 14.
    virtual void setConnectButtonConnected(bool connected) = 0;
    // The small `online` indicator image.
    virtual void setOnlineIndicatorVisible(bool visible) = 0;
    // Header `Einstellungen`: "Programmeinstellungen - Verbunden mit IP:PORT" or "... - offline".
    virtual void setHeaderOnline() = 0;
    virtual void setHeaderOffline() = 0;
    // Status bar panel 0.
    virtual void setStatusText(const QString &text) = 0;
    // Roll the settings panel up and apply the collapsed sizes (after the first connection).
    virtual void rollUpSettings() = 0;
};
