#include "Startup.h"

#include "AppCore.h"
#include "Dialogs.h"
#include "FrameParts.h"
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
    if (m_core.parts)
        m_core.parts->attach(*m_mainWindow);
    m_core.subsystems().attach(*m_mainWindow);
    m_inCreationSteps = true;
    m_mainWindow->checkHelpFile();
    m_mainWindow->loadSettings();
    m_mainWindow->loadUserFiles();
    m_inCreationSteps = false;

    if (m_terminating) {
        m_mainWindow->close();
        afterFirstConnection();
        return;
    }
    if (!m_core.parts) {
        afterFirstConnection();
        return;
    }
    QPointer<Startup> self(this);
    SplashWindow *splash = m_splash.get();
    m_core.parts->connectAtStart([splash](int position) { splash->setProgress(position); },
                                 [self] {
                                     if (self)
                                         self->afterFirstConnection();
                                 });
}

void Startup::terminate() {
    m_terminating = true;
    m_core.services().dialogs->closeAll();
    if (m_mainWindow && !m_inCreationSteps)
        m_mainWindow->close();
}

void Startup::afterFirstConnection() {
    if (m_connectionDone)
        return;
    m_connectionDone = true;

    // The window can be closed while the start-up waits (from the tray during the first
    // connection, by a signal while the notice is open): its closing sequence has run, so nothing
    // may start polling or show the window again.
    if (!m_mainWindow->isClosed()) {
        m_mainWindow->hideBusMonitorColumn();
        m_mainWindow->applyVersionCaption();
        if (m_core.parts)
            m_core.parts->startPolling();
        for (const QString &notice : m_core.subsystems().startupNotices())
            if (!m_mainWindow->isClosed())
                m_core.services().dialogs->information(notice);
    }
    const bool open = !m_mainWindow->isClosed();
    if (open)
        m_core.subsystems().started();
    m_splash->hide();
    if (open)
        m_mainWindow->showAtStart();
    m_finished = true;
    emit finished();
}
