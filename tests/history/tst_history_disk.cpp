// The history on a disk that fills up (a small tmpfs in a private mount namespace, so nothing
// shows outside the test): recording pauses with one message, the program goes on and its own
// files keep their bytes, and when space is free again the history records on and notes the gap.
#include "HistoryTestSupport.h"
#include "MuteList.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace HistoryTest;

namespace {
const QString kProbe = QStringLiteral(QUENDRA_HISTORY_DISK_PROBE);

// Mounts a 4 MiB tmpfs at <disk>, copies <seed> into <disk>/quendra, puts a 1 MiB filler
// beside it, runs the probe on the folder (its output in <out>/log, its exit code in <out>/rc)
// and copies the folder back out to <out>/after.
const char *const kScript = R"(
disk=$1 seed=$2 out=$3 probe=$4
mount -t tmpfs -o size=4m,mode=0755 tmpfs "$disk" || exit 97
mkdir "$disk/quendra" && cp -a "$seed/." "$disk/quendra/" || exit 98
head -c 1M /dev/zero > "$disk/filler" || exit 98
"$probe" "$disk/quendra" "$disk/filler" > "$out/log" 2>&1
echo $? > "$out/rc"
mkdir "$out/after" && cp -a "$disk/quendra/." "$out/after/" || exit 98
)";

QByteArray contentOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestHistoryDisk : public QObject {
    Q_OBJECT
private slots:
    void fullDiskPausesRecording() {
        QTemporaryDir disk, seed, out;
        const QDateTime now = QDateTime::currentDateTimeUtc();
        {
            MuteList mutes(seed.filePath(u"quendrastumm.ini"_qs));
            QVERIFY(mutes.muteForOneHour(u"1"_qs, now));
        }
        const QByteArray muteFile = contentOf(seed.filePath(u"quendrastumm.ini"_qs));

        QProcess shell;
        shell.start(u"unshare"_qs,
                    {u"-m"_qs, u"--propagation"_qs, u"private"_qs, u"sh"_qs, u"-c"_qs, QString::fromLatin1(kScript),
                     u"sh"_qs, disk.path(), seed.path(), out.path(), kProbe});
        QVERIFY(shell.waitForFinished(180000));
        if (shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0) {
            const QString why = QString::fromLocal8Bit(shell.readAllStandardError()).trimmed();
            if (shell.exitCode() == 97 || why.contains(u"unshare"_qs))
                QSKIP(
                    qPrintable(u"no tmpfs can be mounted in a private mount namespace here (root needed): "_qs + why));
            QFAIL(qPrintable(why));
        }
        const QString log = QString::fromLocal8Bit(contentOf(out.filePath(u"log"_qs)));
        QCOMPARE(contentOf(out.filePath(u"rc"_qs)).trimmed(), QByteArray("0"));

        // One message about the pause, naming the file and the full disk; paused, then recording.
        const QStringList lines = log.split(u'\n', Qt::SkipEmptyParts);
        const QStringList paused = lines.filter(u"problem: Der Verlauf kann nicht"_qs);
        QCOMPARE(paused.size(), 1);
        QVERIFY2(paused.first().contains(u"quendraverlauf.db"_qs), qPrintable(log));
        QVERIFY2(paused.first().contains(u"kein Platz"_qs), qPrintable(log));
        QCOMPARE(lines.filter(u"recording:"_qs), (QStringList{u"recording: 0"_qs, u"recording: 1"_qs}));

        // The program's own file: the old bytes or the new whole ones, never a cut file; when
        // its save failed, the user was told.
        const QString mutePath = out.filePath(u"after/quendrastumm.ini"_qs);
        const QByteArray after = contentOf(mutePath);
        const bool saved = after != muteFile;
        QVERIFY(MuteList(mutePath).isMuted(u"1"_qs, now));
        QCOMPARE(MuteList(mutePath).isMuted(u"768"_qs, now), saved);
        QCOMPARE(lines.filter(u"quendrastumm.ini"_qs).size(), saved ? 0 : 1);

        // The file holds the lines in the order received, with the gap noted as an unread event.
        const QString file = out.filePath(u"after/quendraverlauf.db"_qs);
        const QStringList values = readFile(file, u"SELECT value FROM value_lines ORDER BY id"_qs);
        QVERIFY(values.size() > 1000);
        qint64 previous = -1;
        for (const QString &value : values) {
            const qint64 number = value.section(u' ', 0, 0).toLongLong();
            QVERIFY(number > previous);
            previous = number;
        }
        const QStringList gaps = readFile(file, u"SELECT text, read FROM events WHERE kind = 'history-gap'"_qs);
        QCOMPARE(gaps.size(), 1);
        QVERIFY(gaps.first().startsWith(u"Aufzeichnung fortgesetzt"_qs));
        QVERIFY(gaps.first().endsWith(u"|0"_qs));
    }
};

QTEST_GUILESS_MAIN(TestHistoryDisk)
#include "tst_history_disk.moc"
