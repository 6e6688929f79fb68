// The whole program with its history "Verlauf" against the simulator: values and balloons
// recorded, the unread count at the tray, the chart of an object, and a mute from the tray popup
// that holds its balloons back across a restart while its values are still recorded.
#include "AnsiText.h"
#include "ChartPanel.h"
#include "History.h"
#include "HistoryTexts.h"
#include "HistoryWindow.h"
#include "MainWindow.h"
#include "MenuFile.h"
#include "MuteList.h"
#include "OvsimProcess.h"
#include "ProgramFixture.h"
#include "TrayIconLook.h"
#include "WidgetDriving.h"

#include <QSignalSpy>
#include <QTest>

using namespace ProgramFixture;

namespace {
constexpr char kTemperature[] = "1280";

History &historyOf(Program &p) {
    return *p.wiring.history()->history();
}

// The values the history holds for the object, oldest first, once everything handed over is written.
QStringList recordedValues(Program &p, const QString &gan) {
    QStringList values;
    bool answered = false;
    QObject context;
    historyOf(p).querySeries(gan, 0, historyOf(p).now() + 1000, &context, [&](const SeriesRows &series) {
        for (const ValueRecord &row : series.rows)
            values.append(row.value);
        answered = true;
    });
    if (!QTest::qWaitFor([&] { return answered; }, 5000))
        return {u"(no answer)"_qs};
    return values;
}

// The events the history holds, newest first.
QList<EventRecord> recordedEvents(Program &p) {
    QList<EventRecord> events;
    bool answered = false;
    QObject context;
    historyOf(p).queryEvents({}, &context, [&](const EventPage &page) {
        events = page.events;
        answered = true;
    });
    if (!QTest::qWaitFor([&] { return answered; }, 5000))
        return {};
    return events;
}

// The popup's item whose caption starts so.
QAction *itemStarting(QMenu *popup, const QString &start) {
    for (QAction *item : popup->actions())
        if (item->text().startsWith(start))
            return item;
    return nullptr;
}

// The tray popup opened, the entry highlighted and its context menu opened with the menu key.
QMenu *entryMenuByKeyboard(Program &p, const QString &caption) {
    QMenu *popup = p.wiring.popup()->popupMenu();
    popup->popup({10, 10});
    if (!QTest::qWaitForWindowExposed(popup) || !itemStarting(popup, caption))
        return nullptr;
    popup->setActiveAction(itemStarting(popup, caption));
    QTest::keyClick(popup, Qt::Key_Menu);
    QMenu *menu = p.wiring.popup()->entryMenu();
    return menu && menu->isVisible() ? menu : nullptr;
}
} // namespace

