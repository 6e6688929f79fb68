#pragma once

#include "LinkView.h"

#include <QString>

// The window's side of the link as the tests see it: the settings it offers (by default a window
// that was never connected: port 0) and what the controller set last.
class FakeLinkView : public LinkView {
public:
    QString key = QStringLiteral("demo");
    QString host = QStringLiteral("127.0.0.1");
    QString port = QStringLiteral("0");
    bool offline = false;

    bool buttonShowsDisconnect = false;
    bool onlineVisible = false;
    QString header = QStringLiteral("Programmeinstellungen");
    QString status;
    int rollUps = 0;
    int headerOnlineCount = 0;

    QString keyText() const override { return key; }
    QString hostText() const override { return host; }
    QString portText() const override { return port; }
    bool offlineTicked() const override { return offline; }
    void setConnectButtonConnected(bool connected) override { buttonShowsDisconnect = connected; }
    void setOnlineIndicatorVisible(bool visible) override { onlineVisible = visible; }
    void setHeaderOnline() override {
        ++headerOnlineCount;
        header = QStringLiteral("Programmeinstellungen - Verbunden mit ") + host + u':' + port;
    }
    void setHeaderOffline() override { header = QStringLiteral("Programmeinstellungen - offline"); }
    void setStatusText(const QString &text) override { status = text; }
    void rollUpSettings() override { ++rollUps; }
};
