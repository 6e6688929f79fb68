// Saves on a disk that is full or fills up, on a read-only one, and saves killed half-way: every
// file the program writes is old or new afterwards, never cut; nothing temporary stays; the user
// is told which file could not be saved.
//
// The small disk is a tmpfs mounted in a private mount namespace (`unshare -m`), so nothing shows
// outside the test. Inside it a shell copies the old files onto the disk, fills it, runs the
// program or the save probe, and copies what is left back out for the test to look at.

#include "CheckedFileWriter.h"
#include "FileMessages.h"
#include "IniFile.h"

#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <optional>

#ifdef QUENDRA_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace {
const QString kProbe = QStringLiteral(QUENDRA_SAVE_PROBE);
const QString kProgram = QStringLiteral(QUENDRA_BINARY);

// Every kind of file the program writes, and where it lies in the program folder.
const QList<std::pair<QString, QString>> kKinds{
    {u"settings"_qs, u"quendra.ini"_qs},
    {u"menu"_qs, u"quendramenu.ini"_qs},
    {u"loadreplace"_qs, u"quendraload.ini"_qs},
    {u"mail"_qs, u"quendramail.ini"_qs},
    {u"project"_qs, u"Wetter-wetter.test-qnd.ovw"_qs},
    {u"template"_qs, u"Sonnig-qnd.wcv"_qs},
    {u"export"_qs, u"Wetter-qnd.htip"_qs},
    {u"catalogue"_qs, u"cobjects.xml"_qs},
    {u"download"_qs, u"kamera.jpg"_qs},
    {u"autostart"_qs, u"autostart/quendra.desktop"_qs},
};

QStringList allKinds() {
    QStringList kinds;
    for (const auto &[kind, file] : kKinds)
        kinds << kind;
    return kinds;
}

// The files below a folder by their paths relative to it, with their bytes.
QMap<QString, QByteArray> filesIn(const QString &folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        files.insert(QDir(folder).relativeFilePath(path), file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
    }
    return files;
}

// configHome: where the autostart entry goes, as the program's XDG_CONFIG_HOME; empty: the folder.
bool probe(const QString &folder, const QStringList &arguments, QString *error = nullptr,
           const QString &configHome = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!configHome.isEmpty())
        env.insert(u"QUENDRA_PROBE_CONFIG_HOME"_qs, configHome);
    process.setProcessEnvironment(env);
    process.start(kProbe, QStringList{folder} + arguments);
    const bool ok =
        process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (error)
        *error = QString::fromLocal8Bit(process.readAllStandardError());
    return ok;
}

// Runs a command inside a private mount namespace with a 2 MiB tmpfs mounted at `disk`: the files
// of `seed` are copied to <disk>/quendra, the disk is filled up to `freeKiB`, remounted read-only
// when asked, and the command runs with its process id in <out>/pid. Afterwards <disk>/quendra is
// copied to <out>/after and the command's exit code written to <out>/rc.
const char *const kSmallDiskScript = R"(
disk=$1 seed=$2 out=$3 free=$4 readonly=$5
shift 5
mount -t tmpfs -o size=2m,mode=0755 tmpfs "$disk" || exit 97
mkdir "$disk/quendra" && cp -a "$seed/." "$disk/quendra/" || exit 98
head -c 4M /dev/zero > "$disk/filler" 2>/dev/null
if [ "$free" -gt 0 ]; then truncate -s "-${free}K" "$disk/filler" || exit 98; fi
if [ "$readonly" = 1 ]; then mount -o remount,ro "$disk" || exit 97; fi
"$@" &
echo $! > "$out/pid"
wait $!
echo $? > "$out/rc"
mkdir "$out/after" && cp -a "$disk/quendra/." "$out/after/" || exit 98
)";

struct SmallDisk {
    QTemporaryDir disk;
    QTemporaryDir seed;
    QTemporaryDir out;
    QProcess shell;

