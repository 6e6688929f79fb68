#include "AppCore.h"
#include "CanberraEventSounds.h"
#include "HtmlHelpViewer.h"
#include "ImageLists.h"
#include "MainWindow.h"
#include "MessageBoxDialogs.h"
#include "ProgramWiring.h"
#include "Startup.h"
#include "SystemTrayIcon.h"
#include "TerminationSignals.h"
#include "XdgAutostart.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[]) {
    // First of all, so that SIGTERM or SIGINT during the start-up is not lost but handled after it.
    TerminationSignals::install();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quendra"));
    QApplication::setWindowIcon(ImageLists::applicationIcon());
    // The main window often lives hidden in the tray; only closing it ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    SystemTrayIcon tray;
    MessageBoxDialogs dialogs;
    XdgAutostart autostart;
    HtmlHelpViewer help;
    const std::unique_ptr<EventSounds> sounds = createEventSounds();
    PlatformServices services;
    services.tray = &tray;
    services.dialogs = &dialogs;
    services.autostart = &autostart;
    services.help = &help;
    services.sounds = sounds.get();

    AppCore core(ProgramPaths::detect(), services,
                 QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help/quendra.html")));
    ProgramWiring wiring(core);
    Startup startup(core);
    startup.run();
    // Closing the window, or a signal, ends the program also while the start-up still waits for
    // the first connection or shows the notice after it. A signal that came while a box of the
    // start-up's first steps was open waits in its pipe until the event loop runs.
    MainWindow *window = startup.mainWindow();
    QObject::connect(window, &MainWindow::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    auto *termination = new TerminationSignals(&app);
    QObject::connect(termination, &TerminationSignals::terminationRequested, window, &QWidget::close);
    // The session manager may end the program without closing the window: save all the same.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, window, [window] {
        if (!window->isClosed())
            window->close();
    });
    return app.exec();
}
