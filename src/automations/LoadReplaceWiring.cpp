#include "LoadReplaceWiring.h"

#include "CheckedFileWriter.h"
#include "Dialogs.h"
#include "Frame.h"
#include "LinkAccess.h"
#include "LoadReplaceFile.h"
#include "LoadReplacePanel.h"
#include "PlatformServices.h"
#include "ProgramSettings.h"

#include <QFileInfo>

LoadReplaceWiring::LoadReplaceWiring(DownloadLimits limits) : m_limits(limits) {
}

LoadReplaceWiring::~LoadReplaceWiring() = default;

void LoadReplaceWiring::attach(Frame &frame) {
    m_frame = &frame;
    Dialogs &dialogs = *frame.services().dialogs;
    LinkAccess &link = frame.link();
    m_downloads = std::make_unique<LoadReplaceDownloads>(
        m_rules, m_network, dialogs, [&link](const QString &line) { link.note(line); }, m_limits);
    link.addValueTarget(m_downloads.get());

    ProgramSettings &settings = frame.settings();
    auto *panel = new LoadReplacePanel(m_rules, dialogs, {[&settings] {
                                           return loadReplaceFilePath(settings.configurationFolder());
                                       }},
                                       [&link](const QString &gan) { return link.lastValue(gan); });
    m_panel = panel;
    frame.placeOnTab(WorkPage::LoadReplace, panel, [panel](int height) { panel->setParameterPanelHeight(height); });
    frame.addDropTarget(panel, LoadReplacePanel::kDropTargetCaption,
                        [panel](const DraggedObject &object) { return panel->dropObjectOnList(object); });
}

void LoadReplaceWiring::load(const QString &folder) {
    const QString file = loadReplaceFilePath(folder);
    CheckedFileWriter::removeLeftovers({file});
    LoadReplaceFileContent content = load_rlist(file);
    if (!content.errorString.isEmpty())
        m_frame->services().dialogs->error(content.errorString);
    m_rules = std::move(content.rules);
    // The temporary files of downloads cut short by a killed program. Only full paths: a relative
    // one would be taken from whatever folder the program was started in.
    QStringList targets;
    for (const LoadReplaceEntry &rule : m_rules)
        if (QFileInfo(rule.saveto).isAbsolute())
            targets << rule.saveto;
    CheckedFileWriter::removeLeftovers(targets);
    if (m_panel)
        m_panel->reload();
}

bool LoadReplaceWiring::save(const QString &folder) {
    QString error;
    if (save_rlist(loadReplaceFilePath(folder), m_rules, &error))
        return true;
    m_frame->services().dialogs->error(error);
    return false;
}