    QString folder() const { return disk.filePath(u"quendra/"_qs); }
    void start(int freeKiB, bool readOnly, const QStringList &command,
               const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment()) {
        shell.setProcessEnvironment(environment);
        shell.start(u"unshare"_qs,
                    QStringList{u"-m"_qs, u"--propagation"_qs, u"private"_qs, u"sh"_qs, u"-c"_qs,
                                QString::fromLatin1(kSmallDiskScript), u"sh"_qs, disk.path(), seed.path(), out.path(),
                                QString::number(freeKiB), readOnly ? u"1"_qs : u"0"_qs} +
                        command);
    }
    // Whether the shell ran to its end; `why` says what went wrong otherwise.
    bool finish(QString *why) {
        if (!shell.waitForFinished(60000)) {
            *why = u"the run did not end"_qs;
            return false;
        }
        *why = QString::fromLocal8Bit(shell.readAllStandardError());
        return shell.exitStatus() == QProcess::NormalExit && shell.exitCode() == 0;
    }
    int exitCode() const {
        QFile rc(out.filePath(u"rc"_qs));
        return rc.open(QIODevice::ReadOnly) ? rc.readAll().trimmed().toInt() : -1;
    }
    qint64 pid() const {
        QFile file(out.filePath(u"pid"_qs));
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
    }
    QMap<QString, QByteArray> after() const { return filesIn(out.filePath(u"after"_qs)); }
};

// Whether the process has its own handler for the signal (the kernel's list of caught signals).
bool catches(qint64 pid, int signalNumber) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signalNumber - 1)) & 1;
    return false;
}

// The environment of the real program whose program folder is <configHome>/quendra.
QProcessEnvironment programEnvironment(const QString &configHome, const QString &home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    env.insert(u"XDG_CONFIG_HOME"_qs, configHome);
    env.insert(u"HOME"_qs, home);
    return env;
}

// Where a file lies below the program's XDG_CONFIG_HOME: the autostart entry in "autostart", the
// rest in the program folder "quendra".
QString placeOf(const QString &file) {
    return file.startsWith(u"autostart/"_qs) ? file : u"quendra/"_qs + file;
}

// The leftovers of interrupted saves among the files below XDG_CONFIG_HOME, by the writer's rule.
QStringList leftoversAmong(const QStringList &names) {
    QStringList leftovers;
    for (const QString &name : names)
        for (const auto &[kind, file] : kKinds)
            if (CheckedFileWriter::isTemporaryOf(name, placeOf(file)))
                leftovers << name;
    return leftovers;
}

#ifdef QUENDRA_HAVE_XCB
// A private X server (Xvfb) and a plain X client that does what a window manager's close button
// does: it asks a window to close (WM_DELETE_WINDOW). It also finds the program's windows by their
// title and kind.
class XServer {
public:
    ~XServer() {
        if (m_connection)
            xcb_disconnect(m_connection);
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(5000);
        }
    }
    // Empty, or why no X server could be started.
    QString start() {
        m_server.start(u"Xvfb"_qs, {u"-displayfd"_qs, u"1"_qs, u"-nolisten"_qs, u"tcp"_qs, u"-screen"_qs, u"0"_qs,
                                    u"1024x768x24"_qs});
        if (!m_server.waitForStarted())
            return u"Xvfb cannot be started: "_qs + m_server.errorString();
        if (!QTest::qWaitFor([this] { return m_server.canReadLine(); }, 20000))
            return u"Xvfb gave no display: "_qs + QString::fromLocal8Bit(m_server.readAllStandardError());
        m_display = u':' + QString::fromLatin1(m_server.readLine().trimmed());
        m_connection = xcb_connect(m_display.toLatin1().constData(), nullptr);
        if (xcb_connection_has_error(m_connection))
            return u"no connection to Xvfb on "_qs + m_display;
        return {};
    }
    const QString &display() const { return m_display; }

    // The viewable top-level window whose title starts with `title`, of the given kind
    // ("_NET_WM_WINDOW_TYPE_DIALOG" and the like; empty: any).
    std::optional<xcb_window_t> window(const QString &title, const QByteArray &kind = {}) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        xcb_query_tree_reply_t *tree = xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, root), nullptr);
        if (!tree)
            return std::nullopt;
        std::optional<xcb_window_t> found;
        const xcb_window_t *children = xcb_query_tree_children(tree);
        for (int i = 0; !found && i < xcb_query_tree_children_length(tree); ++i) {
            const xcb_window_t w = children[i];
            xcb_get_window_attributes_reply_t *attributes =
                xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, w), nullptr);
            const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            free(attributes);
            if (!viewable || !QString::fromUtf8(property(w, "_NET_WM_NAME")).startsWith(title))
                continue;
            if (kind.isEmpty() || property(w, "_NET_WM_WINDOW_TYPE").contains(atomBytes(kind)))
                found = w;
        }
        free(tree);
        return found;
    }
    // What the close button of a window manager does.
    void askToClose(xcb_window_t window) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom("WM_PROTOCOLS");
        event.data.data32[0] = atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
        xcb_flush(m_connection);
    }

