// The wildcard texts dialog: what it loads, what "Schließen" stores, and what its close box does not.
#include "MenuEditorRig.h"
#include "WildcardDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

using namespace MenuEditorRig;

class TestMenuEditorWildcards : public QObject {
    Q_OBJECT

private slots:
    void wildcardDialogLoads_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("shown");
        const QStringList defaults{u"auf"_qs, u"zu"_qs, u"oben"_qs, u"unten"_qs, u"an"_qs, u"aus"_qs};
        QTest::newRow("no file") << QByteArray() << defaults;
        QTest::newRow("no [TEXTE]") << QByteArray("[Orvanel]\r\nIP=1.2.3.4\r\n") << defaults;
        QTest::newRow("some keys") << QByteArray("[texte]\r\nwc1a=offen\r\nWC3B=\r\n")
                                   << QStringList{u"offen"_qs, u"zu"_qs, u"oben"_qs, u"unten"_qs, u"an"_qs, QString()};
    }

    void wildcardDialogLoads() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, shown);
        TempProgramFolder folder;
        if (!file.isEmpty())
            QVERIFY(folder.write(u"quendra.ini"_qs, file));
        WildcardTexts texts;
        FakeDialogs dialogs;
        WildcardDialog dialog(folder.settingsFile(), texts, dialogs);
        QCOMPARE(dialog.objectName(), u"TForm5"_qs);
        QCOMPARE(dialog.windowTitle(), u"Quendra Konfig"_qs);
        QStringList edits;
        for (const char *name : {"wc1auf", "wc1zu", "wc2oben", "wc2unten", "wc3an", "wc3aus"})
            edits << dialog.findChild<QLineEdit *>(QLatin1String(name))->text();
        QCOMPARE(edits, shown);
        QCOMPARE(texts, WildcardTexts()); // the words in use change only with "Schließen"
    }

    // "Schließen" stores the six keys in order and the caption rule takes them from the next rebuild.
    void wildcardDialogCloses() {
        TempProgramFolder folder;
        QVERIFY(folder.write(u"quendra.ini"_qs, "[Orvanel]\r\nKey=geheim\r\n"));
        MenuList menu;
        menu.append(entry(u"Tür $1"_qs));
        menu[0].lv = u"1,0"_qs;
        WildcardTexts texts;
        TrayPopup popup(menu, texts);
        popup.make_popup();
        FakeDialogs dialogs;
        WildcardDialog dialog(folder.settingsFile(), texts, dialogs);
        dialog.findChild<QLineEdit *>(u"wc1auf"_qs)->setText(u"offen"_qs);
        dialog.findChild<QLineEdit *>(u"wc3aus"_qs)->clear();
        dialog.show();
        dialog.findChild<QPushButton *>(u"TeButton1"_qs)->click();
        QVERIFY(dialog.isHidden());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialogs.boxes.isEmpty());
        QStringList written;
        for (const QString &line : QString::fromLatin1(folder.read(u"quendra.ini"_qs)).split(u'\n'))
            if (line.startsWith(u"WC"_qs))
                written << line.trimmed();
        QCOMPARE(written, (QStringList{u"WC1A=offen"_qs, u"WC1B=zu"_qs, u"WC2A=oben"_qs, u"WC2B=unten"_qs,
                                       u"WC3A=an"_qs, u"WC3B="_qs}));
        QCOMPARE(IniFile(folder.settingsFile()).readString(u"Orvanel"_qs, u"Key"_qs), u"geheim"_qs);
        QCOMPARE(QFile(folder.settingsFile()).permissions() & (QFile::ReadOther | QFile::ReadGroup),
                 QFile::Permissions());
        QCOMPARE(texts.wc1a, u"offen"_qs);
        QCOMPARE(texts.wc3b, QString());
        QCOMPARE(popup.popupMenu()->actions().at(0)->text(), u"Tür auf"_qs);
        popup.make_popup();
        QCOMPARE(popup.popupMenu()->actions().at(0)->text(), u"Tür offen"_qs);
    }

    // A settings file that cannot be read is not written over; the words still take effect.
    void wildcardDialogUnreadableFile() {
        TempProgramFolder folder;
        QVERIFY(QDir(folder.path()).mkdir(u"quendra.ini"_qs));
        WildcardTexts texts;
        FakeDialogs dialogs;
        WildcardDialog dialog(folder.settingsFile(), texts, dialogs);
        dialog.findChild<QLineEdit *>(u"wc2oben"_qs)->setText(u"hoch"_qs);
        dialog.findChild<QPushButton *>(u"TeButton1"_qs)->click();
        QCOMPARE(dialogs.texts(FakeDialogs::Kind::Error).size(), 1);
        QVERIFY(dialogs.texts(FakeDialogs::Kind::Error).at(0).contains(folder.settingsFile()));
        QVERIFY(QFileInfo(folder.settingsFile()).isDir());
        QCOMPARE(texts.wc2a, u"hoch"_qs);
    }

    // The window's own close button stores nothing; the edits keep what was typed.
    void wildcardDialogCloseBox() {
        TempProgramFolder folder;
        const QByteArray before("[TEXTE]\r\nWC1A=auf\r\n");
        QVERIFY(folder.write(u"quendra.ini"_qs, before));
        WildcardTexts texts;
        FakeDialogs dialogs;
        WildcardDialog dialog(folder.settingsFile(), texts, dialogs);
        dialog.show();
        QLineEdit *wc1auf = dialog.findChild<QLineEdit *>(u"wc1auf"_qs);
        wc1auf->setText(u"offen"_qs);
        QVERIFY(dialog.close());
        QVERIFY(dialog.isHidden());
        QCOMPARE(folder.read(u"quendra.ini"_qs), before);
        QCOMPARE(texts, WildcardTexts());
        dialog.show();
        QCOMPARE(wc1auf->text(), u"offen"_qs);
        dialog.findChild<QPushButton *>(u"TeButton1"_qs)->click();
        QCOMPARE(texts.wc1a, u"offen"_qs);
        QCOMPARE(IniFile(folder.settingsFile()).readString(u"TEXTE"_qs, u"WC1A"_qs), u"offen"_qs);
    }
};

QTEST_MAIN(TestMenuEditorWildcards)
#include "tst_menueditor_wildcards.moc"