class TestProgramHistory : public QObject {
    Q_OBJECT
private slots:
    void valuesBalloonsChartAndMuteAcrossRestart() {
        TempProgramFolder folder;
        OvsimProcess ovsim;
        QVERIFY(startAgainst(ovsim, folder));

        auto program = std::make_unique<Program>(folder);
        Program &p = *program;
        QVERIFY(p.start());
        // The values read at connecting are recorded as received.
        QTRY_COMPARE(recordedValues(p, u"768"_qs), QStringList{u"40.0"_qs});
        QCOMPARE(recordedValues(p, kTemperature), QStringList{u"21.5"_qs});

        // A balloon raised while the window was never open is unread; the tray counts it.
        QVERIFY(ovsim.setValue(kTemperature, u"22.7"_qs));
        QTRY_COMPARE(p.notificationBalloons(), QStringList{u"Temperatur 22 °C"_qs});
        QTRY_VERIFY(!recordedEvents(p).isEmpty());
        const EventRecord balloon = recordedEvents(p).first();
        QCOMPARE(balloon.kindKey, EventKinds::key(EventKind::Balloon));
        QVERIFY2(balloon.text.contains(u"Temperatur 22 °C"_qs), qPrintable(balloon.text));
        QVERIFY(!balloon.read);
        MainWindow &window = *p.startup.mainWindow();
        QTRY_VERIFY(historyOf(p).unreadCount() > 0);
        QTRY_COMPARE(window.trayIconLook().count(), historyOf(p).unreadCount());
        // The popup's title row says so when it opens; its last row opens the window.
        QMenu *popup = p.wiring.popup()->popupMenu();
        popup->popup({10, 10});
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        QCOMPARE(popup->actions().first()->text(), HistoryTexts::kUnreadTitle.arg(historyOf(p).unreadCount()));
        QAction *row = popup->actions().last();
        QCOMPARE(row->text(), HistoryTexts::kWindowTitle);
        popup->hide();
        row->trigger();
        HistoryWindow *historyWindow = p.wiring.history()->window();
        QVERIFY(historyWindow && historyWindow->isVisible());

        // An object put on the window from the catalogue shows its values in the chart.
        auto *chart = historyWindow->findChild<ChartPanel *>();
        QVERIFY(WidgetDriving::dropOnto(chart, DraggedObject{QString::fromLatin1(kTemperature), u"5/0/0"_qs, {}}));
        QTRY_VERIFY(!chart->shown().points.isEmpty());
        QTRY_COMPARE(chart->shown().points.last().y(), 22.7);
        historyWindow->close();

        // "Stumm für 1 Stunde" from the temperature entry's context menu: no balloon, the value is
        // still recorded.
        QMenu *entryMenu = entryMenuByKeyboard(p, u"Temperatur"_qs);
        QVERIFY(entryMenu);
        const QStringList offered = [&] {
            QStringList captions;
            for (const QAction *a : entryMenu->actions())
                captions.append(a->text());
            return captions;
        }();
        QCOMPARE(offered, QStringList({HistoryTexts::kMuteHour, HistoryTexts::kMuteMorning}));
        entryMenu->actions().first()->trigger();
        popup->hide();
        QVERIFY(historyOf(p).mutes().isMuted(kTemperature, QDateTime::currentDateTime()));
        QVERIFY(ovsim.setValue(kTemperature, u"23.4"_qs));
        QTRY_COMPARE(p.menu().at(3).lv, u"23,4"_qs);
        QTRY_COMPARE(recordedValues(p, kTemperature).last(), u"23.4"_qs);
        QCOMPARE(p.notificationBalloons(), QStringList{u"Temperatur 22 °C"_qs});

        // The mute and the unread events outlive the program.
        p.startup.mainWindow()->close();
        program.reset();
        Program again(folder);
        QVERIFY(again.start());
        QVERIFY(historyOf(again).mutes().isMuted(kTemperature, QDateTime::currentDateTime()));
        QTRY_VERIFY(again.startup.mainWindow()->trayIconLook().count() > 0);
        QVERIFY(ovsim.setValue(kTemperature, u"24.1"_qs));
        QTRY_COMPARE(again.menu().at(3).lv, u"24,1"_qs);
        QTRY_COMPARE(recordedValues(again, kTemperature).last(), u"24.1"_qs);
        QVERIFY(again.notificationBalloons().isEmpty());

        // "Stumm aufheben", now offered too, lets the next change raise its balloon again.
        QMenu *again3 = entryMenuByKeyboard(again, u"Temperatur"_qs);
        QVERIFY(again3);
        QAction *unmute = again3->findChild<QAction *>(u"unmute"_qs);
        QVERIFY(unmute);
        unmute->trigger();
        again.wiring.popup()->popupMenu()->hide();
        QVERIFY(ovsim.setValue(kTemperature, u"25.0"_qs));
        QTRY_COMPARE(again.notificationBalloons(), QStringList{u"Temperatur 25 °C"_qs});
        again.startup.mainWindow()->close();
    }

    // A right click on an entry opens its context menu and runs nothing.
    void rightClickOnAnEntryOpensItsContextMenu() {
        TempProgramFolder folder;
        writeSettings(folder, 1, 1);
        folder.write(kMenuFileName, AnsiText::encode(kMenu));
        Program p(folder);
        QVERIFY(p.start());
        QMenu *popup = p.wiring.popup()->popupMenu();
        popup->popup({10, 10});
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        QAction *entry = itemStarting(popup, u"Licht"_qs);
        QVERIFY(entry);
        QSignalSpy clicked(p.wiring.popup(), &TrayPopup::menuItemClicked);
        const QPoint at = popup->actionGeometry(entry).center();
        QTest::mousePress(popup, Qt::RightButton, {}, at);
        QTest::mouseRelease(popup, Qt::RightButton, {}, at);
        QMenu *menu = p.wiring.popup()->entryMenu();
        QVERIFY(menu && menu->isVisible());
        QCOMPARE(menu->accessibleName(), entry->text());
        QVERIFY(menu->findChild<QAction *>(u"muteMorning"_qs));
        QCOMPARE(clicked.count(), 0);
        menu->hide();
        popup->hide();
        p.startup.mainWindow()->close();
    }
};

QTEST_MAIN(TestProgramHistory)
#include "tst_program_history.moc"
