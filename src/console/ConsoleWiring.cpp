#include "ConsoleWiring.h"

#include "ConsoleSession.h"
#include "ConsoleTexts.h"
#include "ConsoleWindow.h"
#include "Frame.h"
#include "LinkAccess.h"
#include "PlatformServices.h"
#include "ToolWindow.h"
#include "WindowPlacement.h"

ConsoleWiring::ConsoleWiring() = default;

ConsoleWiring::~ConsoleWiring() = default;

void ConsoleWiring::attach(Frame &frame) {
    m_frame = &frame;
    m_session =
        std::make_unique<ConsoleSession>(frame.link().commands(), *frame.services().dialogs, frame.catalogueCopyFile());
    frame.addMenuBarEntry(QStringLiteral("Console"), ConsoleTexts::kConsole, {}, [this] { consoleClick(); });
}

void ConsoleWiring::started() {
    m_window = new ConsoleWindow(m_frame->window());
    // Esc closes it; screen readers meet it as a window.
    ToolWindow::setUp(m_window);
    m_window->setSession(m_session.get());
}

void ConsoleWiring::close() {
    if (m_window)
        m_window->hide();
}

void ConsoleWiring::consoleClick() {
    if (m_window)
        WindowPlacement::showCentred(m_window, m_frame->window());
}
