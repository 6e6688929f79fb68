// The checker with the real browser host (Qt WebEngine, from the browser plugin) against a loopback
// web server.
#include "BrowserPlugin.h"
#include "FakeDialogs.h"
#include "LoopbackHttp.h"
#include "PageSource.h"
#include "TempProgramFolder.h"
#include "WebCheckWindow.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <csignal>

namespace {
constexpr int kLoadTimeoutMs = 30000;

// Line breaks of every kind and a byte of the code page, to see the bytes arrive unchanged.
const QByteArray kPage = "<html><body>\n\t<p>Temperatur 21 Grad</p>\r\n<p>K\xfchl</p>\n"
                         "<a href=\"/frames.html\">Frames</a></body></html>";
} // namespace

class TestWebCheckBrowser : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The window loads its browser from the plugin the program file would find beside it.
        qputenv("QUENDRA_BROWSER_PLUGIN", QUENDRA_BROWSER_PLUGIN_FILE);
        // The engine's language is the program's choice here, not the test machine's.
        qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    }

    void framesDepthFirst() {
        LoopbackHttp http;
        http.put("/frames.html", "<html><frameset cols=\"50%,50%\"><frame src=\"/a.html\"><frame src=\"b.html\">"
                                 "</frameset></html>");
        http.put("/a.html", "<html><body>A<iframe src=\"/c.html\"></iframe></body></html>");
        http.put("/b.html", "<html><body>B</body></html>");
        http.put("/c.html", "<html><body>C</body></html>");
        const std::unique_ptr<BrowserHost> host = BrowserPlugin::createHost();
        QSignalSpy complete(host.get(), &BrowserHost::documentComplete);
        host->navigate(http.address("/frames.html"));
        QVERIFY(!host->isComplete());
        QVERIFY(complete.wait(kLoadTimeoutMs));
        QVERIFY(host->isComplete());
        QCOMPARE(host->currentUrl(), QUrl(http.url("/frames.html")));
        QCOMPARE(complete.first().first().toStringList(),
                 (QStringList{http.url("/a.html"), http.url("/c.html"), http.url("/b.html")}));
    }

    void pageSourceIsTheServedDocument() {
        LoopbackHttp http;
        http.put("/wetter.html", kPage);
        TempProgramFolder folder;
        FakeDialogs dialogs;
        WebCheckWindow window(folder.path(), dialogs);
        window.open();
        window.findChild<QLineEdit *>(u"WAHOST"_qs)->setText(http.address(""));
        window.findChild<QLineEdit *>(u"WASITE"_qs)->setText(u"/wetter.html"_qs);
        QTest::mouseClick(window.findChild<QToolButton *>(u"gobrowser"_qs), Qt::LeftButton);
        auto *analyse = window.findChild<QPushButton *>(u"analysebtn"_qs);
        QTRY_VERIFY_WITH_TIMEOUT(analyse->isEnabled(), kLoadTimeoutMs);
        QTest::mouseClick(analyse, Qt::LeftButton);
        QTRY_COMPARE(window.findChild<QLabel *>(u"statustext"_qs)->text(), u"Fertig!"_qs);
        QCOMPARE(window.pageSource(), PageSource::fromDocument(kPage));
        const QAbstractItemModel *rows = window.findChild<QAbstractItemView *>(u"Liste"_qs)->model();
        QCOMPARE(rows->rowCount(), 3);
        QCOMPARE(rows->index(1, 0).data().toString(), u"Kühl"_qs);

        // A link clicked in the page asks first; Cancel keeps the list and the document.
        dialogs.answers = {false};
        auto *view = window.browser()->view()->findChild<QWebEngineView *>();
        QVERIFY(view);
        view->page()->runJavaScript(u"document.querySelector('a').click()"_qs);
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.texts(FakeDialogs::Kind::Confirm), QStringList{u"Analyse löschen?"_qs},
                                  kLoadTimeoutMs);
        QCOMPARE(rows->rowCount(), 3);
        QVERIFY(analyse->isEnabled());
        QCOMPARE(window.browser()->currentUrl(), QUrl(http.url("/wetter.html")));

        // OK empties the list and lets the link go. The link's document is awaited as such: a
        // completion reported meanwhile may still be the old document's.
        dialogs.answers = {true};
        view->page()->runJavaScript(u"document.querySelector('a').click()"_qs);
        QTRY_VERIFY_WITH_TIMEOUT(window.browser()->isComplete() &&
                                     window.browser()->currentUrl() == QUrl(http.url("/frames.html")),
                                 kLoadTimeoutMs);
        QCOMPARE(dialogs.texts(FakeDialogs::Kind::Confirm).size(), 2);
        QCOMPARE(rows->rowCount(), 0);
    }

    // The engine's own page for an address it cannot reach speaks German, as the program does.
    void errorPageIsGerman() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close(); // nobody listens there now: the connection is refused
        const std::unique_ptr<BrowserHost> host = BrowserPlugin::createHost();
        QSignalSpy complete(host.get(), &BrowserHost::documentComplete);
        host->navigate(QStringLiteral("127.0.0.1:%1/").arg(port));
        QVERIFY(complete.wait(kLoadTimeoutMs));
        QString text;
        host->view()->findChild<QWebEngineView *>()->page()->toPlainText([&text](const QString &t) { text = t; });
        QTRY_VERIFY_WITH_TIMEOUT(!text.isEmpty(), kLoadTimeoutMs);
        QVERIFY2(text.contains(QStringLiteral("127.0.0.1 hat die Verbindung abgelehnt.")), qPrintable(text));
    }

    // A page process that ends under the page leaves a line saying so, where the page went blank.
    void endedPageProcessIsSaid() {
        LoopbackHttp http;
        http.put("/wetter.html", kPage);
        const std::unique_ptr<BrowserHost> host = BrowserPlugin::createHost();
        QSignalSpy complete(host.get(), &BrowserHost::documentComplete);
        host->navigate(http.address("/wetter.html"));
        QVERIFY(complete.wait(kLoadTimeoutMs));
        auto *line = host->view()->findChild<QLabel *>(u"pageended"_qs);
        QVERIFY(line && line->isHidden());
        const qint64 pid = host->view()->findChild<QWebEngineView *>()->page()->renderProcessPid();
        QVERIFY(pid > 0);
        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!line->isHidden(), kLoadTimeoutMs);
        QVERIFY2(line->text().startsWith(QStringLiteral("Der Browser-Prozess der Seite wurde beendet")),
                 qPrintable(line->text()));
        QCOMPARE(line->accessibleName(), line->text());
    }
};

QTEST_MAIN(TestWebCheckBrowser)
#include "tst_webcheck_browser.moc"
