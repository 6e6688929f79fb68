#include "HtmlHelpViewer.h"

#include "ToolWindow.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HtmlHelpViewer::~HtmlHelpViewer() {
    closeAll();
}

void HtmlHelpViewer::showContext(const QString &helpFile, int context) {
    if (!m_window) {
        // The text sits in a window of its own: on its own the text box would be announced as a
        // label, and a window is what screen readers look for.
        m_window = new QWidget;
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_window->setObjectName(QStringLiteral("helpWindow"));
        m_window->setWindowTitle(QStringLiteral("Quendra - Hilfe"));
        m_window->setAccessibleName(QStringLiteral("Hilfe"));
        m_text = new QTextBrowser(m_window);
        m_text->setObjectName(QStringLiteral("helpText"));
        m_text->setAccessibleName(QStringLiteral("Hilfe"));
        m_text->setOpenExternalLinks(true);
        auto *layout = new QVBoxLayout(m_window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_text);
        m_window->resize(640, 560);
        ToolWindow::setUp(m_window);
    }
    m_text->setSource(QUrl::fromLocalFile(helpFile));
    m_text->scrollToAnchor(QStringLiteral("context%1").arg(context));
    // On the screen of the window the user works in.
    WindowPlacement::showCentred(m_window, QApplication::activeWindow());
}

void HtmlHelpViewer::closeAll() {
    delete m_window;
}
