#include "ProgramWiring.h"

#include "AppCore.h"
#include "AppTexts.h"
#include "CatalogueController.h"
#include "MainWindow.h"

#include <QNetworkAccessManager>

ProgramWiring::ProgramWiring(AppCore &core, LinkTimings timings, QObject *parent)
    : QObject(parent), m_core(core), m_link(core, timings),
      m_catalogueServices(core.platform(), core.events(), AppTexts::kCatalogueSource), m_menu(m_wildcardTexts),
      m_webCheck(core.browsers), m_wildcardWords(m_wildcardTexts),
      // The history records an error box as the failure of the part that showed it.
      m_history({{AppTexts::kLoadReplaceSource, EventKind::LoadReplaceFailed},
                 {AppTexts::kMailSource, EventKind::MailFailed},
                 {AppTexts::kCatalogueSource, EventKind::CatalogueFailed},
                 {AppTexts::kLinkSource, EventKind::LinkLost}}) {
    core.parts = this;
    SubsystemList &subsystems = core.subsystems();
    subsystems.add(AppTexts::kSystemSource, m_screenSaver);
    subsystems.add(AppTexts::kMenuSource, m_menu);
    subsystems.add(AppTexts::kLoadReplaceSource, m_loadReplace);
    subsystems.add(AppTexts::kMailSource, m_mail);
    subsystems.add(AppTexts::kConsoleSource, m_console);
    subsystems.add(AppTexts::kWebcheckerSource, m_webCheck);
    subsystems.add(AppTexts::kWildcardSource, m_wildcardWords);
    subsystems.add(AppTexts::kHistorySource, m_history);
}

ProgramWiring::~ProgramWiring() {
    m_core.subsystems().clear();
    if (m_core.parts == this)
        m_core.parts = nullptr;
    // The dispatch must not call into the subsystems while they go.
    m_link.forgetTargets();
}

void ProgramWiring::attach(MainWindow &window) {
    m_link.attach(window);
    attachCatalogue(window);
}

void ProgramWiring::attachCatalogue(MainWindow &window) {
    ProgramSettings &settings = m_core.settings();
    CatalogueController::Hooks hooks{
        [&settings] { return settings.host(); },
        [&settings] { return settings.webPortText(); },
        // A load pauses polling; afterwards it runs again, also when it was off before.
        [this](bool paused) {
            if (paused)
                link()->stopPolling();
            else
                link()->startPolling();
        },
        [&window](const QString &text) { window.setStatusText(text); },
    };
    m_network = std::make_unique<QNetworkAccessManager>();
    m_catalogue =
        std::make_unique<CatalogueController>(*window.catalogueColumn(), *m_catalogueServices.services().dialogs,
                                              *m_network, m_core.catalogueCopyFile(), std::move(hooks));
    window.catalogueColumn()->attach(*m_catalogue);
}

void ProgramWiring::connectAtStart(std::function<void(int position)> progress, std::function<void()> done) {
    link()->startupConnect(std::move(progress), [done = std::move(done)](bool) { done(); });
}

void ProgramWiring::startPolling() {
    link()->startPolling();
}

void ProgramWiring::closeLink() {
    link()->closeLink();
}
