// What the frame offers a subsystem beyond the program's own subsystems: a menu-bar entry, a row in
// the tray popup, a count on the tray icon, the events the user saw, and a folder for its data.
#include "AppHarness.h"
#include "Frame.h"
#include "ImageLists.h"
#include "TrayIconLook.h"

#include <QAction>
#include <QMenuBar>
#include <QPushButton>

using namespace AppHarness;

namespace {
// A subsystem that takes what a new one would: an entry in the menu bar and a row in the popup.
class Probe : public Subsystem {
public:
    void attach(Frame &f) override {
        frame = &f;
        entry = f.addMenuBarEntry(u"Notizen"_qs, u"Notizen"_qs, u"Was geschah"_qs, [this] { ++triggered; });
        row.setText(u"Notizen"_qs);
        f.addTrayPopupRow(&row);
    }

    Frame *frame = nullptr;
    QAction *entry = nullptr;
    QAction row;
    int triggered = 0;
};

// The program with its own subsystems and the probe after them.
struct ProbedProgram {
    explicit ProbedProgram(const QByteArray &menu = {}) {
        if (!menu.isNull())
            h.folder.write(u"quendramenu.ini"_qs, menu);
        h.wire();
        h.core.subsystems().add(u"Notizen"_qs, probe);
        h.start();
    }
    Harness h;
    Probe probe;
};

// XDG_DATA_HOME for one test.
struct DataHome {
    explicit DataHome(const QString &path) : m_before(qgetenv("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", path.toLocal8Bit());
    }
    ~DataHome() { qputenv("XDG_DATA_HOME", m_before); }

private:
    QByteArray m_before;
};
} // namespace

class TestFrame : public QObject {
    Q_OBJECT

private slots:
    // A subsystem's entry comes after the program's own and before "Hilfe", with its mnemonic and hint.
    void menuBarEntriesComeInTheListsOrder() {
        ProbedProgram p;
        QStringList captions;
        for (const QAction *action : p.h.window()->menuBar()->actions())
            captions << action->iconText();
        QCOMPARE(captions, (QStringList{u"Datei"_qs, u"Console"_qs, u"Webchecker"_qs, u"Einstellungen"_qs,
                                        u"Verlauf"_qs, u"Notizen"_qs, u"Hilfe"_qs}));
        QCOMPARE(QKeySequence::mnemonic(p.probe.entry->text()), QKeySequence(Qt::ALT | Qt::Key_N));
        QCOMPARE(p.probe.entry->toolTip(), u"Was geschah"_qs);
        p.h.find<QAction>(u"Notizen"_qs)->trigger();
        QCOMPARE(p.probe.triggered, 1);
    }

    // The row stays at the end of the popup below a line, whatever rebuilds the popup.
    void trayPopupRowStaysAtTheEnd() {
        ProbedProgram p(menuEntry(u"Licht"_qs, u"0,0"_qs, false, false));
        QMenu *popup = p.h.platform.tray.popup;
        const auto shownTexts = [popup] {
            popup->popup(QPoint(10, 10));
            const QStringList texts = itemTexts(popup);
            popup->hide();
            return texts;
        };
        QCOMPARE(shownTexts(), openedOfflinePopup(QStringList{u"Licht 0,0"_qs}) + QStringList{u"Notizen"_qs});
        QVERIFY(p.h.folder.write(u"quendramenu.ini"_qs, menuEntry(u"Rollo"_qs, u"1,0"_qs, false, false)));
        QTest::mouseClick(p.h.find<QPushButton>(u"menuladen"_qs), Qt::LeftButton);
        QCOMPARE(shownTexts(), openedOfflinePopup(QStringList{u"Rollo 1,0"_qs}) + QStringList{u"Notizen"_qs});
    }

