#include "AnsiText.h"
#include "AppCore.h"
#include "CatalogueController.h"
#include "CommandChannel.h"
#include "ConsoleInput.h"
#include "ConsoleSession.h"
#include "ConsoleWindow.h"
#include "FakeDialogs.h"
#include "FakePlatform.h"
#include "FastTimings.h"
#include "LinkController.h"
#include "MainWindow.h"
#include "OvsimProcess.h"
#include "ProgramWiring.h"
#include "Startup.h"
#include "StatusBar.h"
#include "TempProgramFolder.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>

namespace {
// Answers every awaited reply at once with `reply`, or with the link's error while it is down.
class FakeChannel : public CommandChannel {
public:
    bool sendLine(const QString &line) override {
        if (!up)
            return false;
        sent.append(line);
        return true;
    }
    void awaitLine(int timeoutMs, ReplyHandler done) override {
        timeouts.append(timeoutMs);
        if (up)
            done(reply, {});
        else
            done(std::nullopt, u"Keine Verbindung"_qs);
    }
    void addToBusMonitor(const QString &text) override { busMonitor.prepend(text); }
    void dispatchLine(const QString &line, bool initial) override {
        dispatched.append(line + (initial ? u" initial"_qs : QString()));
    }

    bool up = true;
    QString reply = u"2|768|55.0"_qs;
    QStringList sent, busMonitor, dispatched;
    QList<int> timeouts;
};

QByteArray catalogue(const QString &elements) {
    return AnsiText::encode(u"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<cobjects>\n"_qs + elements +
                            u"</cobjects>\n"_qs);
}

const QString kObjects =
    u"<cobject type=\"eib\" path=\"EG\\\" ga=\"1/2/3\" name=\"Licht Flur\" ganum=\"768\" init=\"0\" min=\"0\" "
    "max=\"1\" list=\"\" fmt=\"EIS1\"/>\n"
    "<cobject type=\"eib\" path=\"EG\\\" ga=\"1/2/4\" name=\"Erster\" ganum=\"5\" init=\"0\" min=\"0\" max=\"1\" "
    "list=\"\" fmt=\"EIS1\"/>\n"
    "<cobject type=\"eib\" path=\"EG\\\" ga=\"1/2/5\" name=\"Zweiter\" ganum=\"5\" init=\"0\" min=\"0\" max=\"1\" "
    "list=\"\" fmt=\"EIS1\"/>\n"
    "<cobject type=\"eib\" path=\"EG\\\" name=\"Ohne GA\" ganum=\"9\"/>\n"
    "<cobject type=\"eib\" path=\"EG\\\" ga=\"2/0/0\" ganum=\"20\"/>\n"
    "<cobject type=\"eib\" path=\"EG\\\" ga=\"3/0/0\" name=\"K\u00fcche &lt;oben&gt;\" ganum=\"30\"/>\n"_qs;

// A console window on a session with the fake channel and a catalogue copy.
struct Console {
    Console() {
        folder.write(u"cobjects.xml"_qs, catalogue(kObjects));
        window.setSession(&session);
    }
    QPlainTextEdit *conso() const { return window.findChild<QPlainTextEdit *>(u"conso"_qs); }
    QString text() const { return conso()->toPlainText(); }
    // Types each character as a key with its text (Qt's key codes are the upper-case code points).
    void type(const QString &keys) {
        for (QChar ch : keys) {
            QKeyEvent press(QEvent::KeyPress, ch.toUpper().unicode(), Qt::NoModifier, QString(ch));
            QCoreApplication::sendEvent(conso(), &press);
        }
    }
    void enter() { QTest::keyClick(conso(), Qt::Key_Return); }

    TempProgramFolder folder;
    FakeChannel channel;
    FakeDialogs dialogs;
    ConsoleSession session{channel, dialogs, folder.file(u"cobjects.xml"_qs)};
    ConsoleWindow window;
};
} // namespace

