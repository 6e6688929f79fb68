#pragma once

#include "HelpViewer.h"

#include <QPointer>

class QTextBrowser;

// Shows the HTML help in a window of its own; context number N is the anchor "contextN".
class HtmlHelpViewer : public HelpViewer {
public:
    ~HtmlHelpViewer() override;
    void showContext(const QString &helpFile, int context) override;
    void closeAll() override;

private:
    QPointer<QTextBrowser> m_window;
};
