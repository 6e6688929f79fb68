#pragma once

#include "HelpViewer.h"

#include <QPointer>

class QTextBrowser;
class QWidget;

// Shows the HTML help in a window of its own ("helpWindow", a tool window holding the text
// `helpText`); context number N is the anchor "contextN".
class HtmlHelpViewer : public HelpViewer {
public:
    ~HtmlHelpViewer() override;
    void showContext(const QString &helpFile, int context) override;
    void closeAll() override;

private:
    QPointer<QWidget> m_window;
    QTextBrowser *m_text = nullptr; // lives in m_window
};