    void trayCountIsDrawnOnTheIcon_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("none") << 0 << false;
        QTest::newRow("one") << 1 << true;
        QTest::newRow("more than 99") << 120 << true;
        QTest::newRow("below zero") << -2 << false;
    }
    // A red badge at the bottom right, also when the link's state changes the picture below it.
    void trayCountIsDrawnOnTheIcon() {
        QFETCH(int, count);
        QFETCH(bool, drawn);
        FakeTrayIcon tray;
        TrayIconLook look(tray);
        look.setBase(ImageLists::applicationIcon());
        look.setCount(count);
        look.setBase(ImageLists::offlineIcon());
        const QImage shown = tray.icon.pixmap(64, 64).toImage();
        const QImage base = ImageLists::offlineIcon().pixmap(64, 64).toImage();
        QCOMPARE(shown == base, !drawn);
        if (drawn)
            QCOMPARE(shown.pixelColor(60, 48), QColor(0xc6, 0x28, 0x28));
    }

    void eventsNameWhatTheUserSaw_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("kind"); // -1: no event
        QTest::newRow("balloon") << u"balloon"_qs << int(FrameEvent::Kind::Balloon);
        QTest::newRow("error box") << u"error"_qs << int(FrameEvent::Kind::Error);
        QTest::newRow("important message") << u"information"_qs << int(FrameEvent::Kind::Information);
        QTest::newRow("plain box") << u"message"_qs << int(FrameEvent::Kind::Message);
        QTest::newRow("a question is no news") << u"confirm"_qs << -1;
    }
    // Boxes and balloons shown through a subsystem's services are events named after it.
    void eventsNameWhatTheUserSaw() {
        QFETCH(QString, shown);
        QFETCH(int, kind);
        ProbedProgram p;
        QList<FrameEvent> events;
        connect(&p.h.core.events(), &FrameEvents::happened, this,
                [&events](const FrameEvent &event) { events.append(event); });
        const PlatformServices &services = p.probe.frame->services();
        const QString text = u"Es geschah etwas"_qs;
        if (shown == u"balloon")
            services.tray->showBalloon(u"Orvanel:"_qs, text, 2000);
        else if (shown == u"error")
            services.dialogs->error(text);
        else if (shown == u"information")
            services.dialogs->information(text);
        else if (shown == u"message")
            services.dialogs->message(text);
        else
            services.dialogs->confirm(text);
        QCOMPARE(events.size(), kind < 0 ? 0 : 1);
        if (kind < 0)
            return;
        QCOMPARE(int(events[0].kind), kind);
        QCOMPARE(events[0].source, u"Notizen"_qs);
        QCOMPARE(events[0].text, text);
        QVERIFY(events[0].time.isValid());
        // The box or balloon itself is shown as ever.
        QCOMPARE(p.h.platform.dialogs.boxes.size() + p.h.platform.tray.balloons.size(), 1);
    }

    // A settings file that cannot be written is the program's own failure, an event like the others.
    void aFailedSaveOfTheFrameIsAnEvent() {
        Harness h;
        QVERIFY(QDir().mkdir(h.folder.settingsFile()));
        QList<FrameEvent> events;
        connect(&h.core.events(), &FrameEvents::happened, this,
                [&events](const FrameEvent &event) { events.append(event); });
        h.start()->close();
        QCOMPARE(events.size(), 2); // read at the start, written at the end
        QCOMPARE(events.last().kind, FrameEvent::Kind::Error);
        QCOMPARE(events.last().source, u"Quendra"_qs);
        QVERIFY(events.last().text.contains(h.folder.settingsFile()));
    }

    void dataFolderIsTheProgramsOwnOrTheUsers_data() {
        QTest::addColumn<bool>("portable");
        QTest::newRow("portable: the program folder") << true;
        QTest::newRow("installed: the user's data folder") << false;
    }
    void dataFolderIsTheProgramsOwnOrTheUsers() {
        QFETCH(bool, portable);
        QTemporaryDir data;
        const DataHome home(data.path());
        TempProgramFolder folder;
        const QString programFolder =
            portable ? QCoreApplication::applicationDirPath() + ProgramPaths::separator() : folder.path();
        QCOMPARE(AppCore::dataFolderFor(ProgramPaths(programFolder)),
                 portable ? programFolder : data.path() + u"/quendra/"_qs);
    }
};

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