private:
    xcb_atom_t atom(const QByteArray &name) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, quint16(name.size()), name.constData()), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return atom;
    }
    QByteArray atomBytes(const QByteArray &name) {
        const xcb_atom_t a = atom(name);
        return QByteArray(reinterpret_cast<const char *>(&a), sizeof a);
    }
    QByteArray property(xcb_window_t window, const QByteArray &name) {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
            nullptr);
        QByteArray value;
        if (reply)
            value = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                               xcb_get_property_value_length(reply));
        free(reply);
        return value;
    }

    QProcess m_server;
    QString m_display;
    xcb_connection_t *m_connection = nullptr;
};
#endif
} // namespace

class TestDisk : public QObject {
    Q_OBJECT

    QString m_noSmallDisk; // why no tmpfs can be mounted here; empty when it can

private slots:
    void initTestCase() {
        QVERIFY2(QFileInfo::exists(kProbe), qPrintable(kProbe));
        SmallDisk disk;
        disk.start(0, false, {u"true"_qs});
        QString why;
        if (!disk.finish(&why))
            m_noSmallDisk =
                u"no tmpfs can be mounted in a private mount namespace here (root needed): "_qs + why.trimmed();
    }

    // The probe saves each kind of file through the program's own code onto a disk that is full, one
    // that has 8 KiB left for larger files, and one mounted read-only: every save fails, its message
    // names the file, the old bytes are there, and nothing else is.
    void everyKindOfFileKeepsItsOldBytes_data() {
        QTest::addColumn<int>("freeKiB");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QStringList>("kinds");
        QTest::newRow("full") << 0 << false << u"b"_qs << allKinds();
        // The autostart entry is a few hundred bytes, which 8 KiB hold: it would be saved there.
        QTest::newRow("8 KiB free") << 8 << false << u"big"_qs << allKinds().mid(0, kKinds.size() - 1);
        QTest::newRow("read-only") << 1024 << true << u"b"_qs << allKinds();
    }
    void everyKindOfFileKeepsItsOldBytes() {
        QFETCH(int, freeKiB);
        QFETCH(bool, readOnly);
        QFETCH(QString, variant);
        QFETCH(QStringList, kinds);
        if (!m_noSmallDisk.isEmpty())
            QSKIP(qPrintable(m_noSmallDisk));
        SmallDisk disk;
        QString error;
        QVERIFY2(probe(disk.seed.path(), QStringList{u"a"_qs} + kinds, &error), qPrintable(error));
        const QMap<QString, QByteArray> before = filesIn(disk.seed.path());

        disk.start(freeKiB, readOnly, QStringList{kProbe, disk.folder(), variant} + kinds);
        QString why;
        QVERIFY2(disk.finish(&why), qPrintable(why));
        QCOMPARE(disk.exitCode(), 1);
        QCOMPARE(disk.after(), before);
        const QStringList messages = why.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(messages.size(), kinds.size());
        for (qsizetype i = 0; i < kinds.size(); ++i) {
            const QString file = disk.folder() + kKinds.at(i).second;
            QVERIFY2(messages.at(i).startsWith(FileMessages::cannotWrite(file, {}).chopped(1)),
                     qPrintable(messages.at(i)));
        }
    }

