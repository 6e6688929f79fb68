#include "WebCheckWindow.h"

#include "AnalysisListModel.h"
#include "BrowserPlugin.h"
#include "BrowserTab.h"
#include "CheckTab.h"
#include "Dialogs.h"
#include "NamedWidgets.h"
#include "NewValueTab.h"
#include "PageSession.h"
#include "PageSource.h"
#include "ProjectsTab.h"
#include "WebCheckTexts.h"
#include "WindowPlacement.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace WebCheckTexts;
using namespace NamedWidgets;

WebCheckWindow::WebCheckWindow(const QString &programFolder, Dialogs &dialogs, QWidget *parent,
                               BrowserFactory browserFactory)
    : QWidget(parent, Qt::Window), m_dialogs(dialogs),
      m_session(std::make_unique<PageSession>(
          programFolder, dialogs,
          browserFactory ? std::move(browserFactory) : BrowserFactory([] { return BrowserPlugin::createHost(); }))) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(kCaption);
    setAccessibleName(kCaption);
    resize(880, 638);

    auto *layout = new QVBoxLayout(this);
    auto *menu = new QMenuBar(this);
    menu->addAction(kSchliessen, this, &QWidget::close);
    layout->setMenuBar(menu);
    m_tabs = named(new QTabWidget, u"tabs"_qs, kCaption);
    layout->addWidget(m_tabs);
    m_projectsTab = objectNamed(new ProjectsTab(*m_session, dialogs), u"datentab"_qs);
    m_browserTab = objectNamed(new BrowserTab(*m_session), u"browsertab"_qs);
    m_newTab = objectNamed(new NewValueTab(programFolder, dialogs), u"neutab"_qs);
    m_checkTab = objectNamed(new CheckTab(programFolder), u"prueftab"_qs);
    m_tabs->addTab(m_projectsTab, kTabDaten);
    m_tabs->addTab(m_browserTab, kTabBrowser);
    m_tabs->addTab(m_newTab, kTabNeu);
    m_tabs->addTab(m_checkTab, kTabPruefen);
    setTabShown(m_browserTab, false);
    setTabShown(m_newTab, false);
    setTabShown(m_checkTab, false);
    connectTabs();
    hide();
}

WebCheckWindow::~WebCheckWindow() = default;

void WebCheckWindow::connectTabs() {
    connect(m_projectsTab, &ProjectsTab::newProject, this, [this] { setTabShown(m_checkTab, false); });
    connect(m_projectsTab, &ProjectsTab::saved, this, [this] {
        setTabShown(m_browserTab, false);
        setTabShown(m_checkTab, true);
        m_tabs->setCurrentWidget(m_projectsTab);
    });
    connect(m_projectsTab, &ProjectsTab::pageWanted, this,
            [this](const QString &bezeichnung) { showBrowserTab(bezeichnung, true); });
    connect(m_projectsTab, &ProjectsTab::templatesChanged, m_newTab, &NewValueTab::readTemplates);

    connect(m_browserTab, &BrowserTab::entryChosen, this, [this](int row) {
        m_newTab->choose(row, m_session->rows().entry(row), PageSource::viewText(m_session->source()));
        setTabShown(m_newTab, true);
        m_tabs->setCurrentWidget(m_newTab);
    });
    connect(m_newTab, &NewValueTab::entryEdited, m_session.get(), &PageSession::setEntry);
    connect(m_newTab, &NewValueTab::finished, this, [this] {
        setTabShown(m_newTab, false);
        m_tabs->setCurrentWidget(m_browserTab);
        m_projectsTab->readTemplates();
    });
    connect(m_checkTab, &CheckTab::checkRequested, m_session.get(), &PageSession::startCheck);

    connect(m_session.get(), &PageSession::projectRead, this,
            [this](const WebQueryProject &project) { showBrowserTab(project.bezeichnung, false); });
    connect(m_session.get(), &PageSession::exportLoading, this, [this](const QString &host) {
        m_tabs->setTabText(m_tabs->indexOf(m_browserTab), kTabBrowserOf + host);
        setTabShown(m_browserTab, true);
    });
    connect(m_session.get(), &PageSession::exportEnded, this, [this](const QString &path) {
        if (!path.isEmpty())
            setTabShown(m_browserTab, false);
    });
    connect(m_session.get(), &PageSession::checkStarted, this, [this](const WebQueryCheck::File &file) {
        m_checkTab->showFile(file);
        m_tabs->setTabText(m_tabs->indexOf(m_browserTab), kTabBrowser);
        setTabShown(m_browserTab, true);
        m_tabs->setCurrentWidget(m_browserTab);
    });
    connect(m_session.get(), &PageSession::checkEnded, this, [this](const CheckResult &result) {
        if (result.backToTab) {
            setTabShown(m_browserTab, false);
            m_tabs->setCurrentWidget(m_checkTab);
        }
        m_checkTab->showResult(result.rows, result.status);
        m_browserTab->selectInSource(result.selection);
    });
    connect(m_session.get(), &PageSession::checkStatus, m_checkTab, &CheckTab::showStatus);
}

BrowserHost *WebCheckWindow::browser() const {
    return m_session->browser();
}

const QByteArray &WebCheckWindow::pageSource() const {
    return m_session->source();
}

void WebCheckWindow::open() {
    m_tabs->setCurrentWidget(m_projectsTab);
    setTabShown(m_browserTab, false);
    setTabShown(m_newTab, false);
    m_projectsTab->reset();
    setWindowModality(Qt::ApplicationModal);
    WindowPlacement::showCentred(this, parentWidget());
}

void WebCheckWindow::showEvent(QShowEvent *event) {
    m_session->ensureBrowser();
    QWidget::showEvent(event);
}

void WebCheckWindow::closeEvent(QCloseEvent *event) {
    if (m_projectsTab->isEditing()) {
        switch (m_dialogs.choose(kNotSaved)) {
        case Dialogs::Choice::Cancel:
            event->ignore();
            return;
        case Dialogs::Choice::Yes:
            setTabShown(m_checkTab, true);
            // A project that could not be saved stays on screen with the error.
            if (!m_projectsTab->save()) {
                event->ignore();
                return;
            }
            break;
        case Dialogs::Choice::No:
            discardProject();
            break;
        }
    }
    event->accept();
}

void WebCheckWindow::discardProject() {
    m_session->clearAnalysis();
    m_newTab->resetDefinition();
    setTabShown(m_checkTab, true);
    setTabShown(m_browserTab, false);
    setTabShown(m_newTab, false);
    m_tabs->setCurrentWidget(m_projectsTab);
    m_projectsTab->discard();
}

void WebCheckWindow::setTabShown(QWidget *tab, bool shown) {
    m_tabs->setTabVisible(m_tabs->indexOf(tab), shown);
}

void WebCheckWindow::showBrowserTab(const QString &bezeichnung, bool makeActive) {
    m_tabs->setTabText(m_tabs->indexOf(m_browserTab),
                       bezeichnung.isEmpty() ? kTabBrowser : kTabBrowserOf + bezeichnung);
    setTabShown(m_browserTab, true);
    if (makeActive)
        m_tabs->setCurrentWidget(m_browserTab);
}