class TestConsole : public QObject {
    Q_OBJECT

private slots:
    void filtersTypedCharacters_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("points become slashes") << u"1.2.3"_qs << u"1/2/3"_qs;
        QTest::newRow("letters and commas swallowed") << u"a1,b2x"_qs << u"12"_qs;
        QTest::newRow("value line") << u"768 21.5"_qs << u"768 21/5"_qs;
        QTest::newRow("raw line and query") << u"0|768?"_qs << u"0|768?"_qs;
        QTest::newRow("non-ASCII and markup") << u"ä<7>&é"_qs << u"7"_qs;
    }
    void filtersTypedCharacters() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Console c;
        c.type(typed);
        QCOMPARE(c.text(), shown);
        QCOMPARE(filterConsoleText(typed), shown);
        QCOMPARE(c.channel.sent, QStringList());
    }

    void pastedTextIsFilteredLikeTyping() {
        Console c;
        c.type(u"12"_qs);
        QGuiApplication::clipboard()->setText(u"x.3 4|\n5<b>"_qs);
        c.conso()->paste();
        QCOMPARE(c.text(), u"12/3 4|5"_qs);
    }

    void backspaceNeverJoinsLinesAndUpDownDoNothing() {
        Console c;
        c.type(u"1"_qs);
        c.enter(); // "unbek. GA Nummer", caret on a fresh line
        c.type(u"2"_qs);
        const QString before = c.text();
        QTest::keyClick(c.conso(), Qt::Key_Up);
        QTest::keyClick(c.conso(), Qt::Key_Down);
        QCOMPARE(c.text(), before);
        QTest::keyClick(c.conso(), Qt::Key_Backspace);
        QTest::keyClick(c.conso(), Qt::Key_Backspace);
        QTest::keyClick(c.conso(), Qt::Key_Backspace);
        QCOMPARE(c.text(), u"1\nunbek. GA Nummer\n"_qs);
    }

    void examinesTheLastLineOrTheOneAbove_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("examined");
        QTest::newRow("empty console") << QString() << QString();
        QTest::newRow("one line") << u"768"_qs << u"768"_qs;
        QTest::newRow("last line") << u"768\nBez.: x\n1/2/3"_qs << u"1/2/3"_qs;
        QTest::newRow("fresh line after an answer") << u"768\nBez.: x\n"_qs << u"Bez.: x"_qs;
        QTest::newRow("only a line break") << u"\n"_qs << QString();
    }
    void examinesTheLastLineOrTheOneAbove() {
        QFETCH(QString, text);
        QFETCH(QString, examined);
        QCOMPARE(examinedLine(text), examined);
    }

    void classifiesLines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("lastBlank");
        QTest::newRow("query wins") << u"1|2 ?/"_qs << int(ConsoleKind::Query) << 4;
        QTest::newRow("raw line") << u"1|768|1"_qs << int(ConsoleKind::RawLine) << 0;
        QTest::newRow("raw line with blank and slash") << u"1|7 6/8"_qs << int(ConsoleKind::RawLine) << 4;
        QTest::newRow("address with value") << u"1/2/3 1"_qs << int(ConsoleKind::AddressWithValue) << 6;
        QTest::newRow("number with value") << u"768 55 1"_qs << int(ConsoleKind::NumberWithValue) << 7;
        QTest::newRow("address") << u"1/2/3"_qs << int(ConsoleKind::Address) << 0;
        QTest::newRow("number") << u"768"_qs << int(ConsoleKind::Number) << 0;
        QTest::newRow("empty") << QString() << int(ConsoleKind::Number) << 0;
    }
    void classifiesLines() {
        QFETCH(QString, line);
        QFETCH(int, kind);
        QFETCH(int, lastBlank);
        QCOMPARE(inmemo(line), (ConsoleClassification{ConsoleKind(kind), lastBlank}));
    }

    void looksUpInTheCopy_data() {
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("by number") << u"ganum"_qs << u"768"_qs << u"Bez.: Licht Flur GA:1/2/3 GAN:768"_qs;
        QTest::newRow("by address") << u"ga"_qs << u"1/2/3"_qs << u"Bez.: Licht Flur GA:1/2/3 GAN:768"_qs;
        QTest::newRow("the later of two") << u"ganum"_qs << u"5"_qs << u"Bez.: Zweiter GA:1/2/5 GAN:5"_qs;
        QTest::newRow("unknown number") << u"ganum"_qs << u"769"_qs << QString();
        QTest::newRow("unknown address") << u"ga"_qs << u"1/2/9"_qs << QString();
        QTest::newRow("no prefix match") << u"ganum"_qs << u"76"_qs << QString();
        QTest::newRow("missing attributes are empty") << u"ganum"_qs << u"20"_qs << u"Bez.:  GA:2/0/0 GAN:20"_qs;
        QTest::newRow("markup and umlauts") << u"ga"_qs << u"3/0/0"_qs << u"Bez.: Küche <oben> GA:3/0/0 GAN:30"_qs;
        QTest::newRow("empty text") << u"ganum"_qs << QString() << QString();
    }
    void looksUpInTheCopy() {
        QFETCH(QString, attribute);
        QFETCH(QString, text);
        QFETCH(QString, result);
        Console c;
        const ConsoleLookup lookup = getxmldaten(c.folder.file(u"cobjects.xml"_qs), attribute, text);
        QVERIFY(lookup.ok);
        QCOMPARE(lookup.result, result);
    }

    void answersEnter_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text"); // the console afterwards
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QStringList>("busMonitor");
        QTest::addColumn<QStringList>("dispatched");
        const QString found = u"Bez.: Licht Flur GA:1/2/3 GAN:768"_qs;
        QTest::newRow("number") << u"768"_qs << u"768\n"_qs + found + u'\n' << QStringList() << QStringList()
                                << QStringList();
        QTest::newRow("address") << u"1.2.3"_qs << u"1/2/3\n"_qs + found + u'\n' << QStringList() << QStringList()
                                 << QStringList();
        QTest::newRow("unknown number") << u"4711"_qs << u"4711\nunbek. GA Nummer\n"_qs << QStringList()
                                        << QStringList() << QStringList();
        QTest::newRow("unknown address") << u"9/9/9"_qs << u"9/9/9\nunbek. GA\n"_qs << QStringList() << QStringList()
                                         << QStringList();
        QTest::newRow("empty console") << QString() << u"unbek. GA Nummer\n"_qs << QStringList() << QStringList()
                                       << QStringList();
        QTest::newRow("number with value")
            << u"768 55"_qs << u"768 55\n"_qs + found + u"\nSende Befehl an GAN ...\n"_qs << QStringList{u"1|768|55"_qs}
            << QStringList{u"2|768|55.0"_qs, u"-> 1|768|55"_qs} << QStringList{u"2|768|55.0"_qs};
        QTest::newRow("address with decimal value")
            << u"1.2.3 21.5"_qs << u"1/2/3 21/5\n"_qs + found + u"\nSende Befehl an GA ...\n"_qs
            << QStringList{u"1|768|21.5"_qs} << QStringList{u"2|768|55.0"_qs, u"-> 1|768|21.5"_qs}
            << QStringList{u"2|768|55.0"_qs};
        QTest::newRow("unknown with value sends nothing") << u"1/2/9 1"_qs << u"1/2/9 1\n\nSende Befehl an GA ...\n"_qs
                                                          << QStringList() << QStringList() << QStringList();
        QTest::newRow("no value sends nothing")
            << u"768 "_qs << u"768 \n"_qs + found + u"\nSende Befehl an GAN ...\n"_qs << QStringList() << QStringList()
            << QStringList();
        QTest::newRow("raw line: one reply on top of the bus monitor, not dispatched")
            << u"0|768"_qs << u"0|768\n"_qs << QStringList{u"0|768"_qs} << QStringList{u"2|768|55.0"_qs}
            << QStringList();
    }
    void answersEnter() {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(QStringList, sent);
        QFETCH(QStringList, busMonitor);
        QFETCH(QStringList, dispatched);
        Console c;
        c.type(typed);
        c.enter();
        QCOMPARE(c.text(), text);
        QCOMPARE(c.channel.sent, sent);
        QCOMPARE(c.channel.busMonitor, busMonitor);
        QCOMPARE(c.channel.dispatched, dispatched);
        if (!sent.isEmpty())
            QCOMPARE(c.channel.timeouts, QList<int>{ConsoleSession::kReplyTimeoutMs});
        QVERIFY(c.dialogs.boxes.isEmpty());
    }

    void enterOnAFreshLineExaminesTheAnswer() {
        Console c;
        c.type(u"768"_qs);
        c.enter();
        // The answer line holds '/' and blanks: an address with a value, found nowhere. After the
        // fresh line come the empty result and the announcement.
        c.enter();
        QCOMPARE(c.text(), u"768\nBez.: Licht Flur GA:1/2/3 GAN:768\n\n\nSende Befehl an GA ...\n"_qs);
        QCOMPARE(c.channel.sent, QStringList());
    }

    void queryAppendsTheHelp() {
        Console c;
        c.type(u"?"_qs);
        c.enter();
        const QStringList lines = c.text().split(u'\n');
        QVERIFY(lines.size() > 3);
        QCOMPARE(lines.first(), u"?"_qs);
        QVERIFY(c.text().contains(u"0/1/2"_qs));
        QVERIFY(c.text().contains(u"768"_qs));
        QVERIFY(c.text().contains(u"1|768|"_qs));
        QCOMPARE(c.channel.sent, QStringList());
    }

    void aMissingOrBrokenCopyIsAnError_data() {
        QTest::addColumn<QByteArray>("copy"); // empty: no file
        QTest::addColumn<int>("code");
        QTest::newRow("missing") << QByteArray() << int(QFileDevice::OpenError);
        QTest::newRow("not well-formed") << QByteArray("<cobjects><cobject ganum=\"1\">")
                                         << int(QXmlStreamReader::PrematureEndOfDocumentError);
        QTest::newRow("document type") << QByteArray("<!DOCTYPE c [<!ENTITY a \"1\">]><cobjects/>")
                                       << int(QXmlStreamReader::CustomError);
    }
    void aMissingOrBrokenCopyIsAnError() {
        QFETCH(QByteArray, copy);
        QFETCH(int, code);
        Console c;
        QFile::remove(c.folder.file(u"cobjects.xml"_qs));
        if (!copy.isEmpty())
            QVERIFY(c.folder.write(u"cobjects.xml"_qs, copy));
        c.type(u"1"_qs);
        c.enter();
        // Nothing is appended and the Enter does not reach the text.
        QCOMPARE(c.text(), u"1"_qs);
        const QStringList errors = c.dialogs.texts(FakeDialogs::Kind::Error);
        QCOMPARE(errors.size(), 2);
        QCOMPARE(errors.at(0), u"XML feheler %1"_qs.arg(code));
        QVERIFY(errors.at(1).contains(u"cobjects.xml"_qs));
    }

    void aRawLineWithTheLinkDownIsAnError() {
        Console c;
        c.channel.up = false;
        c.type(u"0|768"_qs);
        c.enter();
        QCOMPARE(c.text(), u"0|768"_qs);
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Error), QStringList{u"Keine Verbindung"_qs});
        QCOMPARE(c.channel.busMonitor, QStringList());
    }

    void theWindow() {
        ConsoleWindow window;
        QCOMPARE(window.objectName(), u"TForm3"_qs);
        QCOMPARE(window.windowTitle(), u"Quendra Tools"_qs);
        QCOMPARE(window.size(), QSize(292, 116));
        QVERIFY(window.isHidden());
        QWidget *panel = window.findChild<QWidget *>(u"panel1"_qs);
        QVERIFY(panel);
        QCOMPARE(panel->toolTip(), u"GA (0/1/2) oder GAN 768 eingeben und Ente rdrücken"_qs);
        auto *conso = window.findChild<QPlainTextEdit *>(u"conso"_qs);
        QCOMPARE(conso->accessibleName(), u"Console"_qs);
        QCOMPARE(conso->lineWrapMode(), QPlainTextEdit::NoWrap);
    }

    void catalogueLoadThenRawLinesAndValuesThroughTheProgramsLink() {
        TempProgramFolder folder;
        OvsimProcess ovsim;
        QVERIFY(ovsim.start());
        QVERIFY(folder.write(u"quendra.ini"_qs, u"[Orvanel]\nIP=127.0.0.1\nPort=%1\nTCPPort=%2\nKey=demo\nPfad=%3\n"_qs
                                                    .arg(ovsim.gatewayPort())
                                                    .arg(ovsim.webPort())
                                                    .arg(folder.path())
                                                    .toUtf8()));
        FakePlatform platform;
        AppCore core(folder.paths(), platform.services(), QStringLiteral(QUENDRA_HELP_FILE));
        ProgramWiring wiring(core, fastTimings());
        Startup startup(core);
        startup.run();
        QTRY_VERIFY_WITH_TIMEOUT(startup.isFinished(), 5000);
        MainWindow *window = startup.mainWindow();

        // "OV Struktur laden" fetches the copy the console looks in; polling rests meanwhile.
        auto *timer1 = wiring.link()->findChild<QTimer *>(u"Timer1"_qs);
        QVERIFY(timer1->isActive());
        QSignalSpy loaded(wiring.catalogue(), &CatalogueController::loadFinished);
        window->findChild<QPushButton *>(u"OVxmlLoadbtn"_qs)->click();
        QVERIFY(!timer1->isActive());
        QVERIFY(loaded.wait(10000));
        QVERIFY(timer1->isActive());
        QCOMPARE(window->statusBar1()->panelText(0), u"Mit OV verbunden / 40 KO gefunden"_qs);
        QVERIFY(QFile::exists(folder.file(u"cobjects.xml"_qs)));

        window->findChild<QAction *>(u"Console"_qs)->trigger();
        auto *conso = wiring.console()->window()->findChild<QPlainTextEdit *>(u"conso"_qs);
        const BusMonitor &busMonitor = wiring.link()->busMonitor();
        const auto top = [&busMonitor] {
            return busMonitor.index(0).data().toString();
        };

        // A raw read request: the server's answer comes on top of the bus monitor.
        QTest::keyClicks(conso, u"0|768"_qs);
        QTest::keyClick(conso, Qt::Key_Return);
        QTRY_COMPARE(top(), u"2|768|40.0"_qs);
        QCOMPARE(conso->toPlainText(), u"0|768\n"_qs);

        // A value for an object found by its address.
        QTest::keyClicks(conso, u"0.0.1 1"_qs);
        QTest::keyClick(conso, Qt::Key_Return);
        QTRY_COMPARE(top(), u"2|1|1.0"_qs);
        QCOMPARE(busMonitor.index(1).data().toString(), u"-> 1|1|1"_qs);
        QCOMPARE(conso->toPlainText(),
                 u"0|768\n0/0/1 1\nBez.: Licht Wohnzimmer GA:0/0/1 GAN:1\nSende Befehl an GA ...\n"_qs);
        QCOMPARE(platform.dialogs.texts(FakeDialogs::Kind::Error), QStringList());
        window->close();
    }
};

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