    // The real program on a full disk, ended by SIGTERM: nobody can answer a box, so each failed
    // closing save is written to stderr, naming its file, and the exit code says a save failed. A
    // menu that does not fit the few KiB left stays whole; the small settings file is saved.
    void programEndedOnAFullDisk_data() {
        QTest::addColumn<int>("freeKiB");
        QTest::addColumn<QStringList>("failing");
        QTest::newRow("full") << 0
                              << QStringList{u"quendra.ini"_qs, u"quendramenu.ini"_qs, u"quendraload.ini"_qs,
                                             u"quendramail.ini"_qs};
        QTest::newRow("8 KiB free, 300 menu entries") << 8 << QStringList{u"quendramenu.ini"_qs};
    }
    void programEndedOnAFullDisk() {
        QFETCH(int, freeKiB);
        QFETCH(QStringList, failing);
        if (!m_noSmallDisk.isEmpty())
            QSKIP(qPrintable(m_noSmallDisk));
        SmallDisk disk;
        QTemporaryDir home;
        // Settings with a key only: every save that succeeds adds the others.
        QFile settings(disk.seed.filePath(u"quendra.ini"_qs));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Orvanel]\r\nPort=0\r\n");
        settings.close();
        QVERIFY(probe(disk.seed.path(), {u"a"_qs, u"loadreplace"_qs, u"mail"_qs}));
        QVERIFY(probe(disk.seed.path(), {u"big"_qs, u"menu"_qs}));
        const QMap<QString, QByteArray> before = filesIn(disk.seed.path());

        disk.start(freeKiB, false, {kProgram}, programEnvironment(disk.disk.path(), home.path()));
        QTRY_VERIFY_WITH_TIMEOUT(disk.pid() > 0 && catches(disk.pid(), SIGTERM), 20000);
        QVERIFY(::kill(pid_t(disk.pid()), SIGTERM) == 0);
        QString why;
        QVERIFY2(disk.finish(&why), qPrintable(why));

