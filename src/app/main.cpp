#include "AppCore.h"
#include "CommandLine.h"
#include "FrameParts.h"
#include "ImageLists.h"
#include "InstanceStart.h"
#include "LinkAccess.h"
#include "MainWindow.h"
#include "Platform.h"
#include "ProgramPaths.h"
#include "ProgramWiring.h"
#include "QtTranslations.h"
#include "Startup.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[]) {
    // First of all, so that SIGTERM or SIGINT during the start-up is not lost but handled as soon
    // as an event loop (the program's or a box's) runs.
    TerminationSignals::install();

    // Answered before any window system is touched, so that they work without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = CommandLine::parse(arguments);
    switch (command.request()) {
    case CommandLine::Request::Run:
        break;
    case CommandLine::Request::Help: {
        const QCoreApplication paths(argc, argv); // the help's place is found from the program file
        std::fputs(CommandLine::helpText(ProgramPaths::helpFile()).toLocal8Bit().constData(), stdout);
        return 0;
    }
    case CommandLine::Request::Version:
        std::fputs(CommandLine::versionText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Request::Invalid:
        std::fputs((command.error() + u'\n').toLocal8Bit().constData(), stderr);
        return CommandLine::kUsageError;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quendra"));
    // Qt's own texts (standard buttons, the folder chooser, the tab bar's scroll buttons) in German.
    QtTranslations translations(QLocale(QLocale::German, QLocale::Germany));
    QApplication::setWindowIcon(ImageLists::applicationIcon());
    // The main window often lives hidden in the tray; only closing it ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    // One program per user session. A second start asks the running one to show its window and
    // ends before it touches a file or the server.
    const std::unique_ptr<SingleInstance> instance = createSingleInstance();
    const InstanceStart::Outcome claimed = InstanceStart::claim(*instance);
    if (claimed.exitCode)
        return *claimed.exitCode;

    // Destroyed in reverse order, and that order is required: the start-up's windows go first
    // (their views show the wiring's models, and the wiring's link stops reporting into the
    // window before it goes), then the wiring (the subsystems in the core's list and the tray
    // popup), then the core, and last the platform services that every window, popup and box uses.
    const std::unique_ptr<Platform> platform = createPlatform();
    const ProgramPaths paths = ProgramPaths::detect();
    AppCore core(paths, platform->services(), ProgramPaths::helpFile(), AppCore::dataFolderFor(paths));
    ProgramWiring wiring(core);
    Startup startup(core);
    // Before the start-up, as any of its boxes may be open when the signal comes.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &startup, &Startup::terminate);
    QObject::connect(instance.get(), &SingleInstance::showRequested, &startup, [&startup] {
        if (MainWindow *window = startup.mainWindow())
            window->showOnRequest();
    });
    instance->setWindowShownQuery([&startup] {
        const MainWindow *window = startup.mainWindow();
        return window && window->isVisible() && !window->isMinimized();
    });
    startup.run();
    if (!claimed.note.isEmpty() && core.parts)
        core.parts->linkAccess().note(claimed.note);

    MainWindow *window = startup.mainWindow();
    // A save that failed while nobody could answer a box (a signal) was written to the standard
    // error output; the exit code tells whoever ended the program.
    const auto exitCode = [window](int code) {
        return code == 0 && window->closingSaveFailed() ? MainWindow::kSaveFailedExitCode : code;
    };
    if (window->isClosed()) // a signal ended the program while the start-up ran
        return exitCode(0);
    // Closing the window ends the program, also while the start-up still waits for the first
    // connection or shows the notice after it.
    QObject::connect(window, &MainWindow::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    // The session manager may end the program without closing the window: save all the same.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, window, [window] {
        if (!window->isClosed())
            window->close();
    });
    return exitCode(app.exec());
}
