#pragma once

#include "Dialogs.h"
#include "LinkView.h"
#include "TrayIcon.h"
#include "ValueTarget.h"

#include <QList>
#include <QString>
#include <QStringList>

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

class FakeTray : public TrayIcon {
public:
    struct Balloon {
        QString title;
        QString text;
        int timeoutMs;
    };
    QList<Balloon> balloons;
    QString hintText;

    bool isAvailable() const override { return true; }
    void show() override {}
    void hide() override {}
    void setIcon(const QIcon &) override {}
    void setHint(const QString &text) override { hintText = text; }
    QString hint() const override { return hintText; }
    void setPopup(QMenu *) override {}
    void showBalloon(const QString &title, const QString &text, int timeoutMs) override {
        balloons.append({title, text, timeoutMs});
    }
    QStringList texts() const {
        QStringList result;
        for (const Balloon &balloon : balloons)
            result << balloon.text;
        return result;
    }
};

class FakeDialogs : public Dialogs {
public:
    QStringList errors;
    QStringList others;
    void error(const QString &text) override { errors << text; }
    void information(const QString &text) override { others << text; }
    void message(const QString &text) override { others << text; }
    bool confirm(const QString &text) override {
        others << text;
        return true;
    }
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
