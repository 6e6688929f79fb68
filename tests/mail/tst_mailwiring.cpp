// Mail polling in the whole program: the mail file loaded into the tab "Email" at start-up, the
// settings "Mail" and "Mailtime" on the tab and on Timer3, and the file saved by the editor and
// at the end.
#include "AppCore.h"
#include "FakePlatform.h"
#include "MailFile.h"
#include "MailPanel.h"
#include "MailPoller.h"
#include "MailTexts.h"
#include "MailWiring.h"
#include "MainWindow.h"
#include "ProgramWiring.h"
#include "Startup.h"
#include "TempProgramFolder.h"
#include "WorkArea.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

namespace {
const QByteArray kMailFile("[0]\r\nBezeichnung=pop.example.org\r\nHost=pop.example.org\r\nPort=110\r\n"
                           "Balloon=-1\r\nGetAc=0\r\nLogin=anna\r\nPW=geheim\r\nGANAnz=768\r\nGANAbs0=1\r\n");

struct Program {
    explicit Program(const TempProgramFolder &folder)
        : core(folder.paths(), platform.services(), QString()), wiring(core), startup(core) {}
    bool start() {
        startup.run();
        return QTest::qWaitFor([this] { return startup.isFinished(); }, 5000);
    }
    template <typename W> W *find(const char *name) const {
        return startup.mainWindow()->findChild<W *>(QLatin1String(name));
    }
    QTimer *timer3() const { return wiring.mail()->poller()->findChild<QTimer *>(QStringLiteral("Timer3")); }

    FakePlatform platform;
    AppCore core;
    ProgramWiring wiring;
    Startup startup;
};

void writeSettings(const TempProgramFolder &folder, const QString &mail, const QString &mailtime) {
    folder.write(QStringLiteral("quendra.ini"),
                 QStringLiteral("[Orvanel]\r\nOffline=1\r\nMail=%1\r\nMailtime=%2\r\nPfad=%3\r\n")
                     .arg(mail, mailtime, folder.path())
                     .toUtf8());
}
} // namespace

class TestMailWiring : public QObject {
    Q_OBJECT

private slots:
    void settingsDriveTheTabAndTimer3_data();
    void settingsDriveTheTabAndTimer3();
    void mailtimeBelowOneMinute_data();
    void mailtimeBelowOneMinute();
    void accountsAreLoadedAndSaved();
};

void TestMailWiring::settingsDriveTheTabAndTimer3_data() {
    QTest::addColumn<QString>("mail");
    QTest::addColumn<QString>("mailtime");
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("minutes");
    QTest::newRow("on, 3 minutes") << "1"
                                   << "3" << true << 3;
    QTest::newRow("off, 12 minutes") << "0"
                                     << "12" << false << 12;
    QTest::newRow("on, no number: 5 minutes") << "1"
                                              << "x" << true << 5;
}

void TestMailWiring::settingsDriveTheTabAndTimer3() {
    QFETCH(QString, mail);
    QFETCH(QString, mailtime);
    QFETCH(bool, running);
    QFETCH(int, minutes);
    TempProgramFolder folder;
    writeSettings(folder, mail, mailtime);
    Program p(folder);
    QVERIFY(p.start());
    auto *box = p.find<QCheckBox>("OVGETMAIL");
    auto *interval = p.find<QSpinBox>("OVMAILTIME");
    QVERIFY(box && interval);
    QCOMPARE(box->isChecked(), running);
    QCOMPARE(interval->value(), minutes);
    QCOMPARE(p.timer3()->isActive(), running);
    QCOMPARE(p.timer3()->interval(), minutes * 60000);

    // A click on the box and a new interval go to Timer3 and into the settings.
    box->click();
    QCOMPARE(p.timer3()->isActive(), !running);
    QCOMPARE(p.core.settings().mail(), !running);
    interval->setValue(42);
    QCOMPARE(p.timer3()->interval(), 42 * 60000);
    QCOMPARE(p.timer3()->isActive(), !running);
    QCOMPARE(p.core.settings().mailtime(), QStringLiteral("42"));
}

void TestMailWiring::mailtimeBelowOneMinute_data() {
    QTest::addColumn<QString>("mailtime");
    QTest::newRow("0") << "0";
    QTest::newRow("-3") << "-3";
}

// A settings file may hold an interval the tab cannot: the poll takes one minute and says so once;
// the file keeps what it holds until the user picks an interval.
void TestMailWiring::mailtimeBelowOneMinute() {
    QFETCH(QString, mailtime);
    TempProgramFolder folder;
    writeSettings(folder, QStringLiteral("1"), mailtime);
    Program p(folder);
    QVERIFY(p.start());
    QCOMPARE(p.find<QSpinBox>("OVMAILTIME")->value(), 1);
    QVERIFY(p.timer3()->isActive());
    QCOMPARE(p.timer3()->interval(), 60000);
    QCOMPARE(p.platform.dialogs.texts(FakeDialogs::Kind::Information), QStringList{kMailIntervalRaised.arg(mailtime)});
    QCOMPARE(p.platform.dialogs.texts(FakeDialogs::Kind::Error), QStringList());
    QCOMPARE(p.core.settings().mailtime(), mailtime);
    p.startup.mainWindow()->close();
    QVERIFY(folder.read(QStringLiteral("quendra.ini")).contains("Mailtime=" + mailtime.toLatin1() + "\r\n"));
    QCOMPARE(p.platform.dialogs.texts(FakeDialogs::Kind::Information).size(), 1);
}

void TestMailWiring::accountsAreLoadedAndSaved() {
    TempProgramFolder folder;
    writeSettings(folder, QStringLiteral("0"), QStringLiteral("5"));
    QVERIFY(folder.write(kMailFileName, kMailFile));
    Program p(folder);
    QVERIFY(p.start());
    // The panel sits on the tab "Email".
    auto *tabs = p.startup.mainWindow()->workTabs();
    auto *panel = p.find<MailPanel>("mailPanel");
    QVERIFY(panel);
    QCOMPARE(tabs->tabText(tabs->indexOf(panel->parentWidget())), QStringLiteral("Email"));
    auto *etree = p.find<QTreeView>("etree");
    QCOMPARE(etree->model()->rowCount(), 1);
    QCOMPARE(etree->model()->index(0, 0).data().toString(), QStringLiteral("pop.example.org"));

    // Confirming in the editor saves at once.
    panel->eneuClick();
    panel->dropObjectOnCount({QStringLiteral("900"), QString(), QString()});
    p.find<QLineEdit>("SERVER")->setText(QStringLiteral("mail.example.net"));
    p.find<QLineEdit>("LOGIN")->setText(QStringLiteral("bob"));
    panel->Hinzubtn3Click();
    const MailFileContent saved = loadMailFile(mailFilePath(folder.path()));
    QCOMPARE(saved.accounts.size(), 2);
    QCOMPARE(saved.accounts.at(1).countGan, QStringLiteral("900"));
    QCOMPARE(saved.accounts, p.wiring.mail()->accounts());

    // A name edited in the tree is stored at the end.
    etree->model()->setData(etree->model()->index(0, 0), QStringLiteral("Privat"));
    p.startup.mainWindow()->close();
    QCOMPARE(loadMailFile(mailFilePath(folder.path())).accounts.at(0).name, QStringLiteral("Privat"));
    QCOMPARE(p.platform.dialogs.texts(FakeDialogs::Kind::Error), QStringList());
}

QTEST_MAIN(TestMailWiring)
#include "tst_mailwiring.moc"
