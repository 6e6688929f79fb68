#include "WebCheckWiring.h"

#include "CheckedFileWriter.h"
#include "Frame.h"
#include "PlatformServices.h"
#include "ProgramPaths.h"
#include "ToolWindow.h"
#include "WebCheckWindow.h"

WebCheckWiring::WebCheckWiring(const BrowserFactory &browsers) : m_browsers(browsers) {
}

void WebCheckWiring::attach(Frame &frame) {
    m_frame = &frame;
    frame.addMenuBarEntry(QStringLiteral("Webchecker"), kMenuBarCaption, kMenuBarHint, [this] {
        if (m_window)
            m_window->open();
    });
}

void WebCheckWiring::load(const QString &) {
    // The checker's files live in the program folder, whatever the configuration folder is.
    CheckedFileWriter::removeLeftoversIn(
        m_frame->paths().programFolder(),
        {QStringLiteral("-qnd.ovw"), QStringLiteral("-qnd.wcv"), QStringLiteral("-qnd.htip")});
}

void WebCheckWiring::started() {
    m_window = new WebCheckWindow(m_frame->paths().programFolder(), *m_frame->services().dialogs, m_frame->window(),
                                  m_browsers);
    // Esc closes it as its close button does: an unsaved project is asked about first.
    ToolWindow::setUp(m_window);
}

void WebCheckWiring::close() {
    if (m_window)
        m_window->hide();
}
