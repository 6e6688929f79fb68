// The window "Verlauf" as a user meets it: the event list with its filters, "Alle als gelesen
// markieren", mutes from the list by keyboard, the limits, the chart and its CSV export; every
// control named for screen readers.
#include "ChartPanel.h"
#include "EventListModel.h"
#include "FakeDialogs.h"
#include "HistoryTestSupport.h"
#include "HistoryTexts.h"
#include "HistoryWindow.h"
#include "MuteList.h"
#include "WidgetDriving.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeView>

using namespace HistoryTest;
using WidgetDriving::named;

namespace {
// The window's chart comes from the built chart plugin.
const bool kChartPlugin = qputenv("QUENDRA_CHART_PLUGIN", QUENDRA_CHART_PLUGIN_FILE);

// A history with a few events, oldest first: two balloons and a lost link.
struct Fixture {
    QTemporaryDir dir;
    History history{dir.path()};
    FakeDialogs dialogs;
    HistoryWindow window{history, dialogs};

    Fixture() {
        history.recordEvent(EventKind::Balloon, u"769"_qs, u"Licht Flur an"_qs);
        history.recordEvent(EventKind::LinkLost, {}, u"Verbindung zum OV verloren"_qs);
        history.recordEvent(EventKind::Balloon, u"768"_qs, u"Licht KÜCHE an"_qs);
        settled(history);
        window.show();
    }
    QTreeView *list() const { return named<QTreeView>(&window, u"eventList"_qs); }
    QStringList texts() const {
        QStringList shown;
        const QAbstractItemModel *model = list()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            shown << model->index(row, EventListModel::Text).data().toString();
        return shown;
    }
    int rowOf(const QString &text) const { return int(texts().indexOf(text)); }
};
} // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT
private slots:
    void filters_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("texts");
        const QString all = u"Alle Arten"_qs;
        const QString every = u"Alle Objekte"_qs;
        QTest::newRow("newest first") << all << every << QString()
                                      << QStringList{u"Licht KÜCHE an"_qs, u"Verbindung zum OV verloren"_qs,
                                                     u"Licht Flur an"_qs};
        QTest::newRow("kind") << u"Verbindung verloren"_qs << every << QString()
                              << QStringList{u"Verbindung zum OV verloren"_qs};
        QTest::newRow("object") << all << u"769"_qs << QString() << QStringList{u"Licht Flur an"_qs};
        QTest::newRow("search") << all << every << u"küche"_qs << QStringList{u"Licht KÜCHE an"_qs};
        QTest::newRow("kind and search") << u"Sprechblase"_qs << every << u"licht"_qs
                                         << QStringList{u"Licht KÜCHE an"_qs, u"Licht Flur an"_qs};
    }
    void filters() {
        QFETCH(QString, kind);
        QFETCH(QString, object);
        QFETCH(QString, search);
        QFETCH(QStringList, texts);
        Fixture f;
        QTRY_COMPARE(f.texts().size(), 3);
        WidgetDriving::choose(named<QComboBox>(&f.window, u"kindFilter"_qs), kind);
        auto *objects = named<QComboBox>(&f.window, u"objectFilter"_qs);
        QTRY_VERIFY(objects->findText(object) >= 0);
        WidgetDriving::choose(objects, object);
        named<QLineEdit>(&f.window, u"searchField"_qs)->insert(search); // as typed (keyClicks takes ASCII only)
        QTRY_COMPARE(f.texts(), texts);
    }

    // Unread events are bold (and "ungelesen" for screen readers) until the button marks them
    // read; the badge's count follows.
    void markAllRead() {
        Fixture f;
        QTRY_COMPARE(f.texts().size(), 3);
        QCOMPARE(f.history.unreadCount(), 3);
        const QModelIndex first = f.list()->model()->index(0, 0);
        QVERIFY(first.data(Qt::FontRole).value<QFont>().bold());
        QCOMPARE(first.data(Qt::AccessibleDescriptionRole).toString(), HistoryTexts::kUnread);
        named<QPushButton>(&f.window, u"markAllRead"_qs)->click();
        QTRY_COMPARE(f.history.unreadCount(), 0);
        QTRY_VERIFY(!f.list()->model()->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
        // A new event is unread again, and shows at once.
        f.history.recordEvent(EventKind::KeyRefused, {}, u"Key abgelehnt"_qs);
        QTRY_COMPARE(f.texts().value(0), u"Key abgelehnt"_qs);
        QCOMPARE(f.history.unreadCount(), 1);
    }

    void muteFromTheList_data() {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QStringList>("chosen"); // the actions, in order
        QTest::addColumn<bool>("muted");
        QTest::addColumn<qint64>("forSeconds"); // how long, when muted (-1: until the morning)
        QTest::newRow("one hour, context-menu key")
            << QKeySequence(Qt::Key_Menu) << QStringList{u"Stumm für 1 Stunde"_qs} << true << qint64(3600);
        QTest::newRow("until the morning, Shift+F10")
            << QKeySequence(Qt::SHIFT | Qt::Key_F10) << QStringList{u"Stumm bis morgen früh"_qs} << true << qint64(-1);
        QTest::newRow("lifted") << QKeySequence(Qt::Key_Menu)
                                << QStringList{u"Stumm für 1 Stunde"_qs, u"Stumm aufheben"_qs} << false << qint64(0);
    }
    // Without a mouse: choose the event, open its menu with the key, pick the mute with the arrow
    // keys and Enter. The mute is stored and shown below the list.
    void muteFromTheList() {
        QFETCH(QKeySequence, key);
        QFETCH(QStringList, chosen);
        QFETCH(bool, muted);
        QFETCH(qint64, forSeconds);
        Fixture f;
        QTRY_COMPARE(f.texts().size(), 3);
        QTreeView *list = f.list();
        list->setFocus();
        list->setCurrentIndex(list->model()->index(f.rowOf(u"Licht KÜCHE an"_qs), 0));
        for (const QString &action : chosen) {
            QTest::keySequence(list, key);
            auto *menu = f.window.findChild<QMenu *>(u"eventMenu"_qs);
            QTRY_VERIFY(menu && menu->isVisible());
            QAction *wanted = nullptr;
            for (QAction *a : menu->actions())
                if (a->text() == action)
                    wanted = a;
            QVERIFY(wanted && wanted->isEnabled());
            while (menu->activeAction() != wanted)
                QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
            QTRY_VERIFY(!menu->isVisible());
        }
        const QDateTime now = QDateTime::fromMSecsSinceEpoch(f.history.now());
        QCOMPARE(f.history.mutes().isMuted(u"768"_qs, now), muted);
        QVERIFY(!f.history.mutes().isMuted(u"769"_qs, now));
        const QString shown = named<QLabel>(&f.window, u"mutedObjects"_qs)->text();
        QCOMPARE(shown.contains(u"768"_qs), muted);
        if (!muted)
            return;
        const QDateTime until = *f.history.mutes().mutedUntil(u"768"_qs, now);
        if (forSeconds > 0)
            QVERIFY(qAbs(now.secsTo(until) - forSeconds) < 60);
        else
            QCOMPARE(until, MuteList::nextMorning(now).toUTC());
        // Stored: a restarted program reads the same.
        QVERIFY(MuteList(f.dir.filePath(History::kMutesName)).isMuted(u"768"_qs, now));
    }

    // New limits take effect with "Übernehmen" and are stored.
    void limits() {
        Fixture f;
        auto *days = named<QSpinBox>(&f.window, u"keepDays"_qs);
        auto *megabytes = named<QSpinBox>(&f.window, u"keepMegabytes"_qs);
        QCOMPARE(days->value(), 90);
        QCOMPARE(megabytes->value(), 200);
        days->setValue(30);
        megabytes->setValue(50);
        QCOMPARE(f.history.limits(), (HistoryLimits{90, 200}));
        named<QPushButton>(&f.window, u"applyLimits"_qs)->click();
        QCOMPARE(f.history.limits(), (HistoryLimits{30, 50}));
        QFile file(f.dir.filePath(History::kLimitsName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.contains("Tage=30"));
        QVERIFY(content.contains("MB=50"));
    }

    void chart_data() {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("texts");
        QTest::newRow("numbers: a line") << QStringList{u"21.5"_qs, u"22.0"_qs, u"21.0"_qs}
                                         << int(ChartData::Kind::Numbers) << 0;
        QTest::newRow("switch: steps") << QStringList{u"1"_qs, u"0"_qs, u"1"_qs} << int(ChartData::Kind::Switch) << 0;
        QTest::newRow("no numbers: listed") << QStringList{u"offen"_qs, u"zu"_qs} << int(ChartData::Kind::Empty) << 2;
    }
    // The chart of an object shows its recorded values; "CSV exportieren" writes the shown range.
    void chart() {
        QFETCH(QStringList, values);
        QFETCH(int, kind);
        QFETCH(int, texts);
        Fixture f;
        QList<ValueRecord> rows;
        const qint64 now = f.history.now();
        for (int i = 0; i < values.size(); ++i)
            rows.append({now - (values.size() - i) * 60000, u"768"_qs, values[i]});
        f.history.recordValues(rows);
        f.history.recordValues({{now - 1000, u"769"_qs, u"5"_qs}}); // another object's
        auto *panel = f.window.findChild<ChartPanel *>();
        f.window.showChart(u"768"_qs);
        QTRY_COMPARE(panel->shown().points.size() + panel->shown().texts.size() > 0, true);
        QCOMPARE(int(panel->shown().kind), kind);
        QCOMPARE(panel->shown().texts.size(), texts);
        QCOMPARE(named<QChartView>(&f.window, u"chartView"_qs)->isVisible(), kind != int(ChartData::Kind::Empty));
        QCOMPARE(named<QTreeView>(&f.window, u"textValues"_qs)->isVisible(), texts > 0);
        QCOMPARE(named<QTreeView>(&f.window, u"textValues"_qs)->model()->rowCount(), texts);

        const QString file = f.dir.filePath(u"export.csv"_qs);
        QString suggested;
        f.window.setFileChooser([&](const QString &name) {
            suggested = name;
            return file;
        });
        named<QPushButton>(&f.window, u"exportCsv"_qs)->click();
        QTRY_VERIFY(named<QLabel>(&f.window, u"chartNote"_qs)->text().contains(file));
        QVERIFY(suggested.endsWith(u"Verlauf-768.csv"_qs));
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = written.readAll().split('\n');
        QCOMPARE(lines.size(), values.size() + 2); // header, the rows, and the empty rest after the last CR LF
        QVERIFY(lines[1].contains(";768;"));
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    // Without its plugin the chart's place says why; the values and their export still work.
    void chartWithoutItsPlugin() {
        const QString missing = u"/nonexistent/libquendra_chart.so"_qs;
        qputenv("QUENDRA_CHART_PLUGIN", missing.toLocal8Bit());
        Fixture f;
        qputenv("QUENDRA_CHART_PLUGIN", QUENDRA_CHART_PLUGIN_FILE);
        QVERIFY(!f.window.findChild<QChartView *>());
        auto *why = named<QLabel>(&f.window, u"chartUnavailable"_qs);
        QCOMPARE(why->text(), u"Die Kurve kann nicht gezeigt werden: Das Kurven-Modul „%1“ fehlt."_qs.arg(missing));
        QCOMPARE(why->accessibleName(), why->text());
        f.history.recordValues({{f.history.now() - 1000, u"768"_qs, u"21,5"_qs}});
        f.window.showChart(u"768"_qs);
        auto *panel = f.window.findChild<ChartPanel *>();
        QTRY_COMPARE(int(panel->shown().kind), int(ChartData::Kind::Numbers));
        QVERIFY(named<QPushButton>(&f.window, u"exportCsv"_qs)->isEnabled());
    }

    // A failed export says why in a box.
    void failedExport() {
        Fixture f;
        f.history.recordValues({{f.history.now() - 1000, u"768"_qs, u"1"_qs}});
        f.window.showChart(u"768"_qs);
        auto *exportCsv = named<QPushButton>(&f.window, u"exportCsv"_qs);
        QTRY_VERIFY(exportCsv->isEnabled());
        const QString folder = f.dir.filePath(u"ein Ordner"_qs);
        QVERIFY(QDir().mkdir(folder));
        f.window.setFileChooser([&](const QString &) { return folder; });
        exportCsv->click();
        QTRY_COMPARE(f.dialogs.texts(FakeDialogs::Kind::Error).size(), 1);
        QVERIFY(f.dialogs.texts(FakeDialogs::Kind::Error).first().contains(u"ein Ordner"_qs));
    }

    // Every control carries its German caption or label for screen readers, and every label
    // names its control.
    void accessible() {
        QVERIFY(kChartPlugin);
        Fixture f;
        QCOMPARE(f.window.windowTitle(), u"Verlauf"_qs);
        const QList<QWidget *> controls = f.window.findChildren<QWidget *>();
        int checked = 0;
        for (QWidget *w : controls) {
            const bool control = qobject_cast<QAbstractButton *>(w) || qobject_cast<QComboBox *>(w) ||
                                 qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractSpinBox *>(w) ||
                                 qobject_cast<QAbstractItemView *>(w) || qobject_cast<QChartView *>(w);
            if (control && !w->objectName().isEmpty() && !w->objectName().startsWith(u"qt_"_qs)) {
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
                ++checked;
            }
            if (auto *label = qobject_cast<QLabel *>(w); label && label->text().endsWith(u':'))
                QVERIFY2(label->buddy(), qPrintable(label->text()));
        }
        QVERIFY(checked >= 12);
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_history_window.moc"
