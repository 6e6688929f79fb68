#include "OvsimProcess.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <algorithm>
#include <csignal>
#include <memory>

namespace {
const QByteArray nul(1, '\0');
const QByteArray errorReply("9|ERR|");
const QString demoCataloguePath = QStringLiteral(QUENDRA_SOURCE_DIR "/resources/demo/cobjects.xml");
constexpr int waitMs = 10000;

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A gateway client as the tests drive it: it collects every NUL-terminated line it receives.
class Peer : public QObject {
public:
    explicit Peer(quint16 port) {
        connect(&socket, &QTcpSocket::readyRead, this, [this] {
            partial += socket.readAll();
            for (qsizetype end = partial.indexOf('\0'); end >= 0; end = partial.indexOf('\0')) {
                lines << partial.left(end);
                partial.remove(0, end + 1);
            }
        });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }

    void send(const QByteArray &line) { socket.write(line + nul); }

    // Sends the key and moves the values queued after it to `queued`. The server answers "0|"
    // (no GAN) with an error line, which marks the end of that queue; what came after it (a value
    // the demo changed meanwhile) stays in `lines`.
    bool logIn(const QByteArray &key = "demo") {
        send(key);
        send("0|");
        const auto queueEnd = [this] {
            return std::find_if(lines.cbegin(), lines.cend(),
                                [](const QByteArray &line) { return line.startsWith(errorReply); });
        };
        if (!QTest::qWaitFor([&] { return queueEnd() != lines.cend(); }, waitMs))
            return false;
        const qsizetype end = queueEnd() - lines.cbegin();
        queued = lines.mid(0, end);
        lines = lines.mid(end + 1);
        return true;
    }
    bool waitForLines(qsizetype count) {
        return QTest::qWaitFor([this, count] { return lines.size() >= count; }, waitMs);
    }
    bool closedByServer() {
        return QTest::qWaitFor([this] { return socket.state() == QAbstractSocket::UnconnectedState; }, waitMs);
    }

    QTcpSocket socket;
    QByteArray partial;
    QList<QByteArray> queued;
    QList<QByteArray> lines;
};

struct HttpResult {
    int status = 0;
    QByteArray contentType;
    QByteArray body;
};

HttpResult httpGet(const QString &url) {
    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(QUrl(url))));
    if (!QTest::qWaitFor([&] { return reply->isFinished(); }, waitMs))
        return {};
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
            reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), reply->readAll()};
}

QList<QXmlStreamAttributes> cobjectsOf(const QByteArray &document, QString *encoding = nullptr) {
    QList<QXmlStreamAttributes> found;
    QXmlStreamReader xml(document);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartDocument && encoding)
            *encoding = xml.documentEncoding().toString();
        if (xml.isStartElement() && xml.name() == u"cobject")
            found << xml.attributes();
    }
    if (xml.hasError())
        qWarning("%s", qPrintable(xml.errorString()));
    return xml.hasError() ? QList<QXmlStreamAttributes>() : found;
}

const QStringList attributeNames{u"type"_qs, u"path"_qs, u"ga"_qs,  u"name"_qs, u"ganum"_qs,
                                 u"init"_qs, u"min"_qs,  u"max"_qs, u"list"_qs, u"fmt"_qs};
} // namespace

