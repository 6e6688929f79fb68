#include "Startup.h"

#include "AppCore.h"
#include "Dialogs.h"
#include "MainWindow.h"
#include "SplashWindow.h"

#include <QPointer>

Startup::Startup(AppCore &core, QObject *parent) : QObject(parent), m_core(core) {
}

Startup::~Startup() = default;

void Startup::run() {
    m_splash = std::make_unique<SplashWindow>();
    m_splash->show();
    m_splash->repaint();

    m_mainWindow = std::make_unique<MainWindow>(m_core);
    if (m_core.hooks.windowCreated)
        m_core.hooks.windowCreated(*m_mainWindow);
    m_mainWindow->checkHelpFile();
    m_mainWindow->loadSettings();
    m_notice = m_mainWindow->loadUserFiles();

    if (!m_core.hooks.firstConnection) {
        afterFirstConnection();
        return;
    }
    QPointer<Startup> self(this);
    m_core.hooks.firstConnection(m_splash->startbar, [self] {
        if (self)
            self->afterFirstConnection();
    });
}

void Startup::afterFirstConnection() {
    if (m_connectionDone)
        return;
    m_connectionDone = true;

    m_mainWindow->hideBusMonitorColumn();
    m_mainWindow->applyVersionCaption();
    if (m_core.hooks.startPolling)
        m_core.hooks.startPolling();
    if (m_notice)
        m_core.services().dialogs->information(QStringLiteral(
            "Es gibt eine neue Funktion der Medungen!\rPrüfe die Einstellungen deiner Menüs mit Ändern"));

    m_mainWindow->createToolWindows();
    if (m_core.hooks.toolWindowsCreated)
        m_core.hooks.toolWindowsCreated();
    m_splash->hide();
    m_mainWindow->showAtStart();
    m_finished = true;
    emit finished();
}
