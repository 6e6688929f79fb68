#pragma once

#include "LinkView.h"
#include "ValueTarget.h"

#include <QList>
#include <QString>

// The window's side of the link as the tests see it: what the controller set last.
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
    bool connectButtonShowsDisconnect() const override { return buttonShowsDisconnect; }
    void setOnlineIndicatorVisible(bool visible) override { onlineVisible = visible; }
    void setHeaderOnline() override {
        ++headerOnlineCount;
        header = QStringLiteral("Programmeinstellungen - Verbunden mit ") + host + u':' + port;
    }
    void setHeaderOffline() override { header = QStringLiteral("Programmeinstellungen - offline"); }
    void setStatusText(const QString &text) override { status = text; }
    void rollUpSettings() override { ++rollUps; }
};

// Records every decoded line it is handed.
class RecordingTarget : public ValueTarget {
public:
    struct Seen {
        DecodedLine line;
        bool initial;
    };
    QList<Seen> seen;
    QStringList *order = nullptr; // shared log to check the order of several targets
    QString name;

    void onValue(const DecodedLine &line, bool initial) override {
        seen.append({line, initial});
        if (order)
            order->append(name);
    }
    // How often the line with this number and raw value came with the given flag.
    int count(const QString &gan, const QString &rawValue, bool initial) const {
        int n = 0;
        for (const Seen &s : seen)
            n += s.line.gan == gan && s.line.rawValue == rawValue && s.initial == initial;
        return n;
    }
};
