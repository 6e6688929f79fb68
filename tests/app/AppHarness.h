#pragma once

// The real start-up with the real main window over a temporary program folder and the platform
// fakes, with the subsystems either recorded (each step written into a log) or the program's own.
#include "AppCore.h"
#include "ConsoleWiring.h"
#include "FakeBrowserHost.h"
#include "FakePlatform.h"
#include "FrameParts.h"
#include "LinkAccess.h"
#include "MainWindow.h"
#include "MenuFile.h"
#include "PrivateSessionBus.h"
#include "ProgramWiring.h"
#include "SettingsPanel.h"
#include "Startup.h"
#include "Subsystem.h"
#include "TempProgramFolder.h"
#include "TrayPopup.h"
#include "WebCheckWiring.h"
#include "WildcardWordsWiring.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <optional>

namespace AppHarness {

inline const QString kHelpFile = QStringLiteral(QUENDRA_SOURCE_DIR "/resources/help/quendra.html");

// Readable and writable by its owner alone (the "User" bits only repeat the owner's for us).
inline bool ownerOnly(const QString &path) {
    const QFileDevice::Permissions user = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    return (QFile::permissions(path) & ~user) == (QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// The lines of a file, whichever line ends it has (a new file gets CR LF).
inline QList<QByteArray> lines(const QByteArray &content) {
    QList<QByteArray> result = content.split('\n');
    for (QByteArray &line : result)
        if (line.endsWith('\r'))
            line.chop(1);
    return result;
}

// A link that is never up: lines go nowhere, and the bus monitor's notes are kept.
class SilentLink : public LinkAccess, public CommandChannel {
public:
    void addValueTarget(ValueTarget *) override {}
    void setPopupRebuild(std::function<void()>) override {}
    CommandChannel &commands() override { return *this; }
    QString lastValue(const QString &) override { return QStringLiteral("0,0"); }
    bool isOnline() const override { return false; }
    void note(const QString &text) override { notes.append(text); }

    bool sendLine(const QString &) override { return false; }
    void awaitLine(int, ReplyHandler done) override { done(std::nullopt, QStringLiteral("Nicht verbunden.")); }
    void addToBusMonitor(const QString &text) override { notes.append(text); }
    void dispatchLine(const QString &, bool) override {}

    QStringList notes;
};

// The frame's link and catalogue fetch, played: the start-up's and the closing sequence's steps
// go into the log, and the first connection is over at once unless a test takes it over.
class RecordingParts : public FrameParts {
public:
    explicit RecordingParts(QStringList &log) : m_log(log) {}

    void attach(MainWindow &) override {}
    LinkAccess &linkAccess() override { return link; }
    void connectAtStart(std::function<void(int)> progress, std::function<void()> done) override {
        if (!firstConnection) {
            done();
            return;
        }
        firstConnection(std::move(progress), std::move(done));
    }
    void startPolling() override {
        if (recording)
            m_log.append(u"startPolling"_qs);
    }
    void closeLink() override {
        if (recording)
            m_log.append(u"disconnect"_qs);
    }

    SilentLink link;
    // Takes the first connection over: progress moves the splash's bar, done ends it.
    std::function<void(std::function<void(int)> progress, std::function<void()> done)> firstConnection;
    bool recording = false;

private:
    QStringList &m_log;
};

// A subsystem with one user file, played: loading and saving go into the log ("loadMenu <folder>").
class RecordingFiles : public Subsystem {
public:
    RecordingFiles(QString name, QStringList &log, const bool &saves)
        : m_name(std::move(name)), m_log(log), m_saves(saves) {}

    void attach(Frame &frame) override { m_frame = &frame; }
    void load(const QString &folder) override {
        m_log.append(u"load"_qs + m_name + u' ' + folder);
        if (notice)
            m_frame->addStartupNotice(kNewNotificationsNotice);
    }
    // "Neu laden" reads the menu only.
    void reload(const QString &folder) override {
        if (m_name == u"Menu")
            m_log.append(u"load"_qs + m_name + u' ' + folder);
    }
    void started() override {
        if (whenStarted)
            whenStarted();
    }
    bool save(const QString &folder) override {
        if (whenSaving)
            return whenSaving(folder);
        m_log.append(u"save"_qs + m_name + u' ' + folder);
        return m_saves;
    }

    // The start-up notice is due after loading.
    bool notice = false;
    std::function<void()> whenStarted;
    // Takes the save over.
    std::function<bool(const QString &folder)> whenSaving;

private:
    QString m_name;
    QStringList &m_log;
    const bool &m_saves;
    Frame *m_frame = nullptr;
};

// One program folder, the fakes and the real start-up with the real main window. Without the
// program's wiring, the frame has the tool windows and a link that is never up.
struct Harness {
    explicit Harness(const QByteArray &settings = {}, const QString &helpFile = kHelpFile,
                     Autostart *autostart = nullptr)
        : core(folder.paths(), services(autostart), helpFile), parts(log), webCheck(core.browsers),
          wildcardWords(texts), startup(core) {
        if (!settings.isNull())
            folder.write(QStringLiteral("quendra.ini"), settings);
        // The checker's browser without a browser engine.
        core.browsers = [] {
            return std::make_unique<FakeBrowserHost>();
        };
    }
    ~Harness() {
        if (!wiring)
            core.subsystems().clear();
    }

    // The program's own wiring of the subsystems, as main() builds it; without timings with the
    // program's defaults.
    void wire(std::optional<LinkTimings> timings = std::nullopt) {
        wiring = timings ? std::make_unique<ProgramWiring>(core, *timings) : std::make_unique<ProgramWiring>(core);
    }

    PlatformServices services(Autostart *autostart) {
        PlatformServices s = platform.services();
        if (autostart)
            s.autostart = autostart;
        return s;
    }

    // Every step of the subsystems' files and of the link is written into the log.
    void recordHooks() {
        recording = true;
        parts.recording = true;
    }

    MainWindow *start() {
        if (!wiring) {
            core.parts = &parts;
            if (recording)
                for (RecordingFiles *files : {&menuFile, &loadReplaceFile, &mailFile})
                    core.subsystems().add(u"Test"_qs, *files);
            core.subsystems().add(u"Console"_qs, console);
            core.subsystems().add(u"Webchecker"_qs, webCheck);
            core.subsystems().add(u"Quendra Konfig"_qs, wildcardWords);
            menuFile.notice = notice;
        }
        startup.run();
        return startup.mainWindow();
    }
    MainWindow *window() const { return startup.mainWindow(); }
    SettingsPanel *panel() const { return window()->settingsPanel(); }
    template <typename T> T *find(const QString &name) const { return window()->findChild<T *>(name); }
    QList<QByteArray> settingsLines() const { return lines(folder.read(QStringLiteral("quendra.ini"))); }
    // The wildcard words the captions show.
    const WildcardTexts &wildcardTexts() const { return wiring ? wiring->wildcardTexts() : texts; }

    TempProgramFolder folder;
    FakePlatform platform;
    AppCore core;
    QStringList log;
    bool notice = false;
    bool saves = true; // what the recorded saves answer
    bool recording = false;
    RecordingParts parts;
    RecordingFiles menuFile{u"Menu"_qs, log, saves};
    RecordingFiles loadReplaceFile{u"LoadReplace"_qs, log, saves};
    RecordingFiles mailFile{u"Mail"_qs, log, saves};
    WildcardTexts texts;
    ConsoleWiring console;
    WebCheckWiring webCheck;
    WildcardWordsWiring wildcardWords;
    // Goes after the window (in startup), as in the program.
    std::unique_ptr<ProgramWiring> wiring;
    Startup startup;
};

// One menu entry bound to GAN 5 with the given notification switches and last value.
inline QByteArray menuEntry(const QString &text, const QString &lv, bool balloon, bool msg) {
    const auto truth = [](bool on) {
        return on ? QByteArray("True") : QByteArray("False");
    };
    return "[0]\nBezeichnung=" + text.toLatin1() +
           "\nSymbol=0\nTyp=Wert lesen\nAktion=lesen\nWert=\nGAN=5\nLV=" + lv.toLatin1() +
           "\nBalloon=" + truth(balloon) + "\nMsg=" + truth(msg) + "\nSound=False\nSoundname=\n";
}

// The texts of a menu's items.
inline QStringList itemTexts(const QMenu *menu) {
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts.append(action->text());
    return texts;
}

// The popup while no server is connected (as in these tests): its title row says so above the entries.
inline QStringList offlinePopup(const QStringList &entries) {
    return QStringList{TrayPopup::kOfflineTitle, QString()} + entries;
}
// The same popup opened: the program's rows follow the entries below a line.
inline QStringList openedOfflinePopup(const QStringList &entries) {
    return offlinePopup(entries) + QStringList{QString(), u"Verlauf"_qs};
}

// The user leaves the edit with the tab key.
inline void leave(QWidget *edit) {
    QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit, &event);
}

} // namespace AppHarness