class TestOvsim : public QObject {
    Q_OBJECT

private slots:
    void demoCatalogueHoldsTheDemoObjects_data() {
        QTest::addColumn<QStringList>("attributes"); // in the order of attributeNames
        QTest::newRow("1") << QStringList{u"eib"_qs,   u"EG\\Wohnzimmer\\"_qs,
                                          u"0/0/1"_qs, u"Licht Wohnzimmer"_qs,
                                          u"1"_qs,     u"0"_qs,
                                          u"0"_qs,     u"1"_qs,
                                          QString(),   u"EIS1"_qs};
        QTest::newRow("2") << QStringList{u"eib"_qs, u"EG\\Küche\\"_qs, u"0/0/2"_qs, u"Licht Küche"_qs, u"2"_qs,
                                          u"1"_qs,   u"0"_qs,           u"1"_qs,     QString(),         u"EIS1"_qs};
        QTest::newRow("768") << QStringList{u"eib"_qs,   u"EG\\Esszimmer\\"_qs,
                                            u"0/3/0"_qs, u"Dimmer Esszimmer"_qs,
                                            u"768"_qs,   u"40"_qs,
                                            u"0"_qs,     u"100"_qs,
                                            QString(),   u"EIS6"_qs};
        QTest::newRow("1025") << QStringList{u"eib"_qs, u"OG\\Bad\\"_qs, u"0/4/1"_qs, u"Fenster Bad"_qs, u"1025"_qs,
                                             u"0"_qs,   u"0"_qs,         u"1"_qs,     QString(),         u"EIS1"_qs};
        QTest::newRow("1280") << QStringList{u"eib"_qs,   u"EG\\Wohnzimmer\\"_qs,
                                             u"0/5/0"_qs, u"Temperatur Wohnzimmer"_qs,
                                             u"1280"_qs,  u"21.5"_qs,
                                             u"-30"_qs,   u"60"_qs,
                                             QString(),   u"EIS5"_qs};
        QTest::newRow("1536") << QStringList{u"eib"_qs,   u"OG\\Schlafzimmer\\"_qs,
                                             u"0/6/0"_qs, u"Rollo Schlafzimmer"_qs,
                                             u"1536"_qs,  u"0"_qs,
                                             u"0"_qs,     u"1"_qs,
                                             QString(),   u"EIS1"_qs};
        QTest::newRow("70001") << QStringList{u"internal"_qs, u"System\\"_qs,   u"34/1/113"_qs, u"Meldung Text"_qs,
                                              u"70001"_qs,    u"48616C6C6F"_qs, QString(),      QString(),
                                              QString(),      u"EIS15"_qs};
    }
    void demoCatalogueHoldsTheDemoObjects() {
        QFETCH(QStringList, attributes);
        const auto cobjects = cobjectsOf(readFile(demoCataloguePath));
        QList<QXmlStreamAttributes> matching;
        for (const QXmlStreamAttributes &cobject : cobjects) {
            if (cobject.value(u"ganum"_qs) == attributes[4])
                matching << cobject;
        }
        QCOMPARE(matching.size(), 1);
        for (qsizetype i = 0; i < attributeNames.size(); ++i)
            QCOMPARE(matching[0].value(attributeNames[i]).toString(), attributes[i]);
    }

    // The client stops building its tree at an element that lacks an attribute, and binds by
    // number: every element must be complete and every number unique.
    void demoCatalogueElementsAreCompleteAndUnique() {
        QString encoding;
        const auto cobjects = cobjectsOf(readFile(demoCataloguePath), &encoding);
        QCOMPARE(encoding, u"windows-1252"_qs);
        QVERIFY(!cobjects.isEmpty());
        QSet<QString> numbers;
        for (const QXmlStreamAttributes &cobject : cobjects) {
            for (const QString &name : attributeNames)
                QVERIFY2(cobject.hasAttribute(name),
                         qPrintable(cobject.value(u"ga"_qs).toString() + u" lacks "_qs + name));
            const QString number = cobject.value(u"ganum"_qs).toString();
            QVERIFY2(QRegularExpression(u"^[1-9][0-9]*$"_qs).match(number).hasMatch(), qPrintable(number));
            QVERIFY2(!numbers.contains(number), qPrintable(number));
            numbers.insert(number);
        }
    }

    void keyDecidesAccess_data() {
        QTest::addColumn<QString>("serverKey");
        QTest::addColumn<QByteArray>("sentKey");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("right key") << u"demo"_qs << QByteArray("demo") << true;
        QTest::newRow("wrong key") << u"demo"_qs << QByteArray("Demo") << false;
        QTest::newRow("empty key") << u"demo"_qs << QByteArray() << false;
        QTest::newRow("umlaut in Windows-1252") << u"Schlüssel"_qs << QByteArray("Schl\xfcssel") << true;
        QTest::newRow("umlaut in UTF-8") << u"Schlüssel"_qs << QByteArray("Schl\xc3\xbcssel") << false;
    }
    void keyDecidesAccess() {
        QFETCH(QString, serverKey);
        QFETCH(QByteArray, sentKey);
        QFETCH(bool, accepted);
        OvsimProcess::Options options;
        options.key = serverKey;
        OvsimProcess ovsim(options);
        QVERIFY(ovsim.start());
        Peer peer(ovsim.gatewayPort());
        if (!accepted) {
            peer.send(sentKey);
            peer.send("0|768");
            QVERIFY(peer.closedByServer());
            QVERIFY(peer.lines.isEmpty());
            return;
        }
        QVERIFY(peer.logIn(sentKey));
        for (const QByteArray line :
             {"2|1|0.0", "2|2|1.0", "2|768|40.0", "2|1025|0.0", "2|1280|21.5", "2|1536|0.0", "2|70001|48616C6C6F"})
            QVERIFY2(peer.queued.count(line) == 1, line.constData());
    }

