// Saves the program's files through the program's own save code, for the tests that run it on a
// full disk or kill it in the middle of a save.
//
//   quendra_save_probe FOLDER VARIANT KIND...     one save of each kind; exit 1 when one failed
//   quendra_save_probe FOLDER --loop KIND...      saves "b", "a", "b", … of each kind until killed,
//                                                 a line "round" on stdout after each round
//   quendra_save_probe FOLDER --die-at-rename KIND
//                                                 one save of "b", killed by the system at the
//                                                 rename that would end it (a seccomp filter)
//
// VARIANT is "a", "b" or "big" (the same files, larger than a few KiB each where the kind allows).
// Failures go to stderr, one line each, as the program's messages.

#include "CheckedFileWriter.h"
#include "IniFile.h"
#include "LoadReplaceFile.h"
#include "MailFile.h"
#include "MenuFile.h"
#include "ProjectFile.h"
#include "Settings.h"
#include "ValueTemplates.h"
#include "WildcardTextsFile.h"
#include "XdgAutostart.h"

#include <QCoreApplication>
#include <QDir>
#include <cstddef>
#include <cstdio>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>

namespace {
constexpr int kBigEntries = 300;
constexpr int kExitUnsupported = 3;

int entriesOf(const QString &variant) {
    return variant == u"big" ? kBigEntries : 3;
}

QByteArray bytesOf(const QString &variant, qsizetype size) {
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += variant.toLatin1() + ':' + QByteArray::number(bytes.size()) + '\n';
    return bytes;
}

bool saveSettings(const QString &folder, const QString &variant, QString *error) {
    IniFile ini(folder + QStringLiteral("quendra.ini"));
    Settings::Values v;
    v.key = variant == u"big" ? QString(20000, u'k') : QStringLiteral("schluessel-") + variant;
    v.ip = variant == u"a" ? QStringLiteral("10.0.0.1") : QStringLiteral("10.0.0.2");
    Settings::write(ini, v);
    WildcardTexts texts;
    texts.wc1a = QStringLiteral("offen-") + variant;
    WildcardTextsFile::write(ini, texts);
    const bool saved = ini.save(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    *error = ini.errorString();
    return saved;
}

bool saveMenu(const QString &folder, const QString &variant, QString *error) {
    MenuList menu;
    for (int i = 0; i < entriesOf(variant); ++i) {
        MenuCommand c;
        c.bezeichnung = QStringLiteral("Licht %1 %2").arg(variant).arg(i);
        c.typ = QStringLiteral("Schaltaktor (0/1)");
        c.aktion = QStringLiteral("Um");
        c.gan = QString::number(i + 1);
        c.lv = QStringLiteral("1,0");
        menu.append(c);
    }
    return saveMenuFile(menuFilePath(folder), menu, error);
}

bool saveLoadReplace(const QString &folder, const QString &variant, QString *error) {
    LoadReplaceList rules;
    for (int i = 0; i < entriesOf(variant); ++i)
        rules.append({QStringLiteral("Kamera %1 %2").arg(variant).arg(i), QStringLiteral("http://127.0.0.1/bild?"),
                      folder + QStringLiteral("kamera.jpg"), QString::number(i + 1), QStringLiteral("0/0/1")});
    return save_rlist(loadReplaceFilePath(folder), rules, error);
}

bool saveMail(const QString &folder, const QString &variant, QString *error) {
    MailAccountList accounts;
    for (int i = 0; i < entriesOf(variant); ++i) {
        MailAccount a;
        a.name = a.host = QStringLiteral("pop%1.test").arg(i);
        a.login = QStringLiteral("nutzer-") + variant;
        a.password = QStringLiteral("geheim-") + variant;
        accounts.append(a);
    }
    return saveMailFile(mailFilePath(folder), accounts, error);
}

bool saveProject(const QString &folder, const QString &variant, QString *error) {
    WebQueryProject project{
        QStringLiteral("Wetter"), QStringLiteral("wetter.test"), QStringLiteral("80"), QStringLiteral("/w.html"), {}};
    for (int i = 0; i < entriesOf(variant); ++i) {
        AnalysisEntry e = AnalysisEntry::whenKeysMissing();
        e.value = QStringLiteral("Wert %1 %2").arg(variant).arg(i);
        project.entries.append(e);
    }
    return ProjectFile::save(folder, project, error);
}

bool saveTemplate(const QString &folder, const QString &variant, QString *error) {
    QStringList lines{QStringLiteral("Sonnig")};
    for (int i = 1; i < (variant == u"big" ? ValueTemplates::kMaxLines : 3); ++i)
        lines << QStringLiteral("Zeile %1 %2").arg(variant).arg(i);
    return ValueTemplates::save(folder, lines, error);
}

bool writeWhole(const QString &path, const QString &variant, QString *error) {
    return CheckedFileWriter::writeFile(path, bytesOf(variant, variant == u"big" ? 64 * 1024 : 600), error);
}

// A download arrives in pieces and is written as it comes.
bool saveDownload(const QString &folder, const QString &variant, QString *error) {
    CheckedFileWriter writer(folder + QStringLiteral("kamera.jpg"));
    const QByteArray body = bytesOf(variant, variant == u"big" ? 64 * 1024 : 3000);
    bool ok = writer.open();
    for (qsizetype at = 0; ok && at < body.size(); at += 1000)
        ok = writer.write(body.mid(at, 1000));
    ok = ok && writer.commit();
    *error = writer.errorString();
    return ok;
}

bool saveAutostart(const QString &folder, const QString &variant, QString *error) {
    // The entry goes to "autostart" in the folder, or where QUENDRA_PROBE_CONFIG_HOME says, as the
    // program puts it under XDG_CONFIG_HOME.
    const QByteArray configHome = qgetenv("QUENDRA_PROBE_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", configHome.isEmpty() ? QFile::encodeName(folder.chopped(1)) : configHome);
    XdgAutostart autostart;
    const bool ok = autostart.enable(QStringLiteral("/opt/%1/bin/quendra").arg(variant));
    *error = autostart.errorString();
    return ok;
}

using Save = bool (*)(const QString &folder, const QString &variant, QString *error);

Save saverOf(const QString &kind) {
    if (kind == u"settings")
        return saveSettings;
    if (kind == u"menu")
        return saveMenu;
    if (kind == u"loadreplace")
        return saveLoadReplace;
    if (kind == u"mail")
        return saveMail;
    if (kind == u"project")
        return saveProject;
    if (kind == u"template")
        return saveTemplate;
    if (kind == u"export")
        return [](const QString &folder, const QString &variant, QString *error) {
            return writeWhole(folder + QStringLiteral("Wetter-qnd.htip"), variant, error);
        };
    if (kind == u"catalogue")
        return [](const QString &folder, const QString &variant, QString *error) {
            return writeWhole(folder + QStringLiteral("cobjects.xml"), variant, error);
        };
    if (kind == u"download")
        return saveDownload;
    if (kind == u"autostart")
        return saveAutostart;
    return nullptr;
}

// From here on the process is killed by the system when it renames a file: the save that follows
// stops right after its temporary file got its name.
bool dieAtRename() {
#if defined(__x86_64__)
    constexpr unsigned arch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
    constexpr unsigned arch = AUDIT_ARCH_AARCH64;
#else
    return false;
#endif
#ifdef __NR_rename
    constexpr long rename = __NR_rename;
#else
    constexpr long rename = __NR_renameat; // systems that have only the newer calls
#endif
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, arch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(rename), 3, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat, 2, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat2, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
    };
    sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

void report(const QString &text) {
    std::fputs((text + u'\n').toLocal8Bit().constData(), stderr);
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() < 3) {
        report(QStringLiteral("usage: quendra_save_probe FOLDER VARIANT|--loop|--die-at-rename KIND..."));
        return 2;
    }
    const QString folder = QDir(args.takeFirst()).absolutePath() + u'/';
    const QString mode = args.takeFirst();
    QList<Save> saves;
    for (const QString &kind : args) {
        if (!saverOf(kind)) {
            report(QStringLiteral("unknown kind ") + kind);
            return 2;
        }
        saves << saverOf(kind);
    }
    QString error;
    if (mode == u"--loop") {
        for (qint64 round = 0;; ++round) {
            const QString variant = round % 2 == 0 ? QStringLiteral("b") : QStringLiteral("a");
            for (Save save : saves)
                if (!save(folder, variant, &error)) {
                    report(error);
                    return 1;
                }
            std::fputs("round\n", stdout);
            std::fflush(stdout);
        }
    }
    if (mode == u"--die-at-rename") {
        if (!dieAtRename()) {
            report(QStringLiteral("seccomp filter refused"));
            return kExitUnsupported;
        }
        saves.first()(folder, QStringLiteral("b"), &error);
        report(QStringLiteral("the save was not killed at its rename: ") + error);
        return 1;
    }
    bool all = true;
    for (Save save : saves)
        if (!save(folder, mode, &error)) {
            report(error);
            all = false;
        }
    return all ? 0 : 1;
}
