#pragma once

#include "BrowserHost.h"

#include <QWidget>
#include <memory>

class BrowserTab;
class CheckTab;
class Dialogs;
class NewValueTab;
class PageSession;
class ProjectsTab;
class QTabWidget;

// The web-query checker `TForm4`: the tabs "Daten", "Browser", "Neu" and "Webabfragen prüfen" over
// one page session. The window shows and hides the tabs as the session's jobs and the user's steps
// go on; the tabs do the rest. It lives from start-up to the end of the program and is only shown
// and hidden; the browser is made the first time the window is shown.
class WebCheckWindow : public QWidget {
    Q_OBJECT

public:
    // `programFolder` ends with a separator; without a factory the browser comes from the browser
    // plugin.
    WebCheckWindow(const QString &programFolder, Dialogs &dialogs, QWidget *parent = nullptr,
                   BrowserFactory browserFactory = {});
    ~WebCheckWindow() override;

    // The main menu's "Webchecker": tab "Daten" active, "Browser" and "Neu" hidden, the export
    // display reset, the window shown modally.
    void open();

    // The browser, once the window has been shown (tests).
    BrowserHost *browser() const;
    // The source of the last analysis, export or check.
    const QByteArray &pageSource() const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void connectTabs();
    void setTabShown(QWidget *tab, bool shown);
    // Captioned "Browser - " and the Bezeichnung, or "Browser" without one.
    void showBrowserTab(const QString &bezeichnung, bool makeActive);
    void discardProject();

    Dialogs &m_dialogs;
    // Destroyed before the tabs, so the browser's view leaves them first.
    std::unique_ptr<PageSession> m_session;
    QTabWidget *m_tabs;
    ProjectsTab *m_projectsTab;
    BrowserTab *m_browserTab;
    NewValueTab *m_newTab;
    CheckTab *m_checkTab;
};
