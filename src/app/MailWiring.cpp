#include "MailWiring.h"

#include "AppCore.h"
#include "Dialogs.h"
#include "DropTargets.h"
#include "LinkController.h"
#include "MailFile.h"
#include "MailPanel.h"
#include "MailPoller.h"
#include "MainWindow.h"
#include "SettingsPanel.h"
#include "WorkArea.h"

MailWiring::MailWiring(AppCore &core, MainWindow &window, LinkController &link, QObject *parent)
    : QObject(parent), m_core(core) {
    const PlatformServices &services = core.services();
    GatewayLink *gateway = &link.link();
    m_poller = std::make_unique<MailPoller>(
        m_accounts, link, [gateway] { return gateway->isConnected() && !gateway->hasFailed(); }, *services.tray,
        *services.dialogs);
    m_panel = new MailPanel(m_accounts, *services.dialogs);
    window.workTabs()->setEmailPanel(m_panel);
    // The four lists take objects from the keyboard's "Ablegen auf …" as from a drop.
    MailPanel *panel = m_panel;
    const auto target = [&window, panel](const QString &caption, bool (MailPanel::*drop)(const DraggedObject &)) {
        window.dropTargets().add(panel, caption,
                                 [panel, drop](const DraggedObject &object) { return (panel->*drop)(object); });
    };
    target(MailPanel::kCountTarget, &MailPanel::dropObjectOnCount);
    target(MailPanel::kSenderTarget, &MailPanel::dropObjectOnSender);
    target(MailPanel::kSubjectTarget, &MailPanel::dropObjectOnSubject);
    target(MailPanel::kDateTarget, &MailPanel::dropObjectOnDate);

    // The settings hold the switch and the interval; the tab shows and edits them there.
    TabSettings &settings = core.tabSettings();
    m_panel->setMailOn(settings.mail());
    m_panel->setMailtime(settings.mailtime());
    m_poller->OVMAILTIMEChange(settings.mailtime());
    m_poller->OVGETMAILClick(settings.mail());
    connect(m_panel, &MailPanel::mailSwitched, &settings, &TabSettings::setMail);
    connect(m_panel, &MailPanel::mailtimeEdited, &settings, &TabSettings::setMailtime);
    connect(&settings, &TabSettings::mailChanged, m_panel, &MailPanel::setMailOn);
    connect(&settings, &TabSettings::mailChanged, m_poller.get(), &MailPoller::OVGETMAILClick);
    connect(&settings, &TabSettings::mailtimeChanged, m_panel, &MailPanel::setMailtime);
    connect(&settings, &TabSettings::mailtimeChanged, m_poller.get(), &MailPoller::OVMAILTIMEChange);

    SettingsPanel *settingsPanel = window.settingsPanel();
    connect(m_panel, &MailPanel::listChanged, this,
            [this, settingsPanel] { save(settingsPanel->configurationFolder()); });
}

MailWiring::~MailWiring() = default;

void MailWiring::load(const QString &folder) {
    MailFileContent content = loadMailFile(mailFilePath(folder));
    if (!content.errorString.isEmpty())
        m_core.services().dialogs->error(content.errorString);
    m_accounts = std::move(content.accounts);
    m_panel->reloadAccounts();
}

bool MailWiring::save(const QString &folder) {
    QString error;
    if (saveMailFile(mailFilePath(folder), m_accounts, &error))
        return true;
    m_core.services().dialogs->error(error);
    return false;
}
