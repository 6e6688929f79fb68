// The history's rules without a database: mutes and their file, the limits file, chart data,
// the CSV bytes and the unread badge.
#include "ChartData.h"
#include "CsvExport.h"
#include "HistoryLimitsFile.h"
#include "MuteList.h"
#include "UnreadBadge.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
QDateTime local(int day, int hour, int minute = 0) {
    return QDateTime(QDate(2024, 5, day), QTime(hour, minute), Qt::LocalTime);
}

SeriesRows rowsOf(const QStringList &values, qint64 stepMs = 60000) {
    SeriesRows series{u"768"_qs, 0, stepMs * values.size(), {}, 0};
    for (int i = 0; i < values.size(); ++i)
        series.rows.append({i * stepMs, u"768"_qs, values[i]});
    return series;
}
} // namespace

class TestHistoryData : public QObject {
    Q_OBJECT
private slots:
    void muteRule_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QDateTime>("at");    // when the mute is set
        QTest::addColumn<QDateTime>("asked"); // when isMuted is asked
        QTest::addColumn<bool>("muted");
        QTest::newRow("hour, within") << u"hour"_qs << local(1, 14) << local(1, 14, 59) << true;
        QTest::newRow("hour, ended") << u"hour"_qs << local(1, 14) << local(1, 15) << false;
        QTest::newRow("morning from the evening") << u"morning"_qs << local(1, 22) << local(2, 6, 59) << true;
        QTest::newRow("morning ends at seven") << u"morning"_qs << local(1, 22) << local(2, 7) << false;
        QTest::newRow("after midnight: the same morning") << u"morning"_qs << local(2, 1) << local(2, 7) << false;
        QTest::newRow("at seven: the next morning") << u"morning"_qs << local(2, 7) << local(3, 6, 59) << true;
        QTest::newRow("lifted") << u"unmute"_qs << local(1, 14) << local(1, 14, 1) << false;
        QTest::newRow("another object") << u"other"_qs << local(1, 14) << local(1, 14, 1) << false;
    }
    // The rule the notifications ask, and that it holds after a restart (a new list reading the
    // same file).
    void muteRule() {
        QFETCH(QString, how);
        QFETCH(QDateTime, at);
        QFETCH(QDateTime, asked);
        QFETCH(bool, muted);
        QTemporaryDir dir;
        const QString file = dir.filePath(u"quendrastumm.ini"_qs);
        {
            MuteList mutes(file);
            QSignalSpy changed(&mutes, &MuteList::changed);
            if (how == u"morning")
                QVERIFY(mutes.muteUntilMorning(u"768"_qs, at));
            else
                QVERIFY(mutes.muteForOneHour(how == u"other" ? u"769"_qs : u"768"_qs, at));
            if (how == u"unmute")
                QVERIFY(mutes.unmute(u"768"_qs, at));
            QCOMPARE(mutes.isMuted(u"768"_qs, asked), muted);
            QVERIFY(changed.count() >= 1);
        }
        const MuteList restarted(file);
        QCOMPARE(restarted.isMuted(u"768"_qs, asked), muted);
    }

    // Object numbers come from the bus: whatever they hold stays a value in the file.
    void muteFileKeepsItsStructure() {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"quendrastumm.ini"_qs);
        const QString odd = u"7]\r\n[Stumm9]\r\nObjekt=1"_qs;
        {
            MuteList mutes(file);
            QVERIFY(mutes.muteForOneHour(odd, local(1, 14)));
            QVERIFY(mutes.muteForOneHour(u"768"_qs, local(1, 14)));
        }
        const MuteList restarted(file);
        QCOMPARE(restarted.active(local(1, 14, 30)).size(), 2);
        QVERIFY(restarted.isMuted(u"768"_qs, local(1, 14, 30)));
        QVERIFY(!restarted.isMuted(u"1"_qs, local(1, 14, 30)));
    }

    // A failed save says so; the mute holds until the program ends.
    void failedMuteSaveIsReported() {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"quendrastumm.ini"_qs);
        QVERIFY(QDir().mkdir(file)); // a folder where the file should be
        MuteList mutes(file);
        QSignalSpy failed(&mutes, &MuteList::saveFailed);
        QVERIFY(!mutes.muteForOneHour(u"768"_qs, local(1, 14)));
        QCOMPARE(failed.count(), 1);
        QVERIFY(failed.first().first().toString().contains(file));
        QVERIFY(mutes.isMuted(u"768"_qs, local(1, 14, 30)));
    }

    void limitsFile_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("megabytes");
        QTest::newRow("missing") << QByteArray() << 90 << 200;
        QTest::newRow("set") << QByteArray("[Aufbewahrung]\r\nTage=30\r\nMB=50\r\n") << 30 << 50;
        QTest::newRow("out of range") << QByteArray("[Aufbewahrung]\r\nTage=0\r\nMB=999999\r\n") << 1 << 100000;
        QTest::newRow("no numbers") << QByteArray("[Aufbewahrung]\r\nTage=viele\r\nMB=\r\n") << 90 << 200;
    }
    void limitsFile() {
        QFETCH(QByteArray, content);
        QFETCH(int, days);
        QFETCH(int, megabytes);
        QTemporaryDir dir;
        const QString file = dir.filePath(u"quendraverlauf.ini"_qs);
        if (!content.isEmpty()) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        const HistoryLimits read = HistoryLimitsFile::read(file);
        QCOMPARE(read.days, days);
        QCOMPARE(read.megabytes, megabytes);
        QString error;
        QVERIFY(HistoryLimitsFile::write(file, {7, 12}, &error));
        QCOMPARE(HistoryLimitsFile::read(file), (HistoryLimits{7, 12}));
    }

    void chartData_data() {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<QPointF>>("points"); // x in minutes
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("numbers") << QStringList{u"21.5"_qs, u"22"_qs, u"-3,25"_qs} << int(ChartData::Kind::Numbers)
                                 << QList<QPointF>{{0, 21.5}, {1, 22}, {2, -3.25}} << QStringList{};
        QTest::newRow("switch: steps to the end of the range")
            << QStringList{u"1.0"_qs, u"1.0"_qs, u"0.0"_qs, u"1"_qs} << int(ChartData::Kind::Switch)
            << QList<QPointF>{{0, 1}, {2, 1}, {2, 0}, {3, 0}, {3, 1}, {4, 1}} << QStringList{};
        QTest::newRow("no numbers") << QStringList{u"offen"_qs, u"zu"_qs} << int(ChartData::Kind::Empty)
                                    << QList<QPointF>{} << QStringList{u"offen"_qs, u"zu"_qs};
        QTest::newRow("mixed") << QStringList{u"5"_qs, u"Fehler"_qs, u"7.5"_qs} << int(ChartData::Kind::Numbers)
                               << QList<QPointF>{{0, 5}, {2, 7.5}} << QStringList{u"Fehler"_qs};
    }
    void chartData() {
        QFETCH(QStringList, values);
        QFETCH(int, kind);
        QFETCH(QList<QPointF>, points);
        QFETCH(QStringList, texts);
        const ChartData data = ChartData::from(rowsOf(values));
        QCOMPARE(int(data.kind), kind);
        QList<QPointF> minutes;
        for (const QPointF &p : data.points)
            minutes.append({p.x() / 60000, p.y()});
        QCOMPARE(minutes, points);
        QStringList shownTexts;
        for (const ValueRecord &row : data.texts)
            shownTexts << row.value;
        QCOMPARE(shownTexts, texts);
    }

    // Condensed, a line keeps its extremes and its ends.
    void condensingKeepsTheShape() {
        QList<QPointF> line;
        for (int i = 0; i < 43200; ++i)
            line.append({double(i), i == 12345 ? 99.0 : (i == 30000 ? -99.0 : double(i % 10))});
        const QList<QPointF> kept = condensePoints(line, 4000);
        QVERIFY(kept.size() <= 4000);
        QCOMPARE(kept.front(), line.front());
        QCOMPARE(kept.back(), line.back());
        QVERIFY(kept.contains(line[12345]));
        QVERIFY(kept.contains(line[30000]));
        QVERIFY(std::is_sorted(kept.cbegin(), kept.cend(), [](auto &a, auto &b) { return a.x() < b.x(); }));
    }

    void csvField_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("field");
        QTest::newRow("decimal comma") << u"21.5"_qs << u"21,5"_qs;
        QTest::newRow("negative number") << u"-3.25"_qs << u"-3,25"_qs;
        QTest::newRow("text") << u"offen"_qs << u"offen"_qs;
        QTest::newRow("text with a dot stays") << u"v1.2.3"_qs << u"v1.2.3"_qs;
        QTest::newRow("semicolon quoted") << u"a;b"_qs << u"\"a;b\""_qs;
        QTest::newRow("quote doubled") << u"sagt \"hallo\""_qs << u"\"sagt \"\"hallo\"\"\""_qs;
        QTest::newRow("line break quoted") << u"a\r\nb"_qs << u"\"a\r\nb\""_qs;
        QTest::newRow("formula defused") << u"=HYPERLINK(1)"_qs << u"'=HYPERLINK(1)"_qs;
        QTest::newRow("minus text defused") << u"-x"_qs << u"'-x"_qs;
    }
    void csvField() {
        QFETCH(QString, value);
        QFETCH(QString, field);
        QCOMPARE(CsvExport::field(value), field);
    }

    // The whole file as a German spreadsheet program opens it.
    void csvBytes() {
        const qint64 t = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::LocalTime).toMSecsSinceEpoch();
        const QByteArray bytes = CsvExport::bytes({{t, u"768"_qs, u"21.5"_qs}, {t + 61000, u"768"_qs, u"Tür;auf"_qs}});
        QCOMPARE(bytes, QByteArray("\xEF\xBB\xBFZeit;Objekt;Wert\r\n"
                                   "05.03.2024 14:07:09;768;21,5\r\n"
                                   "05.03.2024 14:08:10;768;\"T\xC3\xBCr;auf\"\r\n"));
    }

    // A range beyond the export's bound is cut, and the message says so.
    void csvCutSaysSo() {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"export.csv"_qs);
        const QList<ValueRecord> rows{{0, u"768"_qs, u"1"_qs}, {1000, u"768"_qs, u"0"_qs}};
        const CsvExport::Result result = CsvExport::writeFile(file, [&](const CsvExport::RowSink &take) {
            for (const ValueRecord &row : rows)
                take(row);
            return true; // more than the bound
        });
        QVERIFY(result.ok);
        QVERIFY(result.cut);
        QCOMPARE(result.message,
                 u"Nur die ersten 2 Werte wurden nach %1 exportiert; wählen Sie einen kürzeren Zeitraum."_qs.arg(file));
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), CsvExport::bytes(rows));
    }

    void badgeLabel_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("label");
        QTest::newRow("none") << 0 << QString();
        QTest::newRow("one") << 1 << u"1"_qs;
        QTest::newRow("99") << 99 << u"99"_qs;
        QTest::newRow("more") << 100 << u"99+"_qs;
    }
    void badgeLabel() {
        QFETCH(int, count);
        QFETCH(QString, label);
        QCOMPARE(UnreadBadge::label(count), label);
    }

    // The badge sits at the lower right corner; the rest of the icon, and an icon without unread
    // events, stay as they were.
    void badgeDrawn() {
        QPixmap plain(32, 32);
        plain.fill(Qt::blue);
        const QIcon icon(plain);
        QCOMPARE(UnreadBadge::withCount(icon, 0).cacheKey(), icon.cacheKey());
        const QImage badged = UnreadBadge::withCount(icon, 3).pixmap(32, 32).toImage();
        QCOMPARE(badged.pixelColor(1, 1), QColor(Qt::blue));
        const QColor corner = badged.pixelColor(15, 22);
        QVERIFY2(corner.red() > 150 && corner.blue() < 100, qPrintable(corner.name()));
    }
};

QTEST_MAIN(TestHistoryData)
#include "tst_history_data.moc"
