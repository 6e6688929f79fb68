// The menu as data: the state and caption rules, flat positions, and the menu file.
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
#include "MenuTestData.h"
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
};

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
