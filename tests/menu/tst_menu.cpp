#include "CanberraEventSounds.h"
#include "Captions.h"
#include "FakeLinkView.h"
#include "FakePlatform.h"
#include "IniFile.h"
#include "LinkController.h"
#include "MenuCommand.h"
#include "MenuExecution.h"
#include "MenuFakes.h"
#include "MenuFile.h"
#include "MenuTreeModel.h"
#include "MenuValueTarget.h"
#include "Notifications.h"
#include "SoundPicker.h"
#include "StateIcon.h"
#include "TempProgramFolder.h"
#include "TrayPopup.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMutex>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <climits>
#include <numeric>

namespace {
QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

MenuCommand command(const QString &text, const QString &aktion, const QString &gan, const QString &lv, int symbol = 0) {
    MenuCommand c;
    c.bezeichnung = text;
    c.typ = aktion == u"Frei"_qs    ? u"Dimmer (Wertgeber)"_qs
            : aktion == u"lesen"_qs ? u"Wert lesen"_qs
                                    : u"Schaltaktor (0/1)"_qs;
    c.aktion = aktion;
    c.gan = gan;
    c.lv = lv;
    c.symbol = symbol;
    c.stateIcon = symbol;
    return c;
}

// A gateway value as the dispatch hands it on: "." becomes ",".
DecodedLine decoded(const QString &gan, const QString &rawValue) {
    return DecodedLine{gan, rawValue, QString(rawValue).replace(u'.', u',')};
}

QStringList captions(const MenuList &menu) {
    QStringList texts;
    for (const MenuCommand &c : menu)
        texts << c.bezeichnung;
    return texts;
}

QStringList sectionNames(const QString &iniText) {
    QStringList names;
    for (const QString &line : iniText.split(u'\n'))
        if (line.startsWith(u'['))
            names << line.mid(1, line.indexOf(u']') - 1);
    return names;
}

// A distinct one-colour picture per symbol index, so a test can tell which one an item shows.
// The system's sounds under German names, as the Linux implementation shows them.
class GermanEventSounds : public FakeEventSounds {
public:
    QString displayName(const QString &eventName) const override {
        if (eventName == u"bell"_qs)
            return u"Glocke"_qs;
        if (eventName == u"message"_qs)
            return u"Nachricht"_qs;
        return eventName;
    }
};

QIcon colourIcon(int index) {
    if (index < 0)
        return {};
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor::fromRgb(qRgb(index * 7 % 256, 100, 200)));
    return QIcon(pixmap);
}

QRgb iconColour(const QIcon &icon) {
    return icon.isNull() ? 0 : icon.pixmap(16, 16).toImage().pixel(0, 0);
}

} // namespace

// What the dispatch of menu values needs around it.
struct DispatchFixture {
    QStringList log;
    MenuList menu;
    WildcardTexts texts;
    RecordingTray tray{log};
    RecordingDialogs dialogs{log};
    RecordingSounds sounds{log};
    bool balloonsEnabled = true;
    Notifications notifications{menu, texts, tray, dialogs, sounds};
    MenuValueTarget target{menu, notifications, [this] {
                               return balloonsEnabled;
                           }};
};

class TestMenu : public QObject {
    Q_OBJECT

private slots:
    // ---- state rule ----

    void stateRule_data() {
        QTest::addColumn<QString>("aktion");
        QTest::addColumn<int>("base");
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("switch 1 shows base") << u"Ein"_qs << 10 << 11 << u"1,0"_qs << 10;
        QTest::newRow("switch 0 shows base+1") << u"Ein"_qs << 10 << 10 << u"0,0"_qs << 11;
        QTest::newRow("Aus follows the switch rule") << u"Aus"_qs << 0 << 0 << u"0,0"_qs << 1;
        QTest::newRow("Um with 1 without decimals") << u"Um"_qs << 6 << 7 << u"1"_qs << 6;
        QTest::newRow("switch 0,4 truncates to 0") << u"Ein"_qs << 10 << 10 << u"0,4"_qs << 11;
        QTest::newRow("switch -0,5 truncates to 0") << u"Ein"_qs << 10 << 10 << u"-0,5"_qs << 11;
        QTest::newRow("switch 21,5 keeps icon") << u"Ein"_qs << 0 << 1 << u"21,5"_qs << 1;
        QTest::newRow("Frei 0,4 shows base") << u"Frei"_qs << 12 << 15 << u"0,4"_qs << 12;
        QTest::newRow("Frei 1") << u"Frei"_qs << 12 << 12 << u"1"_qs << 13;
        QTest::newRow("Frei 21,5") << u"Frei"_qs << 12 << 12 << u"21,5"_qs << 13;
        QTest::newRow("Frei 33,9") << u"Frei"_qs << 12 << 12 << u"33,9"_qs << 13;
        QTest::newRow("Frei 34") << u"Frei"_qs << 12 << 12 << u"34"_qs << 14;
        QTest::newRow("Frei 55,5") << u"Frei"_qs << 12 << 12 << u"55,5"_qs << 14;
        QTest::newRow("Frei 67") << u"Frei"_qs << 12 << 12 << u"67"_qs << 15;
        QTest::newRow("Frei 100,9") << u"Frei"_qs << 12 << 12 << u"100,9"_qs << 15;
        QTest::newRow("Frei 101 keeps icon") << u"Frei"_qs << 12 << 14 << u"101"_qs << 14;
        QTest::newRow("Frei -3 keeps icon") << u"Frei"_qs << 12 << 14 << u"-3"_qs << 14;
        QTest::newRow("switch -3 keeps icon") << u"Ein"_qs << 10 << 11 << u"-3"_qs << 11;
        QTest::newRow("word resets to base") << u"Frei"_qs << 12 << 14 << u"abc"_qs << 12;
        QTest::newRow("empty resets to base") << u"Ein"_qs << 10 << 11 << QString() << 10;
        QTest::newRow("decimal point is no number") << u"Ein"_qs << 10 << 11 << u"1.0"_qs << 10;
        QTest::newRow("several commas is no number") << u"Frei"_qs << 12 << 14 << u"1,2,3"_qs << 12;
        QTest::newRow("beyond 64 bits resets to base") << u"Frei"_qs << 12 << 14 << u"99999999999999999999"_qs << 12;
        QTest::newRow("lesen never changes") << u"lesen"_qs << 16 << 16 << u"0,0"_qs << 16;
        QTest::newRow("lesen ignores words") << u"lesen"_qs << 16 << 3 << u"abc"_qs << 3;
        QTest::newRow("separator follows switch rule") << u"Keine"_qs << -1 << -1 << u"0,0"_qs << 0;
        QTest::newRow("absurd base does not overflow") << u"Ein"_qs << INT_MAX << 5 << u"0,0"_qs << INT_MAX;
    }
    void stateRule() {
        QFETCH(QString, aktion);
        QFETCH(int, base);
        QFETCH(int, before);
        QFETCH(QString, value);
        QFETCH(int, expected);
        MenuCommand entry = command(u"x"_qs, aktion, u"1"_qs, {}, base);
        entry.stateIcon = before;
        UpdateStateIcon(entry, value);
        QCOMPARE(entry.stateIcon, expected);
    }

    // ---- caption rule ----

