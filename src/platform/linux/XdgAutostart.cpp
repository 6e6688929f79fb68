#include "XdgAutostart.h"

#include "FileMessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return fail(file.errorString());
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Quendra\n"
                                         "Comment=Orvanel-Begleiter im Infobereich\n"
                                         "Exec=%1\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(execValue(programPath));
    file.write(entry.toUtf8());
    if (!file.commit())
        return fail(file.errorString());
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