        QCOMPARE(disk.exitCode(), 1);
        const QMap<QString, QByteArray> after = disk.after();
        QCOMPARE(after.keys(), before.keys());
        QStringList reported;
        for (const QString &line : why.split(u'\n', Qt::SkipEmptyParts))
            for (const QString &name : before.keys())
                if (line.startsWith(FileMessages::cannotWrite(disk.folder() + name, {}).chopped(1)))
                    reported << name;
        QCOMPARE(reported, failing);
        for (const QString &name : failing)
            QVERIFY2(after.value(name) == before.value(name), qPrintable(name));
        if (!failing.contains(u"quendra.ini"_qs))
            QVERIFY(IniFile(disk.out.filePath(u"after/quendra.ini"_qs)).hasKey(u"Orvanel"_qs, u"Offline"_qs));
    }

    // The real program on a full disk, its window closed as by a window manager's close button:
    // the first failed save shows its error box (a dialog window appears). The session then ends
    // the program (SIGTERM): the box closes, its text and those of the saves after it go to stderr,
    // naming every file, the exit code says a save failed, and every file keeps its bytes.
    void programWindowClosedOnAFullDisk() {
        if (!m_noSmallDisk.isEmpty())
            QSKIP(qPrintable(m_noSmallDisk));
#ifndef QUENDRA_HAVE_XCB
        QSKIP("built without the X client library: no window can be closed as a window manager does");
#else
        XServer x;
        if (const QString why = x.start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        SmallDisk disk;
        QTemporaryDir home;
        QFile settings(disk.seed.filePath(u"quendra.ini"_qs));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Orvanel]\r\nPort=0\r\n");
        settings.close();
        QVERIFY(probe(disk.seed.path(), {u"a"_qs, u"menu"_qs, u"loadreplace"_qs, u"mail"_qs}));
        const QMap<QString, QByteArray> before = filesIn(disk.seed.path());

        QProcessEnvironment env = programEnvironment(disk.disk.path(), home.path());
        env.insert(u"QT_QPA_PLATFORM"_qs, u"xcb"_qs);
        env.insert(u"DISPLAY"_qs, x.display());
        disk.start(0, false, {kProgram}, env);
        std::optional<xcb_window_t> window;
        QTRY_VERIFY_WITH_TIMEOUT((window = x.window(u"Quendra - Version"_qs)).has_value(), 20000);
        QVERIFY(!x.window(u"Quendra"_qs, "_NET_WM_WINDOW_TYPE_DIALOG"));
        x.askToClose(*window);
        QTRY_VERIFY_WITH_TIMEOUT(x.window(u"Quendra"_qs, "_NET_WM_WINDOW_TYPE_DIALOG").has_value(), 20000);
        QVERIFY(disk.pid() > 0 && catches(disk.pid(), SIGTERM));
        QVERIFY(::kill(pid_t(disk.pid()), SIGTERM) == 0);
        QString why;
        QVERIFY2(disk.finish(&why), qPrintable(why));

        QCOMPARE(disk.exitCode(), 1);
        QCOMPARE(disk.after(), before);
        QStringList reported;
        for (const QString &line : why.split(u'\n', Qt::SkipEmptyParts))
            for (const QString &name : before.keys())
                if (line.startsWith(FileMessages::cannotWrite(disk.folder() + name, {}).chopped(1)))
                    reported << name;
        QCOMPARE(reported,
                 (QStringList{u"quendra.ini"_qs, u"quendramenu.ini"_qs, u"quendraload.ini"_qs, u"quendramail.ini"_qs}));
#endif
    }

    // A process saving every kind of file in a loop is killed at random moments: every file is the
    // old or the new one, never a mix or a cut; what it left is gone after the program's next start.
    void killedSavesLeaveOldOrNewFiles() {
        // The kills are about what a save leaves, not about the disk: in memory, where a sync costs
        // nothing, a round of saves takes milliseconds and the test stays quick.
        const QString base = QFileInfo(u"/dev/shm"_qs).isWritable() ? u"/dev/shm"_qs : QDir::tempPath();
        QTemporaryDir config(base + u"/tst_disk-XXXXXX"_qs), home;
        const QString folder = config.filePath(u"quendra"_qs);
        QVERIFY(QDir().mkpath(folder));
        const auto save = [&](const QString &variant) {
            return probe(folder, QStringList{variant} + allKinds(), nullptr, config.path());
        };
        // The bytes of each file: "b" over "a", "a" over "b", and first written. (Load & Replace rules
        // name files in the folder: the same folder for all.)
        QVERIFY(save(u"a"_qs));
        QVERIFY(save(u"b"_qs));
        const QMap<QString, QByteArray> newer = filesIn(config.path());
        QVERIFY(save(u"a"_qs));
        const QMap<QString, QByteArray> older = filesIn(config.path());
        QVERIFY(QDir(folder).removeRecursively() && QDir().mkpath(folder));
        QVERIFY(save(u"a"_qs));
        const QMap<QString, QByteArray> first = filesIn(config.path());
        QCOMPARE(first.size(), kKinds.size());

        constexpr int kKills = 30;
        int rounds = 0;
        int mixed = 0;
        for (int kill = 0; kill < kKills; ++kill) {
            QProcess saver;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(u"QUENDRA_PROBE_CONFIG_HOME"_qs, config.path());
            saver.setProcessEnvironment(env);
            saver.start(kProbe, QStringList{folder, u"--loop"_qs} + allKinds());
            // Killed in a round after the first, a few milliseconds into it at random.
            QVERIFY(saver.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(saver.canReadLine(), 20000);
            QSignalSpy finished(&saver, &QProcess::finished);
            QTimer::singleShot(QRandomGenerator::global()->bounded(12), &saver, [&saver] { saver.kill(); });
            QVERIFY(finished.wait(20000));
            QCOMPARE(saver.exitStatus(), QProcess::CrashExit);
            rounds += int(saver.readAllStandardOutput().count("round\n"));

            const QMap<QString, QByteArray> now = filesIn(config.path());
            for (const auto &[kind, file] : kKinds) {
                const QString place = placeOf(file);
                const QByteArray bytes = now.value(place);
                QVERIFY2(bytes == first.value(place) || bytes == older.value(place) || bytes == newer.value(place),
                         qPrintable(QStringLiteral("%1 after kill %2").arg(place).arg(kill)));
            }
            const auto holds = [&now](const QMap<QString, QByteArray> &generation) {
                return std::any_of(kKinds.begin(), kKinds.end(), [&](const auto &k) {
                    return now.value(placeOf(k.second)) == generation.value(placeOf(k.second));
                });
            };
            if (holds(newer) && holds(older))
                ++mixed;
            QStringList names = now.keys();
            for (const auto &[kind, file] : kKinds)
                names.removeOne(placeOf(file));
            QCOMPARE(leftoversAmong(names), names); // nothing but the files and the writer's leftovers
        }
        QVERIFY(rounds >= kKills);
        // Kills came in the middle of a round, between the saves of two files.
        QVERIFY2(mixed > 0, "no kill came between two saves");
        qInfo("%d kills, %d of them between two saves; %d leftovers", kKills, mixed,
              int(leftoversAmong(filesIn(config.path()).keys()).size()));

        startAndEndTheProgram(config.path(), home.path());
        QCOMPARE(filesIn(config.path()).size(), kKinds.size());
    }

    // A save killed right after its temporary file got its name (a filter makes the system kill the
    // process at the rename) leaves "<name>.XXXXXX" as Qt names it, which the writer's rule takes
    // for a leftover; the program's next start removes it, for every file it writes.
    void aSaveKilledAtItsRenameLeavesWhatTheNextStartRemoves() {
        QTemporaryDir config, home;
        const QString folder = config.filePath(u"quendra"_qs);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(probe(folder, QStringList{u"a"_qs} + allKinds(), nullptr, config.path()));
        const QMap<QString, QByteArray> old = filesIn(config.path());
        for (const auto &[kind, file] : kKinds) {
            const QMap<QString, QByteArray> before = filesIn(config.path());
            QProcess saver;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(u"QUENDRA_PROBE_CONFIG_HOME"_qs, config.path());
            saver.setProcessEnvironment(env);
            saver.start(kProbe, {folder, u"--die-at-rename"_qs, kind});
            QVERIFY(saver.waitForFinished(20000));
            if (saver.exitStatus() == QProcess::NormalExit && saver.exitCode() == 3)
                QSKIP("the system refuses a seccomp filter here: a save cannot be stopped at its rename");
            QVERIFY2(saver.exitStatus() == QProcess::CrashExit, saver.readAllStandardError().constData());
            const QMap<QString, QByteArray> now = filesIn(config.path());
            QCOMPARE(now.value(placeOf(file)), old.value(placeOf(file)));
            QStringList added = now.keys();
            for (const QString &name : before.keys())
                added.removeOne(name);
            QVERIFY2(added.size() == 1, qPrintable(added.join(u' ')));
            QVERIFY2(CheckedFileWriter::isTemporaryOf(added.first(), placeOf(file)), qPrintable(added.first()));
        }
        QCOMPARE(filesIn(config.path()).size(), old.size() + kKinds.size());

        startAndEndTheProgram(config.path(), home.path());
        QCOMPARE(filesIn(config.path()).keys(), old.keys());
    }

private:
    // Starts the real program on the folder, waits until no leftover is left in it and ends it with
    // SIGTERM: it ends cleanly.
    void startAndEndTheProgram(const QString &configHome, const QString &home) {
        QProcess program;
        program.setProcessEnvironment(programEnvironment(configHome, home));
        program.start(kProgram, {});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(leftoversAmong(filesIn(configHome).keys()).isEmpty(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(catches(program.processId(), SIGTERM), 20000);
        QSignalSpy finished(&program, &QProcess::finished);
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(finished.wait(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() == 0, program.readAllStandardError().constData());
    }
};

QTEST_GUILESS_MAIN(TestDisk)
#include "tst_disk.moc"
