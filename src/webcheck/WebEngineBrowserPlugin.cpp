#include "WebEngineBrowserPlugin.h"

#include "WebCheckTexts.h"
#include "WebEngineBrowserHost.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QStringList>
#include <algorithm>
#include <unistd.h>

using namespace WebCheckTexts;

namespace {
const char *const kDisableSandbox = "QTWEBENGINE_DISABLE_SANDBOX";
const char *const kChromiumFlags = "QTWEBENGINE_CHROMIUM_FLAGS";

QStringList inFolders(const QStringList &folders, const QString &name) {
    QStringList files;
    for (const QString &folder : folders)
        files.append(QDir(folder).filePath(name));
    return files;
}

bool anyExists(const QStringList &files) {
    return std::any_of(files.begin(), files.end(), [](const QString &f) { return QFileInfo::exists(f); });
}

// The engine ends the process (qFatal) when it misses its helper program or its resources; the
// program must go on, so they are looked for first, where Qt WebEngine 6.4 looks for them: in the
// place the variable names, or else in its list of folders.
QString missingEngineFile() {
    const QString application = QCoreApplication::applicationDirPath();
    const QString process = QStringLiteral("QtWebEngineProcess");
    const QString processVariable = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    const QStringList processFiles = !processVariable.isEmpty()
                                         ? QStringList{processVariable}
                                         : inFolders({QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath),
                                                      QLibraryInfo::path(QLibraryInfo::BinariesPath), application},
                                                     process);
    if (!anyExists(processFiles))
        return kEngineProgrammFehlt.arg(process, processFiles.join(QStringLiteral(", ")));

    const QString resources = QStringLiteral("qtwebengine_resources.pak");
    const QString resourcesVariable = qEnvironmentVariable("QTWEBENGINE_RESOURCES_PATH");
    const QString data = QLibraryInfo::path(QLibraryInfo::DataPath);
    const QStringList resourceFiles =
        inFolders(!resourcesVariable.isEmpty()
                      ? QStringList{resourcesVariable}
                      : QStringList{data + QStringLiteral("/resources"), data, application,
                                    QDir::homePath() + QStringLiteral("/.") + QCoreApplication::applicationName()},
                  resources);
    if (!anyExists(resourceFiles))
        return kEngineDatenFehlen.arg(resources, resourceFiles.join(QStringLiteral(", ")));
    return {};
}

// The engine refuses to start as root with its sandbox, and that refusal ends the process. As root
// it runs without; for everyone else the sandbox stays unless their environment turned it off.
QString prepareSandbox() {
    if (geteuid() == 0) {
        qputenv(kDisableSandbox, "1");
        return kOhneSandboxRoot;
    }
    if (qEnvironmentVariableIsSet(kDisableSandbox))
        return kOhneSandboxUmgebung.arg(QLatin1String(kDisableSandbox));
    if (qgetenv(kChromiumFlags).contains("--no-sandbox"))
        return kOhneSandboxUmgebung.arg(QLatin1String(kChromiumFlags));
    return {};
}

// The engine's own pages (a refused connection, an unknown host) speak the program's language. Its
// language is fixed when it starts; a "--lang" of the user's own stays.
void prepareLanguage() {
    const QByteArray flags = qgetenv(kChromiumFlags);
    if (!flags.contains("--lang"))
        qputenv(kChromiumFlags, (flags + " --lang=de").trimmed());
}
} // namespace

std::unique_ptr<BrowserHost> WebEngineBrowserPlugin::createHost(QString &why) {
    if (!m_prepared) {
        if (why = missingEngineFile(); !why.isEmpty())
            return nullptr;
        m_sandboxNote = prepareSandbox();
        prepareLanguage();
        // The engine reports its graphics set-up on every start; the user can ask for it with
        // QT_LOGGING_RULES, which wins over this.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
        m_prepared = true;
    }
    return std::make_unique<WebEngineBrowserHost>(m_sandboxNote);
}
