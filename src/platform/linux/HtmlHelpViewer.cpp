#include "HtmlHelpViewer.h"

#include "WindowPlacement.h"

#include <QApplication>
#include <QTextBrowser>
#include <QUrl>

HtmlHelpViewer::~HtmlHelpViewer() {
    closeAll();
}

void HtmlHelpViewer::showContext(const QString &helpFile, int context) {
    if (!m_window) {
        m_window = new QTextBrowser;
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_window->setObjectName(QStringLiteral("helpWindow"));
        m_window->setWindowTitle(QStringLiteral("Quendra - Hilfe"));
        m_window->setAccessibleName(QStringLiteral("Hilfe"));
        m_window->setOpenExternalLinks(true);
        m_window->resize(640, 560);
    }
    m_window->setSource(QUrl::fromLocalFile(helpFile));
    m_window->scrollToAnchor(QStringLiteral("context%1").arg(context));
    // On the screen of the window the user works in.
    WindowPlacement::showCentred(m_window, QApplication::activeWindow());
}

void HtmlHelpViewer::closeAll() {
    delete m_window;
}
