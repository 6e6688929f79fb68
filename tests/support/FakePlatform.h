#pragma once

#include "Autostart.h"
#include "EventSounds.h"
#include "FakeDialogs.h"
#include "FakeTrayIcon.h"
#include "HelpViewer.h"
#include "PlatformServices.h"
#include "ScreenSaverControl.h"

#include <QStringList>

// Records autostart changes; the entry is "there" while enabled.
class FakeAutostart : public Autostart {
public:
    bool enable(const QString &programPath) override {
        calls.append(QStringLiteral("enable ") + programPath);
        enabled = true;
        return true;
    }
    bool disable() override {
        calls.append(QStringLiteral("disable"));
        enabled = false;
        return true;
    }
    bool isEnabled() const override { return enabled; }
    QString errorString() const override { return {}; }

    QStringList calls;
    bool enabled = false;
};

// Records the help topics asked for.
class FakeHelpViewer : public HelpViewer {
public:
    void showContext(const QString &helpFile, int context) override {
        shown.append(helpFile + u'#' + QString::number(context));
    }
    void closeAll() override { ++closeAllCalls; }

    QStringList shown;
    int closeAllCalls = 0;
};

// Records the sounds played; offers a fixed list of event names.
class FakeEventSounds : public EventSounds {
public:
    void play(const QString &name) override { played.append(name); }
    QStringList eventNames() const override { return {QStringLiteral("bell"), QStringLiteral("message")}; }

    QStringList played;
};

// Records what the screen saver was asked: "activate", or "deactivate" (which puts the pointer at 1, 1).
class FakeScreenSaver : public ScreenSaverControl {
public:
    void activate() override { calls.append(QStringLiteral("activate")); }
    void deactivate() override { calls.append(QStringLiteral("deactivate")); }

    QStringList calls;
};

// The recording fakes of every service the shell uses, bundled as the application takes them.
struct FakePlatform {
    FakeTrayIcon tray;
    FakeDialogs dialogs;
    FakeAutostart autostart;
    FakeHelpViewer help;
    FakeEventSounds sounds;
    FakeScreenSaver screenSaver;

    PlatformServices services() {
        PlatformServices s;
        s.tray = &tray;
        s.dialogs = &dialogs;
        s.autostart = &autostart;
        s.help = &help;
        s.sounds = &sounds;
        s.screenSaver = &screenSaver;
        return s;
    }
};
