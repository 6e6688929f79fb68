#include "LinkWiring.h"

#include "AppCore.h"
#include "AppTexts.h"
#include "LinkStateDisplay.h"
#include "MainWindow.h"

LinkWiring::LinkWiring(AppCore &core, LinkTimings timings, QObject *parent)
    : LinkAccess(parent), m_core(core), m_timings(timings),
      m_services(core.platform(), core.events(), AppTexts::kLinkSource) {
}

LinkWiring::~LinkWiring() {
    forgetTargets();
}

void LinkWiring::attach(MainWindow &window) {
    const PlatformServices &services = m_services.services();
    m_controller = std::make_unique<LinkController>(window, *services.tray, *services.dialogs, m_timings);
    // The link connects to the address last taken from the settings.
    GatewayLink *gateway = &m_controller->link();
    ProgramSettings &settings = m_core.settings();
    gateway->setHost(settings.gatewayHost());
    gateway->setPort(settings.gatewayPort());
    connect(&settings, &ProgramSettings::gatewayHostChanged, gateway, &GatewayLink::setHost);
    connect(&settings, &ProgramSettings::gatewayPortChanged, gateway, &GatewayLink::setPort);
    connect(&window, &MainWindow::connectButtonClicked, m_controller.get(), &LinkController::ovconnectbtnClick);
    connect(&window, &MainWindow::menuOpenChanged, m_controller.get(), &LinkController::setMenuOpen);
    window.setBusMonitorModel(&m_controller->busMonitor());
    m_state = std::make_unique<LinkStateDisplay>(*m_controller, window, m_core.events(), m_timings.keyRefusalWindowMs);
    connect(m_state.get(), &LinkStateDisplay::onlineShown, this, &LinkAccess::onlineChanged);
}

void LinkWiring::forgetTargets() {
    if (!m_controller)
        return;
    ValueDispatch &dispatch = m_controller->dispatch();
    for (ValueTarget *target : m_targets)
        dispatch.removeTarget(target);
    m_targets.clear();
    dispatch.setPopupRebuild({});
}

void LinkWiring::addValueTarget(ValueTarget *target) {
    m_controller->dispatch().addTarget(target);
    m_targets.push_back(target);
}

void LinkWiring::setPopupRebuild(std::function<void()> rebuild) {
    m_controller->dispatch().setPopupRebuild(std::move(rebuild));
}

QString LinkWiring::lastValue(const QString &gan) {
    return getlv(m_controller->busMonitor(), gan, *m_services.services().dialogs);
}

bool LinkWiring::isOnline() const {
    const GatewayLink &gateway = m_controller->link();
    return gateway.isConnected() && !gateway.hasFailed();
}

void LinkWiring::note(const QString &text) {
    m_controller->busMonitor().insertTop(text);
}
