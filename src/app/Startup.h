#pragma once

#include <QObject>
#include <memory>

class AppCore;
class MainWindow;
class SplashWindow;

// The start-up: the splash window, the creation of the main window step by step (the frame's parts
// and the subsystems attached, settings, user files, the first connection, width, caption, polling,
// notices), the subsystems' windows, and last the main window shown (or left in the tray). The
// first connection may take its time: the rest follows when it reports done, and finished() tells
// that the start-up is over (all is up, or the window was closed meanwhile and nothing more was
// started).
class Startup : public QObject {
    Q_OBJECT
public:
    explicit Startup(AppCore &core, QObject *parent = nullptr);
    ~Startup() override;

    void run();
    // The program is to end (SIGTERM, SIGINT): open boxes close and the main window runs its
    // closing sequence. While the creation steps still read the settings and the user files, it
    // closes right after them, so that what is saved is what was read; no connection is made.
    void terminate();
    bool isFinished() const { return m_finished; }
    MainWindow *mainWindow() const { return m_mainWindow.get(); }
    SplashWindow *splash() const { return m_splash.get(); }

signals:
    void finished();

private:
    void afterFirstConnection();

    AppCore &m_core;
    std::unique_ptr<SplashWindow> m_splash;
    std::unique_ptr<MainWindow> m_mainWindow;
    bool m_connectionDone = false;
    bool m_finished = false;
    bool m_inCreationSteps = false;
    bool m_terminating = false;
};
