#include "XdgAutostart.h"

#include "CheckedFileWriter.h"
#include "FileMessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// Where an installation keeps the program's desktop entry, seen from the program file's folder.
const QString kInstalledEntry = QStringLiteral("../share/applications/de.quendra.Quendra.desktop");
// A desktop entry is a few hundred bytes; a larger file is not the one we installed.
constexpr qint64 kEntryBudget = 64 * 1024;

// The Exec value of the desktop entry installed with the program, empty when there is none.
QString installedExec(const QString &programPath) {
    const QFileInfo info(QFileInfo(programPath).dir().filePath(kInstalledEntry));
    QFile file(info.filePath());
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.read(kEntryBudget + 1);
    if (content.size() > kEntryBudget)
        return {};
    bool mainGroup = false;
    for (const QByteArray &raw : content.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            mainGroup = line == "[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (mainGroup && equals > 0 && line.left(equals).trimmed() == "Exec")
            return QString::fromUtf8(line.mid(equals + 1).trimmed());
    }
    return {};
}

// An installed program starts as its menu entry does (so a package update keeps the autostart
// working); otherwise exactly this program file starts.
QString autostartExec(const QString &programPath) {
    const QString installed = installedExec(programPath);
    return installed.isEmpty() ? XdgAutostart::execValue(programPath) : installed;
}
} // namespace

QString XdgAutostart::entryPath() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // The base directory rules ignore a relative value.
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/quendra.desktop");
}

QString XdgAutostart::execValue(const QString &programPath) {
    // The value is first read as a string (backslash escapes), then split into arguments, where
    // a quoted argument escapes " ` $ and \ with a backslash; % starts a field code.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : programPath) {
        if (c == u'\\')
            quoted += QStringLiteral("\\\\\\\\");
        else if (c == u'"' || c == u'`' || c == u'$')
            quoted += QStringLiteral("\\\\") + c;
        else if (c == u'%')
            quoted += QStringLiteral("%%");
        else
            quoted += c;
    }
    return quoted + u'"';
}

bool XdgAutostart::enable(const QString &programPath) {
    const QString path = entryPath();
    const auto fail = [&](const QString &reason) {
        m_error = FileMessages::cannotWrite(path, reason);
        return false;
    };
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return fail(QStringLiteral("Der Ordner kann nicht angelegt werden."));
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Quendra\n"
                                         "Comment=Orvanel-Begleiter im Infobereich\n"
                                         "Exec=%1\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(autostartExec(programPath));
    if (!CheckedFileWriter::writeFile(path, entry.toUtf8(), &m_error))
        return false;
    m_error.clear();
    return true;
}

bool XdgAutostart::disable() {
    const QString path = entryPath();
    QFile file(path);
    if (file.exists() && !file.remove()) {
        m_error = FileMessages::cannotDelete(path, file.errorString());
        return false;
    }
    m_error.clear();
    return true;
}

bool XdgAutostart::isEnabled() const {
    return QFileInfo::exists(entryPath());
}
