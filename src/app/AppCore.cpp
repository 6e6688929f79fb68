#include "AppCore.h"

#include "AppTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

AppCore::AppCore(ProgramPaths paths, PlatformServices services, QString helpFile, QString dataFolder)
    : m_paths(std::move(paths)), m_helpFile(std::move(helpFile)),
      m_dataFolder(dataFolder.isEmpty() ? m_paths.programFolder() : std::move(dataFolder)), m_platform(services),
      m_reporting(services, m_events, AppTexts::kProgramName), m_settings(m_paths.programFolder()),
      m_subsystems(*this) {
}

QString AppCore::dataFolderFor(const ProgramPaths &paths) {
    const QString executableFolder = QCoreApplication::applicationDirPath() + ProgramPaths::separator();
    if (QDir(paths.programFolder()) == QDir(executableFolder))
        return paths.programFolder();
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/quendra") +
           ProgramPaths::separator();
}
