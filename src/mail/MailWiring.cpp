#include "MailWiring.h"

#include "CheckedFileWriter.h"
#include "Dialogs.h"
#include "Frame.h"
#include "LinkAccess.h"
#include "MailFile.h"
#include "MailPanel.h"
#include "MailPoller.h"
#include "PlatformServices.h"
#include "ProgramSettings.h"

MailWiring::MailWiring(QObject *parent) : QObject(parent) {
}

MailWiring::~MailWiring() = default;

void MailWiring::attach(Frame &frame) {
    m_frame = &frame;
    const PlatformServices &services = frame.services();
    LinkAccess &link = frame.link();
    m_poller = std::make_unique<MailPoller>(
        m_accounts, link.commands(), [&link] { return link.isOnline(); }, *services.tray, *services.dialogs);
    auto *panel = new MailPanel(m_accounts, *services.dialogs);
    m_panel = panel;
    frame.placeOnTab(WorkPage::Email, panel);
    // The four lists take objects from the keyboard's "Ablegen auf …" as from a drop.
    const auto target = [&frame, panel](const QString &caption, bool (MailPanel::*drop)(const DraggedObject &)) {
        frame.addDropTarget(panel, caption,
                            [panel, drop](const DraggedObject &object) { return (panel->*drop)(object); });
    };
    target(MailPanel::kCountTarget, &MailPanel::dropObjectOnCount);
    target(MailPanel::kSenderTarget, &MailPanel::dropObjectOnSender);
    target(MailPanel::kSubjectTarget, &MailPanel::dropObjectOnSubject);
    target(MailPanel::kDateTarget, &MailPanel::dropObjectOnDate);

    // The settings hold the switch and the interval; the tab shows and edits them there.
    ProgramSettings &settings = frame.settings();
    panel->setMailOn(settings.mail());
    panel->setMailtime(settings.mailtime());
    m_poller->OVMAILTIMEChange(settings.mailtime());
    m_poller->OVGETMAILClick(settings.mail());
    connect(panel, &MailPanel::mailSwitched, &settings, &ProgramSettings::setMail);
    connect(panel, &MailPanel::mailtimeEdited, &settings, &ProgramSettings::setMailtime);
    connect(&settings, &ProgramSettings::mailChanged, panel, &MailPanel::setMailOn);
    connect(&settings, &ProgramSettings::mailChanged, m_poller.get(), &MailPoller::OVGETMAILClick);
    connect(&settings, &ProgramSettings::mailtimeChanged, panel, &MailPanel::setMailtime);
    connect(&settings, &ProgramSettings::mailtimeChanged, m_poller.get(), &MailPoller::OVMAILTIMEChange);
    connect(panel, &MailPanel::listChanged, this, [this] { save(m_frame->settings().configurationFolder()); });
}

void MailWiring::load(const QString &folder) {
    const QString file = mailFilePath(folder);
    CheckedFileWriter::removeLeftovers({file});
    MailFileContent content = loadMailFile(file);
    if (!content.errorString.isEmpty())
        m_frame->services().dialogs->error(content.errorString);
    m_accounts = std::move(content.accounts);
    if (m_panel)
        m_panel->reloadAccounts();
}

bool MailWiring::save(const QString &folder) {
    QString error;
    if (saveMailFile(mailFilePath(folder), m_accounts, &error))
        return true;
    m_frame->services().dialogs->error(error);
    return false;
}
