// The whole program as main() composes it, against the simulator, with the checker's browser loaded
// from the browser plugin as the program file loads it (QUENDRA_BROWSER_PLUGIN names the built one).
// As root the engine runs without its sandbox and the window says so; as anyone else the sandbox
// stays and nothing is said. A plugin or an engine that cannot be had leaves a browser area that
// says why, and the program and the checker go on.
#include "AppCore.h"
#include "FakePlatform.h"
#include "MainWindow.h"
#include "OvsimProcess.h"
#include "ProgramWiring.h"
#include "Startup.h"
#include "StatusBar.h"
#include "TempProgramFolder.h"
#include "WebCheckWindow.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <unistd.h>

namespace {
constexpr int kLoadTimeoutMs = 30000;
const QString kBuiltPlugin = QStringLiteral(QUENDRA_BROWSER_PLUGIN_FILE);

// The real start-up with the real main window and subsystems against the simulator, the platform
// faked; it starts at once.
struct Program {
    explicit Program(const OvsimProcess &server)
        : core(folder.paths(), platform.services(), QString()), wiring(core), startup(core) {
        folder.write(QStringLiteral("quendra.ini"), QStringLiteral("[Orvanel]\nIP=127.0.0.1\nPort=%1\nTCPPort=%2\n"
                                                                   "Key=demo\nPfad=%3\n")
                                                        .arg(server.gatewayPort())
                                                        .arg(server.webPort())
                                                        .arg(folder.path())
                                                        .toUtf8());
        startup.run();
    }

    bool connected() const {
        return startup.isFinished() &&
               startup.mainWindow()->statusBar1()->panelText(0).startsWith(QStringLiteral("Mit OV verbunden"));
    }
    // Opens the checker from the menu bar, as a user does.
    WebCheckWindow *openChecker() {
        startup.mainWindow()->findChild<QAction *>(QStringLiteral("Webchecker"))->trigger();
        return startup.mainWindow()->findChild<WebCheckWindow *>(QStringLiteral("TForm4"));
    }

    TempProgramFolder folder;
    FakePlatform platform;
    AppCore core;
    ProgramWiring wiring;
    Startup startup;
};

template <typename W> W *child(const QObject *root, const char *name) {
    return root->findChild<W *>(QLatin1String(name));
}

// Loads the simulator's weather page with "Website laden" and analyses it: what the checker is for.
void analyseWeatherPage(WebCheckWindow *checker, const OvsimProcess &server) {
    child<QLineEdit>(checker, "WAHOST")->setText(QStringLiteral("127.0.0.1:%1").arg(server.webPort()));
    child<QLineEdit>(checker, "WASITE")->setText(QStringLiteral("/wetter.html"));
    QTest::mouseClick(child<QToolButton>(checker, "gobrowser"), Qt::LeftButton);
    auto *analyse = child<QPushButton>(checker, "analysebtn");
    QTRY_VERIFY_WITH_TIMEOUT(analyse->isEnabled(), kLoadTimeoutMs);
    QTest::mouseClick(analyse, Qt::LeftButton);
    QTRY_COMPARE(child<QLabel>(checker, "statustext")->text(), QStringLiteral("Fertig!"));
    QVERIFY(child<QAbstractItemView>(checker, "Liste")->model()->rowCount() > 0);
}
} // namespace

class TestWebCheckEngine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_server.start());
        // The program's own choice is under test, not one the test machine's environment made.
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
        qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    }

    // Runs before browserAsThisUser: the last row needs an engine that has not started in this process.
    void unavailableBrowserSaysWhy_data() {
        QTest::addColumn<QString>("plugin");
        QTest::addColumn<QByteArray>("processPath");
        QTest::addColumn<QString>("reason");
        const QString missing = QStringLiteral("/nonexistent/libquendra_browser.so");
        QTest::newRow("no plugin") << missing << QByteArray()
                                   << QStringLiteral("Das Browser-Modul „%1“ fehlt.").arg(missing);
        const QString notAPlugin = QStringLiteral(QUENDRA_SOURCE_DIR "/README.md");
        QTest::newRow("not a plugin")
            << notAPlugin << QByteArray()
            << QStringLiteral("Das Browser-Modul „%1“ lässt sich nicht laden (").arg(notAPlugin);
        const QString other =
            QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/imageformats/libqsvg.so");
        QTest::newRow("another plugin") << other << QByteArray()
                                        << QStringLiteral("Das Browser-Modul „%1“ passt nicht zu dieser "
                                                          "Programmversion (" QUENDRA_VERSION ").")
                                               .arg(other);
        QTest::newRow("engine without its helper program")
            << kBuiltPlugin << QByteArray("/nonexistent/QtWebEngineProcess")
            << QStringLiteral("Der Browser findet sein Programm QtWebEngineProcess nicht (gesucht: "
                              "/nonexistent/QtWebEngineProcess).");
    }
    void unavailableBrowserSaysWhy() {
        QFETCH(QString, plugin);
        QFETCH(QByteArray, processPath);
        QFETCH(QString, reason);
        qputenv("QUENDRA_BROWSER_PLUGIN", plugin.toLocal8Bit());
        if (!processPath.isEmpty())
            qputenv("QTWEBENGINEPROCESS_PATH", processPath);
        const auto restore = qScopeGuard([] { qunsetenv("QTWEBENGINEPROCESS_PATH"); });
        Program program(m_server);
        // The checker works on the page's source, and the program keeps its link.
        QTRY_VERIFY_WITH_TIMEOUT(program.connected(), kLoadTimeoutMs);
        WebCheckWindow *checker = program.openChecker();
        analyseWeatherPage(checker, m_server);
        QVERIFY(program.connected());
        auto *unavailable = child<QLabel>(checker, "browserunavailable");
        QVERIFY(unavailable);
        QVERIFY(unavailable->isVisible());
        QVERIFY2(unavailable->text().startsWith(QStringLiteral("Der Browser steht nicht zur Verfügung. ") + reason),
                 qPrintable(unavailable->text()));
        QCOMPARE(unavailable->accessibleName(), unavailable->text());
        QVERIFY(!child<QLabel>(checker, "sandboxnote"));
    }

    // As root the engine refuses to run with its sandbox, which used to end the whole program.
    void browserAsThisUser() {
        const bool root = geteuid() == 0;
        qInfo(root ? "runs as root: the browser runs without its sandbox and says so"
                   : "runs as a normal user: the browser keeps its sandbox and says nothing of it");
        qputenv("QUENDRA_BROWSER_PLUGIN", kBuiltPlugin.toLocal8Bit());
        Program program(m_server);
        QTRY_VERIFY_WITH_TIMEOUT(program.connected(), kLoadTimeoutMs);
        WebCheckWindow *checker = program.openChecker();
        analyseWeatherPage(checker, m_server);
        QVERIFY(program.connected());
        QVERIFY(!child<QLabel>(checker, "browserunavailable"));
        auto *note = child<QLabel>(checker, "sandboxnote");
        QVERIFY(note);
        QCOMPARE(note->isVisible(), root);
        if (root) {
            QCOMPARE(note->text(), QStringLiteral("Der Browser läuft ohne Sandbox, weil das Programm als root läuft."));
            QCOMPARE(note->accessibleName(), note->text());
            QVERIFY(note->buddy());
        }
    }

private:
    OvsimProcess m_server;
};

QTEST_MAIN(TestWebCheckEngine)
#include "tst_webcheck_engine.moc"