    void caption_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no wildcard") << u"Licht Küche"_qs << u"1,0"_qs << u"Licht Küche 1,0"_qs;
        QTest::newRow("no wildcard, empty value") << u"Licht Küche"_qs << QString() << u"Licht Küche "_qs;
        QTest::newRow("$1 with 1,0") << u"Fenster $1"_qs << u"1,0"_qs << u"Fenster auf"_qs;
        QTest::newRow("$1 with 0,0") << u"Fenster $1"_qs << u"0,0"_qs << u"Fenster zu"_qs;
        QTest::newRow("$1 with 1 is no wildcard value") << u"Fenster $1"_qs << u"1"_qs << u"Fenster 1"_qs;
        QTest::newRow("$2 with 0,0") << u"Rollo $2"_qs << u"0,0"_qs << u"Rollo oben"_qs;
        QTest::newRow("$2 with 1,0") << u"Rollo $2"_qs << u"1,0"_qs << u"Rollo unten"_qs;
        QTest::newRow("$2 with 0,5") << u"Rollo $2"_qs << u"0,5"_qs << u"Rollo 0,5"_qs;
        QTest::newRow("$3 with 1,0") << u"Licht $3!"_qs << u"1,0"_qs << u"Licht an!"_qs;
        QTest::newRow("$3 with 0,0") << u"Licht $3"_qs << u"0,0"_qs << u"Licht aus"_qs;
        QTest::newRow("$4 truncates") << u"Temp: $4 °C"_qs << u"21,7"_qs << u"Temp: 21 °C"_qs;
        QTest::newRow("$4 negative toward zero") << u"Temp: $4 °C"_qs << u"-3,9"_qs << u"Temp: -3 °C"_qs;
        QTest::newRow("$4 minus zero") << u"$4"_qs << u"-0,5"_qs << u"0"_qs;
        QTest::newRow("$4 word stays") << u"Temp: $4 °C"_qs << u"abc"_qs << u"Temp: abc °C"_qs;
        QTest::newRow("$4 several commas stays") << u"$4"_qs << u"1,2,3"_qs << u"1,2,3"_qs;
        QTest::newRow("$4 beyond 64 bits stays")
            << u"$4"_qs << u"99999999999999999999"_qs << u"99999999999999999999"_qs;
        QTest::newRow("$5 hex") << u"$5"_qs << u"414243"_qs << u"ABC"_qs;
        QTest::newRow("$5 odd length") << u"$5"_qs << u"41424"_qs << u"AB"_qs;
        QTest::newRow("$5 not hex stays") << u"$5"_qs << u"4G"_qs << u"4G"_qs;
        QTest::newRow("$5 Windows-1252") << u"Text: $5"_qs << u"4bfc6368"_qs << u"Text: Küch"_qs;
        QTest::newRow("$5 empty") << u"[$5]"_qs << QString() << u"[]"_qs;
        QTest::newRow("bare $") << u"Wert $"_qs << u"7"_qs << u"Wert 7"_qs;
        QTest::newRow("$ with other character keeps it") << u"$x"_qs << u"5"_qs << u"5x"_qs;
        QTest::newRow("$9 keeps the 9") << u"$9"_qs << u"5"_qs << u"59"_qs;
        QTest::newRow("last wildcard decides") << u"$1 und $3"_qs << u"1,0"_qs << u"$1 und an"_qs;
        QTest::newRow("trailing bare $ decides") << u"Preis $4 $"_qs << u"21,7"_qs << u"Preis $4 21,7"_qs;
        QTest::newRow("$$") << u"$$"_qs << u"7"_qs << u"$7"_qs;
        QTest::newRow("$$1") << u"$$1"_qs << u"1,0"_qs << u"$auf"_qs;
        QTest::newRow("separator text gets a value") << u"-"_qs << u"1,0"_qs << u"- 1,0"_qs;
    }
    void caption() {
        QFETCH(QString, text);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QCOMPARE(ExpandWildcards(text, value, WildcardTexts{}), expected);
    }

    void captionUsesTheGivenWords() {
        WildcardTexts texts;
        texts.wc1a = u"offen"_qs;
        texts.wc2a = u"hoch"_qs;
        texts.wc3b = QString();
        QCOMPARE(ExpandWildcards(u"Tür $1"_qs, u"1,0"_qs, texts), u"Tür offen"_qs);
        QCOMPARE(ExpandWildcards(u"Rollo $2"_qs, u"0,0"_qs, texts), u"Rollo hoch"_qs);
        QCOMPARE(ExpandWildcards(u"Licht $3"_qs, u"0,0"_qs, texts), u"Licht "_qs);
        QCOMPARE(popupCaption(u"-"_qs, u"1,0"_qs, texts), u"-"_qs);
    }

    // ---- flat positions ----

    void flatPositions() {
        MenuList menu;
        MenuCommand first = command(u"Licht"_qs, u"Ein"_qs, u"768"_qs, u"1,0"_qs, 10);
        first.wert = u"w"_qs;
        first.soundname = u"bell"_qs;
        menu.append(first);
        menu.append(MenuCommand::separator());
        QCOMPARE(menu.nodeCount(), 22);
        QCOMPARE(menu.entryAt(0), std::optional<qsizetype>(0));
        QCOMPARE(menu.entryAt(11), std::optional<qsizetype>(1));
        QCOMPARE(menu.entryAt(5), std::nullopt);
        QCOMPARE(menu.entryAt(22), std::nullopt);
        QCOMPARE(menu.entryAt(-11), std::nullopt);
        QStringList texts;
        for (qsizetype i = 0; i < menu.nodeCount(); ++i)
            texts << menu.nodeText(i);
        QCOMPARE(texts, (QStringList{u"Licht"_qs,
                                     u"Schaltaktor (0/1)"_qs,
                                     u"Ein"_qs,
                                     u"w"_qs,
                                     u"Symbolstatus"_qs,
                                     u"768"_qs,
                                     u"1,0"_qs,
                                     u"False"_qs,
                                     u"False"_qs,
                                     u"False"_qs,
                                     u"bell"_qs,
                                     u"-"_qs,
                                     u"Linie"_qs,
                                     u"Keine"_qs,
                                     QString(),
                                     u"Symbolstatus"_qs,
                                     u"0"_qs,
                                     u"0,0"_qs,
                                     u"False"_qs,
                                     u"False"_qs,
                                     u"False"_qs,
                                     QString()}));
    }

    // ---- menu file ----

    void menuFileRoundTrip() {
        TempProgramFolder dir;
        const QString path = menuFilePath(dir.path());
        QVERIFY(writeFile(path, "[Orvanel]\nnote=kept\n[0]\nBezeichnung=old\n"));
        MenuList menu;
        MenuCommand light = command(u"Licht Küche $3"_qs, u"Um"_qs, u"2"_qs, u"1,0"_qs, 2);
        light.balloon = u"True"_qs;
        light.sound = u"True"_qs;
        light.soundname = u"Sound auswählen ..."_qs;
        menu.append(light);
        menu.append(MenuCommand::separator());
        MenuCommand dimmer = command(u"Esszimmer $4 %"_qs, u"Frei"_qs, u"768"_qs, u"40,0"_qs, 12);
        dimmer.wert = u"50"_qs;
        dimmer.msg = u"True"_qs;
        menu.append(dimmer);

        QString error;
        QVERIFY2(saveMenuFile(path, menu, &error), qPrintable(error));
        QCOMPARE(readFile(path), QByteArray("[Orvanel]\nnote=kept\n"
                                            "[0]\nBezeichnung=Licht K\xfc"
                                            "che $3\nSymbol=2\nTyp=Schaltaktor (0/1)\nAktion=Um\nWert=\nGAN=2\n"
                                            "LV=1,0\nBalloon=True\nMsg=False\nSound=True\n"
                                            "Soundname=Sound ausw\xe4hlen ...\n"
                                            "[11]\nBezeichnung=-\nSymbol=-1\nTyp=Linie\nAktion=Keine\nWert=\nGAN=0\n"
                                            "LV=0,0\nBalloon=False\nMsg=False\nSound=False\nSoundname=\n"
                                            "[22]\nBezeichnung=Esszimmer $4 %\nSymbol=12\nTyp=Dimmer (Wertgeber)\n"
                                            "Aktion=Frei\nWert=50\nGAN=768\nLV=40,0\nBalloon=False\nMsg=True\n"
                                            "Sound=False\nSoundname=\n"));

        const MenuFileContent loaded = LoadMenuFile(path);
        QVERIFY(loaded.errorString.isEmpty());
        QVERIFY(!loaded.lacksNotificationKeys);
        QCOMPARE(loaded.menu, menu);
    }

    void menuFileDefaults() {
        TempProgramFolder dir;
        const QString path = dir.file(u"quendramenu.ini"_qs);
        QVERIFY(writeFile(path, "[0]\nBezeichnung=Alt\nSymbol=abc\n"
                                "[11]\nbezeichnung=  Zweiter  \nSYMBOL=-1\nTyp=Wert lesen\nAktion=lesen\nGAN=1280\n"
                                "LV=21,5\nBalloon=True\n"
                                "[22]\nBezeichnung=Dritter\nSymbol=12x\n"));
        const MenuFileContent loaded = LoadMenuFile(path);
        QVERIFY(loaded.lacksNotificationKeys);
        QCOMPARE(loaded.menu.size(), 3);
        const MenuCommand &old = loaded.menu.at(0);
        QCOMPARE(old.bezeichnung, u"Alt"_qs);
        QCOMPARE(old.symbol, 0);
        QCOMPARE(old.stateIcon, 0);
        QCOMPARE(old.typ, u"-"_qs);
        QCOMPARE(old.aktion, u"-"_qs);
        QVERIFY(old.wert.isEmpty() && old.gan.isEmpty() && old.lv.isEmpty() && old.soundname.isEmpty());
        QCOMPARE(old.balloon, u"False"_qs);
        QCOMPARE(old.msg, u"False"_qs);
        QCOMPARE(old.sound, u"False"_qs);
        const MenuCommand &second = loaded.menu.at(1);
        QCOMPARE(second.bezeichnung, u"Zweiter"_qs);
        QCOMPARE(second.symbol, -1);
        QCOMPARE(second.stateIcon, -1);
        QCOMPARE(second.gan, u"1280"_qs);
        QCOMPARE(second.lv, u"21,5"_qs);
        QCOMPARE(second.balloon, u"True"_qs);
        QCOMPARE(loaded.menu.at(2).symbol, 0);
    }

    void menuFileNoticeOnlyForOlderEntries_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("lacks");
        QTest::newRow("all keys") << QByteArray("[0]\nBezeichnung=A\nMsg=False\nSound=False\nSoundname=\n") << false;
        QTest::newRow("no Soundname") << QByteArray("[0]\nBezeichnung=A\nMsg=False\nSound=False\n") << true;
        QTest::newRow("no Msg") << QByteArray("[0]\nBezeichnung=A\nSound=False\nSoundname=\n") << true;
        QTest::newRow("section without entry does not count")
            << QByteArray("[0]\nBezeichnung=A\nMsg=False\nSound=False\nSoundname=\n[11]\nBezeichnung=  \n") << false;
        QTest::newRow("no file") << QByteArray() << false;
    }
    void menuFileNoticeOnlyForOlderEntries() {
        QFETCH(QByteArray, file);
        QFETCH(bool, lacks);
        TempProgramFolder dir;
        const QString path = dir.file(u"quendramenu.ini"_qs);
        if (!file.isEmpty())
            QVERIFY(writeFile(path, file));
        QCOMPARE(LoadMenuFile(path).lacksNotificationKeys, lacks);
    }

    void menuFileSections_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("in order") << QByteArray("[0]\nBezeichnung=A\n[11]\nBezeichnung=B\n[22]\nBezeichnung=C\n")
                                  << QStringList{u"A"_qs, u"B"_qs, u"C"_qs};
        QTest::newRow("numeric order, not file order")
            << QByteArray("[5]\nBezeichnung=five\n[3]\nBezeichnung=three\n[100]\nBezeichnung=hundred\n")
            << QStringList{u"three"_qs, u"five"_qs, u"hundred"_qs};
        QTest::newRow("above 350 and gaps") << QByteArray("[1000]\nBezeichnung=C\n[0]\nBezeichnung=A\n"
                                                          "[351]\nBezeichnung=B\n")
                                            << QStringList{u"A"_qs, u"B"_qs, u"C"_qs};
        QTest::newRow("leading zeros and huge numbers")
            << QByteArray("[99999999999999999999]\nBezeichnung=huge\n[007]\nBezeichnung=seven\n"
                          "[12]\nBezeichnung=twelve\n")
            << QStringList{u"seven"_qs, u"twelve"_qs, u"huge"_qs};
        QTest::newRow("other sections ignored")
            << QByteArray("[Orvanel]\nBezeichnung=no\n[x1]\nBezeichnung=no\n[-5]\nBezeichnung=no\n[1 1]\n"
                          "Bezeichnung=no\n[11]\nBezeichnung=yes\n")
            << QStringList{u"yes"_qs};
        QTest::newRow("no or blank name gives no entry")
            << QByteArray("[0]\nSymbol=3\n[11]\nBezeichnung=   \n[22]\nBezeichnung=\"\"\n[33]\nBezeichnung=X\n")
            << QStringList{u"X"_qs};
        QTest::newRow("dollars anywhere") << QByteArray("[0]\nBezeichnung=$\n[11]\nBezeichnung=a$b$\n"
                                                        "[22]\nBezeichnung=$$5$\n")
                                          << QStringList{u"$"_qs, u"a$b$"_qs, u"$$5$"_qs};
        QTest::newRow("duplicate section: first wins")
            << QByteArray("[0]\nBezeichnung=first\n[0]\nBezeichnung=second\n") << QStringList{u"first"_qs};
        QTest::newRow("garbage lines") << QByteArray("\x01\x02garbage\n[0\nBezeichnung=A\n=x\n[11]\nBezeichnung=B")
                                       << QStringList{u"A"_qs, u"B"_qs};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
    }
    void menuFileSections() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, entries);
        TempProgramFolder dir;
        const QString path = dir.file(u"quendramenu.ini"_qs);
        QVERIFY(writeFile(path, file));
        const MenuFileContent loaded = LoadMenuFile(path);
        QVERIFY(loaded.errorString.isEmpty());
        QCOMPARE(captions(loaded.menu), entries);
    }

    void menuFileMissingAndUnreadable() {
        TempProgramFolder dir;
        const MenuFileContent missing = LoadMenuFile(dir.file(u"quendramenu.ini"_qs));
        QVERIFY(missing.menu.isEmpty());
        QVERIFY(missing.errorString.isEmpty());

        // A folder in place of the file cannot be read: the caller is told which file.
        const QString folder = dir.file(u"blocked.ini"_qs);
        QVERIFY(QDir().mkdir(folder));
        const MenuFileContent unreadable = LoadMenuFile(folder);
        QVERIFY(unreadable.menu.isEmpty());
        QVERIFY(unreadable.errorString.contains(folder));
        // Nor can a section be erased from it: that is no success.
        QString error;
        QVERIFY(!eraseMenuSection(folder, 0, &error));
        QVERIFY2(error.contains(folder), qPrintable(error));
    }

    // Every save leaves exactly the current entries, however many the file held before.
    void menuFileSaveDropsFormerEntries() {
        TempProgramFolder dir;
        const QString path = menuFilePath(dir.path());
        QByteArray file("[Orvanel]\nIP=1.2.3.4\n");
        for (int k = 0; k < 40; ++k)
            file += "[" + QByteArray::number(k * 11) + "]\nBezeichnung=E" + QByteArray::number(k) + "\n";
        file += "[5000]\nBezeichnung=stray\n[0007]\nBezeichnung=zeros\n";
        QVERIFY(writeFile(path, file));
        MenuFileContent loaded = LoadMenuFile(path);
        QCOMPARE(loaded.menu.size(), 42);
        QCOMPARE(loaded.menu.at(1).bezeichnung, u"zeros"_qs);
        QCOMPARE(loaded.menu.at(41).bezeichnung, u"stray"_qs);

        MenuList kept;
        kept.append(loaded.menu.at(30));
        kept.append(loaded.menu.at(3));
        QVERIFY(saveMenuFile(path, kept));
        const QString text = QString::fromLatin1(readFile(path));
        QCOMPARE(sectionNames(text), (QStringList{u"Orvanel"_qs, u"0"_qs, u"11"_qs}));
        QVERIFY(text.contains(u"IP=1.2.3.4"_qs));
        QCOMPARE(captions(LoadMenuFile(path).menu), (QStringList{u"E29"_qs, u"E2"_qs}));
    }

    void menuFileEmptyMenuKeepsFile() {
        TempProgramFolder dir;
        const QString path = dir.file(u"quendramenu.ini"_qs);
        const QByteArray file("[0]\nBezeichnung=A\n[11]\nBezeichnung=B\n");
        QVERIFY(writeFile(path, file));
        QString error;
        QVERIFY(saveMenuFile(path, MenuList{}, &error));
        QCOMPARE(readFile(path), file);

        // Deleting an entry erases its own section; a section that is not there changes nothing.
        QVERIFY(eraseMenuSection(path, 11, &error));
        QCOMPARE(captions(LoadMenuFile(path).menu), QStringList{u"A"_qs});
        QVERIFY(eraseMenuSection(path, 0, &error));
        QVERIFY(LoadMenuFile(path).menu.isEmpty());
        const QString missing = dir.file(u"none.ini"_qs);
        QVERIFY(eraseMenuSection(missing, 0, &error));
        QVERIFY(!QFile::exists(missing));
    }

    void menuFileSaveFailureNamesTheFile() {
        TempProgramFolder dir;
        const QString path = dir.file(u"missing-folder/quendramenu.ini"_qs);
        MenuList menu;
        menu.append(command(u"A"_qs, u"Ein"_qs, u"1"_qs, u"0,0"_qs));
        QString error;
        QVERIFY(!saveMenuFile(path, menu, &error));
        QVERIFY2(error.contains(path), qPrintable(error));
    }

    // What an entry holds comes back after a save, whatever the reader would trim or unquote.
    void menuFileKeepsEveryValue_data() {
        QTest::addColumn<QString>("bezeichnung");
        QTest::addColumn<QString>("lv");
        QTest::newRow("quoted caption") << u"\"Licht\""_qs << u"1,0"_qs;
        QTest::newRow("blanks around a value") << u"Licht"_qs << u" 1,0 "_qs;
        QTest::newRow("quotes and blanks") << u"Flur"_qs << u"' 1,0 '"_qs;
        QTest::newRow("trailing no-break space") << u"Licht\u00a0"_qs << u"0,0"_qs;
        QTest::newRow("leading blank in the caption") << u" Licht $3"_qs << u"0,0"_qs;
    }
    void menuFileKeepsEveryValue() {
        QFETCH(QString, bezeichnung);
        QFETCH(QString, lv);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"quendramenu.ini"_qs);
        MenuList menu;
        menu.append(command(bezeichnung, u"Ein"_qs, u"1"_qs, lv));
        QVERIFY(saveMenuFile(path, menu));
        const MenuList once = LoadMenuFile(path).menu;
        QCOMPARE(once, menu);
        QVERIFY(saveMenuFile(path, once));
        QCOMPARE(LoadMenuFile(path).menu, menu);
    }

    // A hand-edited file with a byte-order mark: section "0" is found, and a save writes it once.
    void menuFileWithByteOrderMark() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"quendramenu.ini"_qs);
        QVERIFY(writeFile(path, "\xef\xbb\xbf[0]\r\nBezeichnung=A\r\n[11]\r\nBezeichnung=B\r\n"));
        const MenuList menu = LoadMenuFile(path).menu;
        QCOMPARE(captions(menu), (QStringList{u"A"_qs, u"B"_qs}));
        QVERIFY(saveMenuFile(path, menu));
        const QByteArray saved = readFile(path);
        QVERIFY(saved.startsWith("\xef\xbb\xbf[0]\r\nBezeichnung=A\r\n"));
        QCOMPARE(saved.count("[0]"), 1);
        QCOMPARE(captions(LoadMenuFile(path).menu), (QStringList{u"A"_qs, u"B"_qs}));
    }

    // A menu file that exists but cannot be read keeps every byte, and the save says so.
    void menuFileSaveRefusesAnUnreadFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"quendramenu.ini"_qs);
        QByteArray foreign("[Fremd]\r\nBezeichnung=nicht meins\r\n");
        foreign.resize(IniFile::kMaxFileBytes + 1, ' ');
        QVERIFY(writeFile(path, foreign));
        MenuList menu;
        menu.append(command(u"A"_qs, u"Ein"_qs, u"1"_qs, u"0,0"_qs));
        QString error;
        QVERIFY(!saveMenuFile(path, menu, &error));
        QVERIFY2(error.contains(path), qPrintable(error));
        QVERIFY(!eraseMenuSection(path, 0, &error));
        QVERIFY2(error.contains(path), qPrintable(error));
        QVERIFY(readFile(path) == foreign); // QCOMPARE would print 16 MiB
        QVERIFY(LoadMenuFile(path).errorString.contains(path));
    }

    void menuFileManySections() {
        TempProgramFolder dir;
        const QString path = dir.file(u"quendramenu.ini"_qs);
        constexpr int count = 2000;
        QList<int> order(count);
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), *QRandomGenerator::global());
        QByteArray file;
        for (int k : std::as_const(order))
            file += "[" + QByteArray::number(k * 11) + "]\nBezeichnung=E" + QByteArray::number(k) +
                    "\nGAN=" + QByteArray::number(k) + "\nMsg=False\nSound=False\nSoundname=\n";
        QVERIFY(writeFile(path, file));
        const MenuFileContent loaded = LoadMenuFile(path);
        QCOMPARE(loaded.menu.size(), count);
        for (int k = 0; k < count; k += 499)
            QCOMPARE(loaded.menu.at(k).gan, QString::number(k));
        QVERIFY(saveMenuFile(path, loaded.menu));
        QCOMPARE(LoadMenuFile(path).menu, loaded.menu);
    }

    void demoMenuFile() {
        const QString path = QStringLiteral(QUENDRA_SOURCE_DIR "/resources/demo/quendramenu.ini");
        const MenuFileContent demo = LoadMenuFile(path);
        QVERIFY(demo.errorString.isEmpty());
        QVERIFY(!demo.lacksNotificationKeys);
        QVERIFY(demo.menu.size() >= 8);
        const QStringList demoObjects{u"1"_qs, u"2"_qs, u"768"_qs, u"1025"_qs, u"1280"_qs, u"1536"_qs, u"70001"_qs};
        bool separator = false;
        for (const MenuCommand &c : demo.menu) {
            if (c.bezeichnung == u"-"_qs) {
                separator = true;
                QCOMPARE(c, MenuCommand::separator());
            } else {
                QVERIFY2(demoObjects.contains(c.gan), qPrintable(c.bezeichnung));
            }
        }
        QVERIFY(separator);
        // Written in the program's own format: a save gives the same bytes.
        TempProgramFolder dir;
        const QString copy = dir.file(u"quendramenu.ini"_qs);
        QVERIFY(saveMenuFile(copy, demo.menu));
        QCOMPARE(readFile(copy), readFile(path));
    }

    // ---- binding and dispatch ----

    void bindingIsByGanOnly() {
        DispatchFixture f;
        f.menu.append(command(u"Fünf"_qs, u"Ein"_qs, u"5"_qs, u"0,0"_qs, 10));
        MenuCommand dimmer = command(u"Dimmer"_qs, u"Frei"_qs, u"768"_qs, u"40,0"_qs, 12);
        dimmer.wert = u"5"_qs;
        f.menu.append(dimmer);
        f.menu.append(command(u"Ohne GAN"_qs, u"Ein"_qs, QString(), u"0,0"_qs, 0));
        f.menu.append(MenuCommand::separator());

        f.target.onValue(decoded(u"5"_qs, u"1.0"_qs), true);
        QCOMPARE(f.menu.at(0).lv, u"1,0"_qs);
        QCOMPARE(f.menu.at(0).stateIcon, 10);
        QCOMPARE(f.menu.at(1).lv, u"40,0"_qs); // a Wert of 5 binds nothing

        f.target.onValue(decoded(QString(), u"5"_qs), false); // the line "2||5"
        QCOMPARE(f.menu.at(2).lv, u"0,0"_qs);
        QCOMPARE(f.menu.at(3).lv, u"0,0"_qs);
        QVERIFY(f.log.isEmpty());

        f.target.onValue(decoded(u"76"_qs, QString()), false); // the line "2|768": nothing bound to 76
        QCOMPARE(f.menu.at(1).lv, u"40,0"_qs);
    }

    void notifications_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("flags"); // Balloon, Msg, Sound
        QTest::addColumn<bool>("balloonsEnabled");
        QTest::addColumn<bool>("initial");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("rawValue");
        QTest::addColumn<QStringList>("events");
        const QStringList allOn{u"True"_qs, u"True"_qs, u"True"_qs};
        const QString open = u"Fenster auf"_qs;
        const QStringList all{u"hint:"_qs + open, u"balloon:Orvanel:|"_qs + open + u"|2000"_qs,
                              u"info:Wichtige Meldung vom Orvanel:\r\r"_qs + open, u"sound:window-attention"_qs};
        QTest::newRow("all three, in order")
            << u"Fenster $1"_qs << allOn << true << false << u"0,0"_qs << u"1.0"_qs << all;
        QTest::newRow("unchanged value") << u"Fenster $1"_qs << allOn << true << false << u"1,0"_qs << u"1.0"_qs
                                         << QStringList{};
        QTest::newRow("initial line") << u"Fenster $1"_qs << allOn << true << true << u"0,0"_qs << u"1.0"_qs
                                      << QStringList{};
        QTest::newRow("balloons switched off")
            << u"Fenster $1"_qs << allOn << false << false << u"0,0"_qs << u"1.0"_qs << all.mid(2);
        QTest::newRow("exact text comparison")
            << u"Fenster $1"_qs << allOn << true << false << u"1"_qs << u"1.0"_qs << all;
        QTest::newRow("only balloon") << u"Fenster $1"_qs << QStringList{u"True"_qs, u"False"_qs, u"False"_qs} << true
                                      << false << u"0,0"_qs << u"1.0"_qs << all.mid(0, 2);
        QTest::newRow("only True counts") << u"Fenster $1"_qs << QStringList{u"true"_qs, u"-1"_qs, u"TRUE"_qs} << true
                                          << false << u"0,0"_qs << u"1.0"_qs << QStringList{};
        QTest::newRow("message without wildcard")
            << u"Temperatur"_qs << QStringList{u"False"_qs, u"True"_qs, u"False"_qs} << true << false << u"21,0"_qs
            << u"21.5"_qs << QStringList{u"info:Wichtige Meldung vom Orvanel:\r\rTemperatur 21,5"_qs};
        QTest::newRow("announces the new value")
            << u"Wert $"_qs << QStringList{u"True"_qs, u"False"_qs, u"False"_qs} << true << false << u"5"_qs << u"7"_qs
            << QStringList{u"hint:Wert 7"_qs, u"balloon:Orvanel:|Wert 7|2000"_qs};
    }
    void notifications() {
        QFETCH(QString, text);
        QFETCH(QStringList, flags);
        QFETCH(bool, balloonsEnabled);
        QFETCH(bool, initial);
        QFETCH(QString, before);
        QFETCH(QString, rawValue);
        QFETCH(QStringList, events);
        DispatchFixture f;
        f.balloonsEnabled = balloonsEnabled;
        MenuCommand entry = command(text, u"Um"_qs, u"1025"_qs, before, 6);
        entry.balloon = flags.at(0);
        entry.msg = flags.at(1);
        entry.sound = flags.at(2);
        entry.soundname = u"window-attention"_qs;
        f.menu.append(command(u"Andere"_qs, u"Ein"_qs, u"1024"_qs, u"0,0"_qs));
        f.menu.append(entry);

        const DecodedLine line = decoded(u"1025"_qs, rawValue);
        f.target.onValue(line, initial);
        QCOMPARE(f.log, events);
        QCOMPARE(f.menu.at(1).lv, line.displayValue);
        QCOMPARE(f.menu.at(0).lv, u"0,0"_qs);
        if (!events.isEmpty() && events.first().startsWith(u"hint:"_qs))
            QCOMPARE(f.tray.hint(), events.first().mid(5));
    }

    void dispatchServesEveryBoundEntryInOrder() {
        DispatchFixture f;
        MenuCommand light = command(u"Licht $3"_qs, u"Ein"_qs, u"768"_qs, u"0,0"_qs, 10);
        light.stateIcon = 11;
        light.balloon = u"True"_qs;
        MenuCommand dimmer = command(u"Dimmer $4 %"_qs, u"Frei"_qs, u"768"_qs, u"0,0"_qs, 12);
        dimmer.msg = u"True"_qs;
        f.menu.append(light);
        f.menu.append(command(u"Anderes"_qs, u"Ein"_qs, u"769"_qs, u"0,0"_qs, 10));
        f.menu.append(dimmer);

        f.target.onValue(decoded(u"768"_qs, u"55.5"_qs), false);
        QCOMPARE(f.log, (QStringList{u"hint:Licht 55,5"_qs, u"balloon:Orvanel:|Licht 55,5|2000"_qs,
                                     u"info:Wichtige Meldung vom Orvanel:\r\rDimmer 55 %"_qs}));
        QCOMPARE(f.menu.at(0).lv, u"55,5"_qs);
        QCOMPARE(f.menu.at(0).stateIcon, 11);
        QCOMPARE(f.menu.at(2).lv, u"55,5"_qs);
        QCOMPARE(f.menu.at(2).stateIcon, 14);
        QCOMPARE(f.menu.at(1).lv, u"0,0"_qs);

        // The same value again: no notification, but the state rule applies anew.
        f.log.clear();
        f.menu[2].stateIcon = 3;
        f.target.onValue(decoded(u"768"_qs, u"55.5"_qs), false);
        QVERIFY(f.log.isEmpty());
        QCOMPARE(f.menu.at(2).stateIcon, 14);

        // Initial lines store the value and set the icon without a word.
        f.target.onValue(decoded(u"768"_qs, u"1.0"_qs), true);
        QVERIFY(f.log.isEmpty());
        QCOMPARE(f.menu.at(0).stateIcon, 10);
        QCOMPARE(f.menu.at(2).stateIcon, 13);
    }

    // While an important message is on screen, further lines are dispatched; a newer value of the
    // same number must not be overwritten by the older one when the box closes.
    void newerValueDuringMessageWins() {
        DispatchFixture f;
        MenuCommand window = command(u"Fenster $1"_qs, u"Um"_qs, u"1025"_qs, u"0,0"_qs, 6);
        window.msg = u"True"_qs;
        window.sound = u"True"_qs;
        window.soundname = u"bell"_qs;
        f.menu.append(window);
        f.menu.append(window);
        bool nested = false;
        f.dialogs.whileInformationOpen = [&] {
            if (!std::exchange(nested, true))
                f.target.onValue(decoded(u"1025"_qs, u"0.0"_qs), false);
        };
        f.target.onValue(decoded(u"1025"_qs, u"1.0"_qs), false);
        QCOMPARE(f.log, (QStringList{u"info:Wichtige Meldung vom Orvanel:\r\rFenster auf"_qs, u"sound:bell"_qs}));
        QCOMPARE(f.menu.at(0).lv, u"0,0"_qs);
        QCOMPARE(f.menu.at(0).stateIcon, 7);
        QCOMPARE(f.menu.at(1).lv, u"0,0"_qs);

        // Once the boxes are closed, the next line is handled normally again.
        f.log.clear();
        f.target.onValue(decoded(u"1025"_qs, u"1.0"_qs), false);
        QCOMPARE(f.log.size(), 4);
        QCOMPARE(f.menu.at(1).lv, u"1,0"_qs);
    }

    // "Neu laden" while the box is open: what the menu holds now decides, not what it held.
    void menuReloadedDuringMessage_data() {
        QTest::addColumn<QString>("otherGan");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("values"); // LV of every entry afterwards
        const QString message = u"info:Wichtige Meldung vom Orvanel:\r\rFenster auf"_qs;
        QTest::newRow("emptied") << QString() << QStringList{message} << QStringList{};
        QTest::newRow("another number at the same place")
            << u"99"_qs << QStringList{message} << QStringList{u"0,0"_qs, u"0,0"_qs};
        // Entries bound to the number when the box closes carry on: the one now in the place of the
        // box's entry plays its own sound and takes the value, the next one announces in full.
        QTest::newRow("the same number at the same place")
            << u"1025"_qs
            << QStringList{message, u"sound:other"_qs, u"info:Wichtige Meldung vom Orvanel:\r\rAnderes 1,0"_qs,
                           u"sound:other"_qs}
            << QStringList{u"1,0"_qs, u"1,0"_qs};
    }
    void menuReloadedDuringMessage() {
        QFETCH(QString, otherGan);
        QFETCH(QStringList, events);
        QFETCH(QStringList, values);
        DispatchFixture f;
        MenuCommand window = command(u"Fenster $1"_qs, u"Um"_qs, u"1025"_qs, u"0,0"_qs, 6);
        window.msg = u"True"_qs;
        window.sound = u"True"_qs;
        window.soundname = u"window"_qs;
        f.menu.append(window);
        f.menu.append(window);
        MenuList reloaded;
        if (!otherGan.isEmpty()) {
            MenuCommand other = command(u"Anderes"_qs, u"Ein"_qs, otherGan, u"0,0"_qs, 0);
            other.msg = u"True"_qs;
            other.sound = u"True"_qs;
            other.soundname = u"other"_qs;
            reloaded.append(other);
            reloaded.append(other);
        }
        bool once = false;
        f.dialogs.whileInformationOpen = [&] {
            if (!std::exchange(once, true))
                f.menu = reloaded;
        };
        f.target.onValue(decoded(u"1025"_qs, u"1.0"_qs), false);
        QCOMPARE(f.log, events);
        QStringList lvs;
        for (const MenuCommand &c : std::as_const(f.menu))
            lvs << c.lv;
        QCOMPARE(lvs, values);
    }

    // ---- execution of a click ----

    void commandValues_data() {
        QTest::addColumn<QString>("aktion");
        QTest::addColumn<QString>("lv");
        QTest::addColumn<QString>("wert");
        QTest::addColumn<bool>("sends");
        QTest::addColumn<QString>("value");
        QTest::newRow("Ein") << u"Ein"_qs << u"1,0"_qs << u"9"_qs << true << u"1"_qs;
        QTest::newRow("Aus") << u"Aus"_qs << u"0,0"_qs << QString() << true << u"0"_qs;
        QTest::newRow("Um from 0,0") << u"Um"_qs << u"0,0"_qs << QString() << true << u"1"_qs;
        QTest::newRow("Um from 1,0") << u"Um"_qs << u"1,0"_qs << QString() << true << u"0"_qs;
        QTest::newRow("Um from 0") << u"Um"_qs << u"0"_qs << QString() << true << u"0"_qs;
        QTest::newRow("Um from nothing") << u"Um"_qs << QString() << QString() << true << u"0"_qs;
        QTest::newRow("Frei sends Wert") << u"Frei"_qs << u"40,0"_qs << u"55"_qs << true << u"55"_qs;
        QTest::newRow("Frei as typed") << u"Frei"_qs << QString() << u"2.5"_qs << true << u"2.5"_qs;
        QTest::newRow("Frei empty") << u"Frei"_qs << QString() << QString() << true << QString();
        QTest::newRow("lesen") << u"lesen"_qs << u"21,5"_qs << QString() << false << QString();
        QTest::newRow("Keine") << u"Keine"_qs << u"0,0"_qs << QString() << false << QString();
        QTest::newRow("missing action") << u"-"_qs << QString() << QString() << false << QString();
        QTest::newRow("case matters") << u"ein"_qs << QString() << QString() << false << QString();
    }
    void commandValues() {
        QFETCH(QString, aktion);
        QFETCH(QString, lv);
        QFETCH(QString, wert);
        QFETCH(bool, sends);
        QFETCH(QString, value);
        MenuCommand entry = command(u"x"_qs, aktion, u"768"_qs, lv);
        entry.wert = wert;
        const auto chosen = commandValue(entry);
        QCOMPARE(chosen.has_value(), sends);
        if (sends)
            QCOMPARE(*chosen, value);
    }

    void click_data() {
        QTest::addColumn<QString>("aktion");
        QTest::addColumn<QString>("gan");
        QTest::addColumn<bool>("sendSucceeds");
        QTest::addColumn<int>("reply"); // 0 a line, 1 time-out, 2 link down
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QStringList>("busMonitor"); // newest first
        QTest::addColumn<QStringList>("dispatched");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("answer") << u"Ein"_qs << u"768"_qs << true << 0 << QStringList{u"1|768|1"_qs}
                                << QStringList{u"2|768|1.0"_qs, u"-> 1|768|1"_qs} << QStringList{u"2|768|1.0"_qs}
                                << QStringList{};
        QTest::newRow("time-out") << u"Aus"_qs << u"768"_qs << true << 1 << QStringList{u"1|768|0"_qs}
                                  << QStringList{QString(), u"-> 1|768|0"_qs} << QStringList{QString()}
                                  << QStringList{};
        QTest::newRow("link down") << u"Ein"_qs << u"768"_qs << false << 2 << QStringList{u"1|768|1"_qs}
                                   << QStringList{u"OV Nicht gefunden"_qs, u"-> 1|768|1"_qs} << QStringList{}
                                   << QStringList{u"Verbindung getrennt"_qs};
        QTest::newRow("failed write, answer all the same")
            << u"Ein"_qs << u"768"_qs << false << 0 << QStringList{u"1|768|1"_qs}
            << QStringList{u"2|768|1.0"_qs, u"OV Nicht gefunden"_qs, u"-> 1|768|1"_qs} << QStringList{u"2|768|1.0"_qs}
            << QStringList{};
        QTest::newRow("empty GAN") << u"Ein"_qs << QString() << true << 1 << QStringList{u"1||1"_qs}
                                   << QStringList{QString(), u"-> 1||1"_qs} << QStringList{QString()} << QStringList{};
        QTest::newRow("lesen sends nothing") << u"lesen"_qs << u"1280"_qs << true << -1 << QStringList{}
                                             << QStringList{} << QStringList{} << QStringList{};
    }
    void click() {
        QFETCH(QString, aktion);
        QFETCH(QString, gan);
        QFETCH(bool, sendSucceeds);
        QFETCH(int, reply);
        QFETCH(QStringList, sent);
        QFETCH(QStringList, busMonitor);
        QFETCH(QStringList, dispatched);
        QFETCH(QStringList, errors);
        FakeDialogs dialogs;
        ScriptedChannel channel;
        channel.sendSucceeds = sendSucceeds;
        MenuList menu;
        menu.append(command(u"Erster"_qs, u"Ein"_qs, u"1"_qs, u"0,0"_qs));
        menu.append(command(u"Zweiter"_qs, aktion, gan, u"0,0"_qs));
        MenuExecution execution(menu, channel, dialogs);

        execution.OnMenuItemclick(11);
        QCOMPARE(channel.sent, sent);
        QCOMPARE(bool(channel.pending), reply >= 0);
        if (reply >= 0)
            QCOMPARE(channel.awaitedTimeoutMs, 1000);
        QVERIFY(channel.dispatched.isEmpty()); // nothing happens before the reply
        if (reply == 0)
            channel.reply(u"2|768|1.0"_qs);
        else if (reply == 1)
            channel.reply(QString());
        else if (reply == 2)
            channel.reply(std::nullopt, u"Verbindung getrennt"_qs);
        QCOMPARE(channel.busMonitor, busMonitor);
        QCOMPARE(channel.dispatched, dispatched);
        QCOMPARE(dialogs.texts(FakeDialogs::Kind::Error), errors);
        QCOMPARE(dialogs.boxes.size(), errors.size());
        QCOMPARE(menu.at(1).lv, u"0,0"_qs); // only the dispatched reply changes values
    }

    void clickOnNoEntry() {
        FakeDialogs dialogs;
        ScriptedChannel channel;
        MenuList menu;
        menu.append(command(u"Erster"_qs, u"Ein"_qs, u"1"_qs, u"0,0"_qs));
        MenuExecution execution(menu, channel, dialogs);
        for (qsizetype flat : {qsizetype(5), qsizetype(11), qsizetype(-1)})
            execution.OnMenuItemclick(flat);
        QVERIFY(channel.sent.isEmpty());
        QVERIFY(channel.busMonitor.isEmpty());

        // A reply that comes after the handler is gone is dropped quietly.
        auto gone = std::make_unique<MenuExecution>(menu, channel, dialogs);
        gone->OnMenuItemclick(0);
        gone.reset();
        channel.reply(std::nullopt, u"weg"_qs);
        QVERIFY(dialogs.boxes.isEmpty());
    }

    // A click with the link down, through the program's own link: both lines on the bus monitor,
    // one error box, and the next click goes the same way (nothing is left waiting).
    void clickWithLinkDown() {
        FakeDialogs dialogs;
        FakeTrayIcon tray;
        FakeLinkView view; // never connected
        LinkController link(view, tray, dialogs);
        MenuList menu;
        menu.append(command(u"Licht"_qs, u"Ein"_qs, u"768"_qs, u"0,0"_qs));
        struct Seen : ValueTarget {
            int count = 0;
            void onValue(const DecodedLine &, bool) override { ++count; }
        } dispatched;
        link.dispatch().addTarget(&dispatched);
        MenuExecution execution(menu, link, dialogs);

        const QStringList lines{u"OV Nicht gefunden"_qs, u"-> 1|768|1"_qs};
        execution.OnMenuItemclick(0);
        QCOMPARE(link.busMonitor().lines(), lines);
        QTRY_COMPARE(dialogs.boxes.size(), 1);
        QCOMPARE(dialogs.boxes.at(0).kind, FakeDialogs::Kind::Error);
        QVERIFY(!dialogs.boxes.at(0).text.isEmpty());

        execution.OnMenuItemclick(0);
        QTRY_COMPARE(dialogs.boxes.size(), 2);
        QCOMPARE(link.busMonitor().lines(), lines + lines);
        QCOMPARE(dispatched.count, 0);
        QCOMPARE(menu.at(0).lv, u"0,0"_qs);
    }

    // ---- tray popup ----

    void popupItems() {
        MenuList menu;
        MenuCommand kitchen = command(u"Licht Küche"_qs, u"Ein"_qs, u"2"_qs, u"1,0"_qs, 0);
        kitchen.stateIcon = 1;
        menu.append(kitchen);
        menu.append(MenuCommand::separator());
        menu.append(command(u"Rollo $2"_qs, u"Um"_qs, u"1536"_qs, u"0,0"_qs, 6));
        menu.append(command(u"Tom & Jerry $"_qs, u"lesen"_qs, u"70001"_qs, u"1"_qs, 20));
        menu.append(command(u"$"_qs, u"lesen"_qs, u"3"_qs, u"-"_qs, 17)); // a caption of "-" is a line too
        WildcardTexts texts;
        TrayPopup popup(menu, texts, &colourIcon);
        QCOMPARE(popup.popupMenu()->objectName(), u"PopupMenu"_qs);

        popup.make_popup();
        const auto actions = popup.popupMenu()->actions();
        QCOMPARE(actions.size(), 5);
        const QStringList expectedTexts{u"Licht Küche 1,0"_qs, QString(), u"Rollo oben"_qs, u"Tom && Jerry 1"_qs,
                                        QString()};
        const QList<bool> separators{false, true, false, false, true};
        const QList<int> icons{1, -1, 6, 20, -1};
        for (qsizetype i = 0; i < actions.size(); ++i) {
            QCOMPARE(actions.at(i)->text(), expectedTexts.at(i));
            QCOMPARE(actions.at(i)->isSeparator(), separators.at(i));
            QCOMPARE(actions.at(i)->data().value<qsizetype>(), i * 11);
            if (!separators.at(i))
                QCOMPARE(iconColour(actions.at(i)->icon()), iconColour(colourIcon(icons.at(i))));
        }

        QSignalSpy clicked(&popup, &TrayPopup::menuItemClicked);
        actions.at(2)->trigger();
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.at(0).at(0).value<qsizetype>(), 22);

        // A rebuild shows new values and icons and replaces every item; with the popup closed, the
        // old items are gone at once.
        QList<QPointer<QAction>> oldItems(actions.cbegin(), actions.cend());
        menu[2].lv = u"1,0"_qs;
        menu[2].stateIcon = 7;
        texts.wc2b = u"zu"_qs;
        popup.make_popup();
        const auto rebuilt = popup.popupMenu()->actions();
        QCOMPARE(rebuilt.size(), 5);
        QCOMPARE(rebuilt.at(2)->text(), u"Rollo zu"_qs);
        QCOMPARE(iconColour(rebuilt.at(2)->icon()), iconColour(colourIcon(7)));
        for (const QPointer<QAction> &old : oldItems)
            QVERIFY(old.isNull());
    }

    // An empty menu shows one disabled item saying where to build it; while the link is down a
    // disabled title row says so above the entries, which keep their values.
    void popupRowsOfItsOwn_data() {
        QTest::addColumn<bool>("withEntry");
        QTest::addColumn<bool>("offline");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QList<bool>>("enabled");
        const QString empty = u"Noch kein Menü – im Fenster unter „Menü“ anlegen"_qs;
        const QString title = u"Quendra – offline"_qs;
        QTest::newRow("empty") << false << false << QStringList{empty} << QList<bool>{false};
        QTest::newRow("empty, offline") << false << true << QStringList{title, QString(), empty}
                                        << QList<bool>{false, true, false};
        QTest::newRow("entry") << true << false << QStringList{u"Licht 1,0"_qs} << QList<bool>{true};
        QTest::newRow("entry, offline") << true << true << QStringList{title, QString(), u"Licht 1,0"_qs}
                                        << QList<bool>{false, true, true};
    }
    void popupRowsOfItsOwn() {
        QFETCH(bool, withEntry);
        QFETCH(bool, offline);
        QFETCH(QStringList, expected);
        QFETCH(QList<bool>, enabled);
        MenuList menu;
        if (withEntry)
            menu.append(command(u"Licht"_qs, u"Ein"_qs, u"1"_qs, u"1,0"_qs, 0));
        WildcardTexts texts;
        TrayPopup popup(menu, texts, &colourIcon);
        popup.make_popup();
        popup.setOffline(offline);
        QStringList items;
        QList<bool> active;
        for (const QAction *action : popup.popupMenu()->actions()) {
            items << action->text();
            active << action->isEnabled();
        }
        QCOMPARE(items, expected);
        QCOMPARE(active, enabled);
        QCOMPARE(popup.popupMenu()->accessibleName(), offline ? u"Quendra – offline"_qs : u"Quendra"_qs);
        // The rows of its own run nothing; the entry still does.
        QSignalSpy clicked(&popup, &TrayPopup::menuItemClicked);
        for (QAction *action : popup.popupMenu()->actions())
            action->trigger();
        QCOMPARE(clicked.size(), withEntry ? 1 : 0);

        // Back online, only the entries are left.
        popup.setOffline(false);
        QCOMPARE(popup.popupMenu()->actions().size(), 1);
    }

    void popupDrawsEverySeparator_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("offline");
        QTest::newRow("at the end") << QStringList{u"Licht"_qs, u"-"_qs} << false;
        QTest::newRow("two in a row") << QStringList{u"Licht"_qs, u"-"_qs, u"-"_qs, u"Rollo"_qs} << false;
        QTest::newRow("first, below the offline title") << QStringList{u"-"_qs, u"Licht"_qs} << true;
    }

    // Every "-" the user put in is a line in the popup, also at the end and twice in a row.
    void popupDrawsEverySeparator() {
        QFETCH(QStringList, entries);
        QFETCH(bool, offline);
        MenuList menu;
        for (const QString &text : entries)
            menu.append(text == u"-"_qs ? MenuCommand::separator() : command(text, u"Ein"_qs, u"1"_qs, u"1,0"_qs, 0));
        WildcardTexts texts;
        TrayPopup popup(menu, texts, &colourIcon);
        popup.setOffline(offline);
        popup.make_popup();
        QMenu *shown = popup.popupMenu();
        const auto actions = shown->actions();
        QCOMPARE(actions.size(), entries.size() + (offline ? 2 : 0));
        for (QAction *action : actions)
            QVERIFY2(shown->actionGeometry(action).height() > 0, qPrintable(action->text()));
    }

    // The popup takes an entry for an attribute when it carries the attribute marker as symbol or
    // the state attribute's text: no item for it. The file keeps it.
    void popupLeavesOutWhatLooksLikeAnAttribute() {
        MenuList menu;
        menu.append(command(u"Licht"_qs, u"Ein"_qs, u"1"_qs, u"0,0"_qs, 0));
        menu.append(command(u"Raute"_qs, u"Ein"_qs, u"2"_qs, u"0,0"_qs, 22));
        menu.append(command(u"Symbolstatus"_qs, u"Ein"_qs, u"3"_qs, u"0,0"_qs, 4));
        menu.append(command(u"symbolstatus"_qs, u"Ein"_qs, u"4"_qs, u"0,0"_qs, 21)); // state icon 22 is fine
        menu[3].stateIcon = 22;
        WildcardTexts texts;
        TrayPopup popup(menu, texts, &colourIcon);
        popup.make_popup();
        QStringList items;
        QList<qsizetype> tags;
        for (const QAction *action : popup.popupMenu()->actions()) {
            items << action->text();
            tags << action->data().value<qsizetype>();
        }
        QCOMPARE(items, (QStringList{u"Licht 0,0"_qs, u"symbolstatus 0,0"_qs}));
        QCOMPARE(tags, (QList<qsizetype>{0, 33}));

        TempProgramFolder dir;
        const QString path = dir.file(u"quendramenu.ini"_qs);
        QVERIFY(saveMenuFile(path, menu));
        QCOMPARE(captions(LoadMenuFile(path).menu), captions(menu));
    }

    // Screen readers find the popup, its items by their captions, and every row of the tree.
    void accessibleNames() {
        MenuList menu;
        MenuCommand light = command(u"Tom & Jerry $3"_qs, u"Ein"_qs, u"768"_qs, u"1,0"_qs, 0);
        light.stateIcon = 1;
        menu.append(light);
        menu.append(MenuCommand::separator());
        WildcardTexts texts;
        TrayPopup popup(menu, texts, &colourIcon);
        popup.make_popup();
        QAccessibleInterface *menuInterface = QAccessible::queryAccessibleInterface(popup.popupMenu());
        QVERIFY(menuInterface);
        QCOMPARE(menuInterface->text(QAccessible::Name), u"Quendra"_qs);
        QCOMPARE(menuInterface->childCount(), 2);
        QCOMPARE(menuInterface->child(0)->text(QAccessible::Name), u"Tom & Jerry an"_qs);
        QCOMPARE(menuInterface->child(1)->role(), QAccessible::Separator);

        MenuTreeModel model(menu, &colourIcon);
        const QModelIndex entry = model.index(0, 0);
        QCOMPARE(entry.data(Qt::AccessibleTextRole).toString(), u"Tom & Jerry $3"_qs);
        QStringList names;
        QStringList descriptions;
        for (int row = 0; row < model.rowCount(entry); ++row) {
            names << model.index(row, 0, entry).data(Qt::AccessibleTextRole).toString();
            descriptions << model.index(row, 0, entry).data(Qt::AccessibleDescriptionRole).toString();
        }
        QCOMPARE(names, (QStringList{u"Schaltaktor (0/1)"_qs, u"Ein"_qs, u"Wert"_qs, u"Symbolstatus"_qs, u"768"_qs,
                                     u"1,0"_qs, u"False"_qs, u"False"_qs, u"False"_qs, u"Soundname"_qs}));
        QCOMPARE(descriptions, (QStringList{u"Typ"_qs, u"Aktion"_qs, u"Wert"_qs, u"Bild 1"_qs, u"GAN"_qs, u"LV"_qs,
                                            u"Balloon"_qs, u"Msg"_qs, u"Sound"_qs, u"Soundname"_qs}));
        QCOMPARE(model.index(1, 0).data(Qt::AccessibleTextRole).toString(), u"-"_qs);
    }

    void popupOpenAndClosed() {
        MenuList menu;
        menu.append(command(u"Licht"_qs, u"Ein"_qs, u"1"_qs, u"0,0"_qs));
        WildcardTexts texts;
        TrayPopup popup(menu, texts);
        popup.make_popup();
        QSignalSpy open(&popup, &TrayPopup::menuOpenChanged);
        popup.popupMenu()->popup(QPoint(10, 10));
        QTRY_COMPARE(open.size(), 1);
        QCOMPARE(open.at(0).at(0).toBool(), true);
        popup.popupMenu()->hide();
        QTRY_COMPARE(open.size(), 2);
        QCOMPARE(open.at(1).at(0).toBool(), false);
    }

    // A click on an item goes out on the gateway; the reply lands in the entry and the next popup.
    void clickThroughPopup() {
        FakeDialogs dialogs;
        FakeTrayIcon tray;
        FakeEventSounds sounds;
        ScriptedChannel channel;
        MenuList menu;
        WildcardTexts texts;
        MenuCommand toggle = command(u"Licht Küche $3"_qs, u"Um"_qs, u"2"_qs, u"0,0"_qs, 2);
        toggle.stateIcon = 3;
        toggle.balloon = u"True"_qs;
        menu.append(MenuCommand::separator());
        menu.append(toggle);
        Notifications notifications(menu, texts, tray, dialogs, sounds);
        MenuValueTarget target(menu, notifications, [] { return true; });
        TrayPopup popup(menu, texts, &colourIcon);
        MenuExecution execution(menu, channel, dialogs);
        connect(&popup, &TrayPopup::menuItemClicked, &execution, &MenuExecution::OnMenuItemclick);

        popup.make_popup();
        QCOMPARE(popup.popupMenu()->actions().at(1)->text(), u"Licht Küche aus"_qs);
        popup.popupMenu()->actions().at(1)->trigger();
        QCOMPARE(channel.sent, QStringList{u"1|2|1"_qs});
        channel.reply(u"2|2|1.0"_qs);
        QCOMPARE(channel.dispatched, QStringList{u"2|2|1.0"_qs});
        // What the link does with the dispatched reply:
        target.onValue(decoded(u"2"_qs, u"1.0"_qs), false);
        popup.make_popup();
        QCOMPARE(tray.balloons.size(), 1);
        QCOMPARE(tray.balloons.at(0).text, u"Licht Küche an"_qs);
        QCOMPARE(tray.hint(), u"Licht Küche an"_qs);
        QVERIFY(dialogs.boxes.isEmpty());
        QCOMPARE(popup.popupMenu()->actions().at(1)->text(), u"Licht Küche an"_qs);
        QCOMPARE(iconColour(popup.popupMenu()->actions().at(1)->icon()), iconColour(colourIcon(2)));
    }

    // ---- event sounds ----

    void soundNamesFromThemes() {
        TempProgramFolder dir;
        const auto touch = [&](const QString &relative) {
            QVERIFY(QDir(dir.path()).mkpath(QFileInfo(dir.file(relative)).path()));
            QVERIFY(writeFile(dir.file(relative), "x"));
        };
        touch(u"a/freedesktop/stereo/bell.oga"_qs);
        touch(u"a/freedesktop/stereo/window-attention.oga"_qs);
        touch(u"a/freedesktop/stereo/.hidden.oga"_qs);
        touch(u"a/other/stereo/bell.ogg"_qs);
        touch(u"a/other/stereo/alarm.clock.wav"_qs);
        touch(u"a/other/mono/mono-only.oga"_qs);
        touch(u"b/third/stereo/complete"_qs);
        QVERIFY(QDir(dir.path()).mkpath(u"a/other/stereo/folder.oga"_qs));
        CanberraEventSounds sounds({dir.file(u"a"_qs), dir.file(u"b"_qs), dir.file(u"none"_qs)});
        QCOMPARE(sounds.eventNames(),
                 (QStringList{u"alarm.clock"_qs, u"bell"_qs, u"complete"_qs, u"window-attention"_qs}));
    }

    // Whatever the machine has for sound (often nothing here), playing never fails or hangs.
    void soundsPlayWithoutDevice() {
        auto sounds = createEventSounds();
        QVERIFY(sounds);
        sounds->play(u"bell"_qs);
        sounds->play(u"Sound auswählen ..."_qs);
        sounds->play(QString());
        sounds->play(u"window-attention"_qs);
        sounds.reset();

        // What the system is asked for: a name it does not know, then the default sound.
        QMutex mutex;
        QList<QByteArray> asked;
        CanberraEventSounds known({}, [&](const QByteArray &id) {
            const QMutexLocker lock(&mutex);
            asked.append(id);
            return id == "bell" || id == "message";
        });
        const auto askedSoFar = [&] {
            const QMutexLocker lock(&mutex);
            return asked;
        };
        known.play(u"message"_qs);
        known.play(u"Sound auswählen ..."_qs);
        known.play(QString());
        const QList<QByteArray> expected{"message", "Sound auswählen ...", "bell", "", "bell"};
        QTRY_COMPARE(askedSoFar(), expected);
    }

    // The list offers the system's names but keeps what it shows; play takes the shown text.
    void soundPickerFillsAndPlays() {
        FakeEventSounds sounds;
        SoundPicker picker(sounds);
        QCOMPARE(picker.gasoundlist->currentText(), SoundPicker::kPrompt);
        picker.FillSoundList();
        QCOMPARE(picker.gasoundlist->count(), 2);
        QCOMPARE(picker.gasoundlist->itemText(1), u"message"_qs);
        QCOMPARE(picker.gasoundlist->currentText(), SoundPicker::kPrompt);
        QTest::mouseClick(picker.TeButton4, Qt::LeftButton);
        picker.gasoundlist->setCurrentIndex(1);
        picker.FillSoundList(); // opening the panel again keeps the choice
        QCOMPARE(picker.gasoundlist->currentText(), u"message"_qs);
        picker.TeButton4Click();
        picker.gasoundlist->setEditText(u"eigener Klang"_qs);
        picker.TeButton4Click();
        QCOMPARE(sounds.played, (QStringList{SoundPicker::kPrompt, u"message"_qs, u"eigener Klang"_qs}));
    }

    void soundNamesAreAView_data() {
        QTest::addColumn<QString>("stored"); // the entry's sound name, as the menu file holds it
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("kept"); // what the entry keeps and what plays
        QTest::newRow("listed") << u"message"_qs << u"Nachricht"_qs << u"message"_qs;
        QTest::newRow("listed, other case") << u"Bell"_qs << u"Glocke"_qs << u"bell"_qs;
        // A stored name that happens to be a shown name is not an event of the system: it stays.
        QTest::newRow("not listed") << u"Glocke"_qs << u"Glocke"_qs << u"Glocke"_qs;
        QTest::newRow("prompt") << SoundPicker::kPrompt << SoundPicker::kPrompt << SoundPicker::kPrompt;
    }

    // The list shows the system's names for its sounds; entries keep and play the event names.
    void soundNamesAreAView() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, kept);
        GermanEventSounds sounds;
        SoundPicker picker(sounds);
        picker.FillSoundList();
        QCOMPARE(picker.gasoundlist->itemText(0), u"Glocke"_qs);
        QCOMPARE(picker.gasoundlist->itemText(1), u"Nachricht"_qs);
        picker.showSoundName(stored);
        QCOMPARE(picker.gasoundlist->currentText(), shown);
        QCOMPARE(picker.soundName(), kept);
        picker.FillSoundList(); // the panel opened again
        QCOMPARE(picker.gasoundlist->currentText(), shown);
        QCOMPARE(picker.soundName(), kept);
        QTest::mouseClick(picker.TeButton4, Qt::LeftButton);
        QCOMPARE(sounds.played, QStringList{kept});
    }

    void germanSoundNames_data() {
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("shown");
        QTest::newRow("bell") << u"bell"_qs << u"Glocke"_qs;
        QTest::newRow("message") << u"message"_qs << u"Nachricht"_qs;
        QTest::newRow("window-attention") << u"window-attention"_qs << u"Fenster verlangt Aufmerksamkeit"_qs;
        QTest::newRow("dialog-warning") << u"dialog-warning"_qs << u"Warnung"_qs;
        QTest::newRow("unknown id") << u"x-quendra-klingel"_qs << u"x-quendra-klingel"_qs;
        QTest::newRow("the prompt") << SoundPicker::kPrompt << SoundPicker::kPrompt;
    }

    // The event ids of the freedesktop sound theme get German names; others are shown as they are.
    void germanSoundNames() {
        QFETCH(QString, event);
        QFETCH(QString, shown);
        const CanberraEventSounds sounds(QStringList{});
        QCOMPARE(sounds.displayName(event), shown);
    }

    // Every sound of the freedesktop theme installed here is offered under a German name.
    void everyFreedesktopSoundHasAGermanName() {
        const QString theme = u"/usr/share/sounds/freedesktop/stereo"_qs;
        if (!QFileInfo(theme).isDir())
            QSKIP("no freedesktop sound theme installed");
        const CanberraEventSounds sounds({u"/usr/share/sounds"_qs});
        const QDir stereo(theme);
        for (const QFileInfo &file : stereo.entryInfoList(QDir::Files))
            QVERIFY2(sounds.displayName(file.completeBaseName()) != file.completeBaseName(),
                     qPrintable(file.completeBaseName()));
    }
};

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