    void setValueIsReportedToEveryClient_data() {
        QTest::addColumn<QByteArray>("gan");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("reported");
        QTest::newRow("switch on") << QByteArray("1") << QByteArray("1") << QByteArray("1.0");
        QTest::newRow("switch off") << QByteArray("2") << QByteArray("0") << QByteArray("0.0");
        QTest::newRow("any non-zero switches on") << QByteArray("1025") << QByteArray("5") << QByteArray("1.0");
        QTest::newRow("negative switches on") << QByteArray("1536") << QByteArray("-1") << QByteArray("1.0");
        QTest::newRow("decimal zero") << QByteArray("2") << QByteArray("0.0") << QByteArray("0.0");
        QTest::newRow("decimal comma") << QByteArray("1") << QByteArray("1,0") << QByteArray("1.0");
        QTest::newRow("dimmer") << QByteArray("768") << QByteArray("55") << QByteArray("55.0");
        QTest::newRow("temperature") << QByteArray("1280") << QByteArray("22.25") << QByteArray("22.25");
        QTest::newRow("hex text as sent") << QByteArray("70001") << QByteArray("414243") << QByteArray("414243");
        QTest::newRow("Windows-1252 bytes")
            << QByteArray("70001") << QByteArray("Gr\xfc\xdf") << QByteArray("Gr\xfc\xdf");
        QTest::newRow("text with bars") << QByteArray("70001") << QByteArray("a|b") << QByteArray("a|b");
        QTest::newRow("empty text") << QByteArray("70003") << QByteArray() << QByteArray();
        QTest::newRow("number the catalogue lacks") << QByteArray("4242") << QByteArray("hallo") << QByteArray("hallo");
    }
    void setValueIsReportedToEveryClient() {
        QFETCH(QByteArray, gan);
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, reported);
        OvsimProcess ovsim;
        QVERIFY(ovsim.start());
        Peer sender(ovsim.gatewayPort());
        Peer other(ovsim.gatewayPort());
        QVERIFY(sender.logIn());
        QVERIFY(other.logIn());

        const QByteArray report = "2|" + gan + '|' + reported;
        sender.send("1|" + gan + '|' + sent);
        // The answer to a read follows the report, so each client got exactly one line for the set.
        sender.send("0|" + gan);
        QVERIFY(sender.waitForLines(2));
        QCOMPARE(sender.lines, (QList<QByteArray>{report, report}));
        QVERIFY(other.waitForLines(1));
        other.send("0|" + gan);
        QVERIFY(other.waitForLines(2));
        QCOMPARE(other.lines, (QList<QByteArray>{report, report}));

