#include "AutomationWiring.h"

#include "BusMonitor.h"
#include "CheckedFileWriter.h"
#include "Dialogs.h"
#include "LoadReplaceFile.h"
#include "LoadReplacePanel.h"

#include <QFileInfo>

AutomationWiring::AutomationWiring(Context context, DownloadLimits limits)
    : m_context(std::move(context)),
      m_downloads(std::make_unique<LoadReplaceDownloads>(
          m_rules, m_network, m_context.dialogs, [this](const QString &line) { m_context.busMonitor.insertTop(line); },
          limits)),
      m_screenSaverValue(m_context.screenSaver, m_context.screenBinding) {
}

AutomationWiring::~AutomationWiring() = default;

LoadReplacePanel *AutomationWiring::createLoadReplacePanel() {
    m_loadReplacePanel = new LoadReplacePanel(
        m_rules, m_context.dialogs, {[this] {
            return loadReplaceFilePath(m_context.configurationFolder());
        }},
        [this](const QString &gan) { return getlv(m_context.busMonitor, gan, m_context.dialogs); });
    return m_loadReplacePanel;
}

void AutomationWiring::loadLoadReplace(const QString &folder) {
    LoadReplaceFileContent content = load_rlist(loadReplaceFilePath(folder));
    if (!content.errorString.isEmpty())
        m_context.dialogs.error(content.errorString);
    m_rules = std::move(content.rules);
    // The temporary files of downloads cut short by a killed program. Only full paths: a relative
    // one would be taken from whatever folder the program was started in.
    QStringList targets;
    for (const LoadReplaceEntry &rule : m_rules)
        if (QFileInfo(rule.saveto).isAbsolute())
            targets << rule.saveto;
    CheckedFileWriter::removeLeftovers(targets);
    if (m_loadReplacePanel)
        m_loadReplacePanel->reload();
}

bool AutomationWiring::saveLoadReplace(const QString &folder) {
    QString error;
    if (save_rlist(loadReplaceFilePath(folder), m_rules, &error))
        return true;
    m_context.dialogs.error(error);
    return false;
}
