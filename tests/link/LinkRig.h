#pragma once

#include "FakeDialogs.h"
#include "FakeLinkView.h"
#include "FakeTrayIcon.h"
#include "FastTimings.h"
#include "LinkController.h"
#include "LinkFakes.h"
#include "LinkTexts.h"
#include "TestPeer.h"

#include <QTest>
#include <QTimer>
#include <initializer_list>

// What the link tests share: the error texts they expect, the controller with the window's side
// faked, a scripted gateway on loopback, and byte helpers for lines with their NULs.

inline const QString kStartupError = QStringLiteral("Konnte die Verbindung zum OV nicht Herstellen.\rPrüfe die OV "
                                                    "Einstellungen und klicke auf klicke auf connect");
inline const QString kButtonError = QStringLiteral("Konnte die Verbindung zum OV nicht Herstellen.\rPrüfe die OV "
                                                   "Einstellungen und starte danach das Programm neu!");
inline const QString kHeaderOffline = QStringLiteral("Programmeinstellungen - offline");

// The controller with the window's side faked, a recording value target and a popup counter.
struct Rig {
    FakeLinkView view;
    FakeTrayIcon tray;
    FakeDialogs dialogs;
    RecordingTarget target;
    int popups = 0;
    LinkController controller;

    explicit Rig(LinkTimings timings = fastTimings()) : controller(view, tray, dialogs, timings) {
        controller.dispatch().addTarget(&target);
        controller.dispatch().setPopupRebuild([this] { ++popups; });
        controller.link().setHost(QStringLiteral("127.0.0.1"));
    }
    void usePort(quint16 port) {
        controller.link().setPort(port);
        view.port = QString::number(port);
    }
    QStringList balloonTexts() const {
        QStringList texts;
        for (const FakeTrayIcon::Balloon &balloon : tray.balloons)
            texts << balloon.text;
        return texts;
    }
    QStringList errors() const { return dialogs.texts(FakeDialogs::Kind::Error); }
    QStringList busLines() { return controller.busMonitor().lines(); }
    QTimer *timer(const char *name) { return controller.findChild<QTimer *>(QLatin1String(name)); }
};

// The rig with a scripted gateway on loopback that the controller is pointed at.
struct PeerRig : Rig {
    TestPeer peer;

    explicit PeerRig(LinkTimings timings = fastTimings()) : Rig(timings) {}
    bool listen() {
        if (!peer.listen())
            return false;
        usePort(peer.port());
        return true;
    }
};

// Connects through the connect button and waits until its drain is over: the "connected" status
// sets the online header, the end of the button's drain sets it once more.
inline bool connectByButton(Rig &rig) {
    const int before = rig.view.headerOnlineCount;
    rig.controller.ovconnectbtnClick();
    return QTest::qWaitFor([&] { return rig.view.headerOnlineCount == before + 2; }) &&
           rig.controller.pollingEnabled() && rig.view.buttonShowsDisconnect &&
           rig.controller.connectButtonShowsDisconnect();
}

// A byte literal with its embedded NULs, without the one the compiler adds.
template <size_t N> QByteArray raw(const char (&literal)[N]) {
    return QByteArray(literal, N - 1);
}

inline QByteArray lines(std::initializer_list<const char *> texts) {
    QByteArray bytes;
    for (const char *text : texts)
        bytes += QByteArray(text) + '\0';
    return bytes;
}