        Peer later(ovsim.gatewayPort());
        QVERIFY(later.logIn());
        QCOMPARE(later.queued.count(report), 1);
    }

    void otherLinesGetOneReply_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("reply"); // errorReply: any error line
        QTest::newRow("read") << QByteArray("0|768") << QByteArray("2|768|40.0");
        QTest::newRow("read ignores what follows") << QByteArray("0|1|x") << QByteArray("2|1|0.0");
        QTest::newRow("read of an unknown number") << QByteArray("0|4243") << errorReply;
        QTest::newRow("console digits") << QByteArray("12 3|4/5") << errorReply;
        QTest::newRow("set without value") << QByteArray("1|768") << errorReply;
        QTest::newRow("set without number") << QByteArray("1||1") << errorReply;
        QTest::newRow("dimmer without number") << QByteArray("1|768|") << errorReply;
        QTest::newRow("dimmer with text") << QByteArray("1|768|hell") << errorReply;
        QTest::newRow("number beyond 32 bits") << QByteArray("1|4294967296|1") << errorReply;
        QTest::newRow("value too long") << "1|70001|" + QByteArray(3000, 'A') << errorReply;
        QTest::newRow("high bytes") << QByteArray("\x01\xff|\x80") << errorReply;
    }
    void otherLinesGetOneReply() {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, reply);
        OvsimProcess ovsim;
        QVERIFY(ovsim.start());
        Peer peer(ovsim.gatewayPort());
        QVERIFY(peer.logIn());
        peer.send(line);
        // The read after it answers second, so the line got exactly one reply and 768 kept its value.
        peer.send("0|768");
        QVERIFY(peer.waitForLines(2));
        if (reply == errorReply)
            QVERIFY2(peer.lines[0].startsWith(errorReply), peer.lines[0].constData());
        else
            QCOMPARE(peer.lines[0], reply);
        QCOMPARE(peer.lines[1], QByteArray("2|768|40.0"));
    }

    void catalogueIsServedUnchanged() {
        OvsimProcess ovsim;
        QVERIFY(ovsim.start());
        const HttpResult result = httpGet(ovsim.catalogueUrl());
        QCOMPARE(result.status, 200);
        QCOMPARE(result.contentType, QByteArray("text/xml"));
        QCOMPARE(result.body, readFile(demoCataloguePath));
    }

    // A catalogue of the user's choice, broken on purpose as clients must be tested with: it is
    // served byte for byte, and its objects are what the gateway reports, in gateway form.
    void customCatalogue() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"liste.xml"_qs);
        const QByteArray document =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<liste>\n"
            "<cobject type=\"eib\" path=\"A\\\" ga=\"0/0/5\" name=\"Pumpe\" ganum=\"5\" init=\"1\" min=\"0\" max=\"1\" "
            "list=\"\" fmt=\"EIS1\"/>\n"
            "<cobject type=\"eib\" path=\"A\\\" ga=\"0/0/6\" name=\"Gruß\" ganum=\"6\" init=\"Grüße\" min=\"\" "
            "max=\"\" list=\"\" fmt=\"EIS15\"/>\n"
            "<cobject type=\"eib\" path=\"A\\\" ga=\"0/0/7\" name=\"Dimmer\" ganum=\"7\" init=\"\" fmt=\"EIS6\"/>\n"
            "<cobject type=\"eib\" ga=\"0/0/8\" name=\"Wert\" ganum=\"8\" init=\"2,50\" fmt=\"EIS5\"/>\n"
            "<cobject type=\"eib\" ga=\"0/0/9\" name=\"ohne Nummer\" init=\"1\" fmt=\"EIS1\"/>\n"
            "<gruppe><cobject ganum=\"0010\" init=\"3\" fmt=\"eis1\"/></gruppe>\n"
            "</liste>\n<kaputt";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(document);
        file.close();

        OvsimProcess::Options options;
        options.catalogue = path;
        OvsimProcess ovsim(options);
        QVERIFY(ovsim.start());
        QCOMPARE(httpGet(ovsim.catalogueUrl()).body, document);
        Peer peer(ovsim.gatewayPort());
        QVERIFY(peer.logIn());
        QCOMPARE(peer.queued, (QList<QByteArray>{"2|5|1.0",
                                                 "2|6|Gr\xfc\xdf"
                                                 "e",
                                                 "2|7|0.0", "2|8|2.5", "2|10|1.0"}));
    }

    void webRequests_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("statusLine");
        QTest::addColumn<bool>("withCatalogue");
        const QByteArray catalogue = "/ovcl?sys/cobjects.xml";
        QTest::newRow("GET") << "GET " + catalogue + " HTTP/1.1\r\nHost: ov\r\n\r\n"
                             << QByteArray("HTTP/1.1 200 OK") << true;
        QTest::newRow("bare line feeds") << "GET " + catalogue + " HTTP/1.0\n\n"
                                         << QByteArray("HTTP/1.1 200 OK") << true;
        QTest::newRow("HEAD") << "HEAD " + catalogue + " HTTP/1.1\r\n\r\n" << QByteArray("HTTP/1.1 200 OK") << false;
        QTest::newRow("demo page") << QByteArray("GET /wetter.html HTTP/1.1\r\n\r\n") << QByteArray("HTTP/1.1 200 OK")
                                   << false;
        QTest::newRow("other file") << QByteArray("GET /ovcl?sys/other.xml HTTP/1.1\r\n\r\n")
                                    << QByteArray("HTTP/1.1 404 Not Found") << false;
        QTest::newRow("POST") << "POST " + catalogue + " HTTP/1.1\r\n\r\n"
                              << QByteArray("HTTP/1.1 405 Method Not Allowed") << false;
        QTest::newRow("no version") << "GET " + catalogue + "\r\n\r\n"
                                    << QByteArray("HTTP/1.1 400 Bad Request") << false;
        QTest::newRow("header without colon") << "GET " + catalogue + " HTTP/1.1\r\nkaputt\r\n\r\n"
                                              << QByteArray("HTTP/1.1 400 Bad Request") << false;
        QTest::newRow("binary bytes") << QByteArray("\x00\xff\x16\x03 x\r\n\r\n", 11)
                                      << QByteArray("HTTP/1.1 400 Bad Request") << false;
        QTest::newRow("endless head") << "GET /" + QByteArray(40000, 'a') << QByteArray("HTTP/1.1 400 Bad Request")
                                      << false;
    }
    // The camera for trying Load & Replace: a picture that shows the value it was asked with.
    void cameraPictureShowsTheValue() {
        OvsimProcess ovsim;
        QVERIFY(ovsim.start());
        const HttpResult result = httpGet(u"http://127.0.0.1:%1/camera?bild=21.5"_qs.arg(ovsim.webPort()));
        QCOMPARE(result.status, 200);
        QCOMPARE(result.contentType, QByteArray("image/svg+xml"));
        QVERIFY2(result.body.startsWith("<svg") && result.body.contains(">21.5</text>"), result.body.constData());
    }

    void webRequests() {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, statusLine);
        QFETCH(bool, withCatalogue);
        OvsimProcess ovsim;
        QVERIFY(ovsim.start());
        QTcpSocket socket;
        QByteArray response;
        connect(&socket, &QTcpSocket::readyRead, this, [&] { response += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, ovsim.webPort());
        socket.write(request);
        QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QAbstractSocket::UnconnectedState, waitMs);
        QVERIFY2(response.startsWith(statusLine + "\r\n"), response.left(100).constData());
        QCOMPARE(response.endsWith(readFile(demoCataloguePath)), withCatalogue);
    }

    void abusiveClientsLeaveServerRunning_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("droppedByServer");
        QTest::addColumn<bool>("leavesMidLine");
        QByteArray garbage(8192, '\0');
        for (qsizetype i = 0; i < garbage.size(); ++i) {
            const char c = static_cast<char>((i * 37) % 256);
            garbage[i] = c == '|' ? 'x' : c; // no accidental requests
        }
        QByteArray manyReads;
        for (int i = 0; i < 20000; ++i)
            manyReads += "0|70001" + nul;
        QTest::newRow("binary garbage") << "demo" + nul + garbage + nul << false << false;
        QTest::newRow("NUL burst") << "demo" + nul + QByteArray(200000, '\0') << false << false;
        QTest::newRow("line without end") << "demo" + nul + QByteArray(70 * 1024, 'A') << true << false;
        QTest::newRow("output it never reads")
            << "demo" + nul + "1|70001|" + QByteArray(2000, 'A') + nul + manyReads << true << false;
        QTest::newRow("binary key") << QByteArray("\xff\xfe\x01\x00\x02", 5) << true << false;
        QTest::newRow("gone in mid-line") << "demo" + nul + "1|768|99" << false << true;
    }
    void abusiveClientsLeaveServerRunning() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, droppedByServer);
        QFETCH(bool, leavesMidLine);
        OvsimProcess ovsim;
        QVERIFY(ovsim.start());
        {
            Peer abuser(ovsim.gatewayPort());
            abuser.socket.write(bytes);
            if (droppedByServer) {
                QVERIFY(abuser.closedByServer());
            } else if (leavesMidLine) {
                QTRY_COMPARE(abuser.socket.bytesToWrite(), 0);
                abuser.socket.abort();
            } else {
                // Still served, in order, after everything it sent.
                abuser.send("0|768");
                QTRY_VERIFY(!abuser.lines.isEmpty() && abuser.lines.constLast() == "2|768|40.0");
            }
        }
        Peer fresh(ovsim.gatewayPort());
        QVERIFY(fresh.logIn());
        QVERIFY(fresh.queued.contains("2|768|40.0"));
        QVERIFY(ovsim.setValue(u"768"_qs, u"60"_qs));
        QTRY_COMPARE(fresh.lines, QList<QByteArray>{"2|768|60.0"});
        QVERIFY(ovsim.isRunning());
    }

    void demoModeChangesValues() {
        OvsimProcess::Options options;
        options.extraArguments = QStringList{u"--demo"_qs, u"--demo-interval"_qs, u"50"_qs};
        OvsimProcess ovsim(options);
        QVERIFY(ovsim.start());
        Peer peer(ovsim.gatewayPort());
        QVERIFY(peer.logIn());
        const auto changed = [&peer](const QByteArray &prefix, const QByteArray &initial) {
            return std::any_of(peer.lines.cbegin(), peer.lines.cend(), [&](const QByteArray &line) {
                return line.startsWith(prefix) && line != prefix + initial;
            });
        };
        QTRY_VERIFY_WITH_TIMEOUT(
            changed("2|1280|", "21.5") && changed("2|1025|", "0.0") && changed("2|70001|", "48616C6C6F"), waitMs);
    }

    void helpNamesEveryOption() {
        QProcess process;
        process.start(QStringLiteral(QUENDRA_OVSIM_PATH), {u"--help"_qs});
        QVERIFY(process.waitForFinished(waitMs));
        QCOMPARE(process.exitCode(), 0);
        const QString help = QString::fromLocal8Bit(process.readAllStandardOutput());
        for (const QString &option :
             {u"--host"_qs, u"--port"_qs, u"--web-port"_qs, u"--key"_qs, u"--catalogue"_qs, u"--demo"_qs,
              u"--demo-interval"_qs, u"1|GAN|value"_qs, u"ovcl?sys/cobjects.xml"_qs})
            QVERIFY2(help.contains(option), qPrintable(option));
    }

    void badCommandLineIsRefused_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("port out of range") << QStringList{u"--port"_qs, u"70000"_qs};
        QTest::newRow("web port no number") << QStringList{u"--web-port"_qs, u"http"_qs};
        QTest::newRow("host no address") << QStringList{u"--host"_qs, u"irgendwo"_qs};
        QTest::newRow("no such catalogue") << QStringList{u"--catalogue"_qs, u"/nonexistent/cobjects.xml"_qs};
        QTest::newRow("interval zero") << QStringList{u"--demo"_qs, u"--demo-interval"_qs, u"0"_qs};
        QTest::newRow("unknown option") << QStringList{u"--bogus"_qs};
    }
    void badCommandLineIsRefused() {
        QFETCH(QStringList, arguments);
        QProcess process;
        process.start(QStringLiteral(QUENDRA_OVSIM_PATH), arguments);
        QVERIFY(process.waitForFinished(waitMs));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY(process.exitCode() != 0);
        QVERIFY(process.readAllStandardOutput().isEmpty());
    }

    void endsCleanlyOnSignal_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void endsCleanlyOnSignal() {
        QFETCH(int, signal);
        QProcess process;
        process.start(QStringLiteral(QUENDRA_OVSIM_PATH), {u"--port"_qs, u"0"_qs, u"--web-port"_qs, u"0"_qs});
        QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine(), waitMs);
        const QRegularExpressionMatch match = QRegularExpression(uR"(^ovsim gateway-port=(\d+) web-port=(\d+)\n$)"_qs)
                                                  .match(QString::fromLatin1(process.readLine()));
        QVERIFY(match.hasMatch());
        Peer peer(match.captured(1).toUShort());
        QVERIFY(peer.logIn());
        QCOMPARE(::kill(static_cast<pid_t>(process.processId()), signal), 0);
        QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, waitMs);
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(peer.closedByServer());
    }
};

QTEST_GUILESS_MAIN(TestOvsim)
#include "tst_ovsim.moc"
