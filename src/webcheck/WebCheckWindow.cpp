#include "WebCheckWindow.h"

#include "WindowPlacement.h"

#include "AnalysisListModel.h"
#include "BrowserPlugin.h"
#include "CheckTab.h"
#include "CheckedFileWriter.h"
#include "Dialogs.h"
#include "DocumentFetch.h"
#include "FieldFocus.h"
#include "FileMessages.h"
#include "NewValueTab.h"
#include "PageAnalysis.h"
#include "PageSource.h"
#include "ProjectFile.h"
#include "ValueTemplates.h"
#include "WebCheckTexts.h"
#include "WebQueryExport.h"
#include "WidgetNaming.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QNetworkAccessManager>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

using namespace WebCheckTexts;
using namespace WidgetNaming;

namespace {

QPushButton *button(const char *objectName, const QString &caption, const QString &hint) {
    auto *b = named(new QPushButton(caption), objectName, caption);
    b->setToolTip(hint);
    return b;
}
} // namespace

WebCheckWindow::WebCheckWindow(const QString &programFolder, Dialogs &dialogs, QWidget *parent,
                               BrowserFactory browserFactory)
    : QWidget(parent, Qt::Window), m_folder(programFolder), m_dialogs(dialogs),
      m_browserFactory(std::move(browserFactory)), m_network(new QNetworkAccessManager(this)),
      m_fetch(new DocumentFetch(*m_network, this)), m_slices(new QTimer(this)) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(kCaption);
    setAccessibleName(kCaption);
    resize(880, 638);

    auto *layout = new QVBoxLayout(this);
    auto *menu = new QMenuBar(this);
    menu->addAction(kSchliessen, this, &QWidget::close);
    layout->setMenuBar(menu);
    m_tabs = named(new QTabWidget, "tabs", kCaption);
    layout->addWidget(m_tabs);
    m_dataTab = buildDataTab();
    m_browserTab = buildBrowserTab();
    m_newTab = named(new NewValueTab(m_folder, m_dialogs), "neutab");
    m_checkTab = named(new CheckTab(m_folder), "prueftab");
    m_tabs->addTab(m_dataTab, kTabDaten);
    m_tabs->addTab(m_browserTab, kTabBrowser);
    m_tabs->addTab(m_newTab, kTabNeu);
    m_tabs->addTab(m_checkTab, kTabPruefen);
    setTabShown(m_browserTab, false);
    setTabShown(m_newTab, false);
    setTabShown(m_checkTab, false);

    connect(m_fetch, &DocumentFetch::finished, this, &WebCheckWindow::sourceFetched);
    connect(m_newTab, &NewValueTab::entryEdited, this, &WebCheckWindow::entryEdited);
    connect(m_newTab, &NewValueTab::finished, this, &WebCheckWindow::definitionFinished);
    connect(m_checkTab, &CheckTab::checkRequested, this, &WebCheckWindow::checkRequested);
    m_slices->setInterval(0);
    connect(m_slices, &QTimer::timeout, this, &WebCheckWindow::analyseSlice);

    // The first state: example texts in the disabled fields.
    WABez->setText(kBezPlaceholder);
    WAHOST->setText(kExampleHost);
    WAPORT->setText(kInitialPort);
    WASITE->setText(kInitialSite);
    setFieldsEnabled(false);
    savebtn->setEnabled(false);
    readProjectList();
    readTemplateList();
    hide();
}

WebCheckWindow::~WebCheckWindow() = default;

QWidget *WebCheckWindow::buildDataTab() {
    auto *tab = new QWidget;
    auto *layout = new QVBoxLayout(tab);

    auto *current = named(new QGroupBox(kAktuellesProjekt), "aktprojekt");
    auto *fields = new QFormLayout;
    WABez = named(new QLineEdit, "WABez");
    WAHOST = named(new QLineEdit, "WAHOST");
    WAPORT = named(new QLineEdit, "WAPORT");
    WASITE = named(new QLineEdit, "WASITE");
    fields->addRow(labelFor(kBezeichnung, WABez), WABez);
    fields->addRow(labelFor(kHost, WAHOST), WAHOST);
    fields->addRow(labelFor(kPort, WAPORT), WAPORT);
    fields->addRow(labelFor(kSite, WASITE), WASITE);
    for (QLineEdit *edit : {WABez, WAHOST, WASITE})
        edit->installEventFilter(this);
    for (QLineEdit *edit : {WABez, WAHOST, WAPORT, WASITE})
        FieldFocus::selectAllOnFocus(edit);
    neubtn = button("neubtn", kTabNeu, kNeuHint);
    savebtn = button("savebtn", kSpeichern, kSpeichernHint);
    gobrowser = named(new QToolButton, "gobrowser");
    gobrowser->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    gobrowser->setToolTip(kWebsiteLaden);
    auto *goLabel = labelFor(kHierKlicken, gobrowser);
    gobrowser->setAccessibleName(kWebsiteLaden);
    auto *actions = new QHBoxLayout;
    actions->addWidget(neubtn);
    actions->addWidget(savebtn);
    actions->addSpacing(20);
    actions->addWidget(gobrowser);
    actions->addWidget(goLabel);
    actions->addStretch();
    auto *currentLayout = new QVBoxLayout(current);
    currentLayout->addLayout(fields);
    currentLayout->addLayout(actions);

    auto *saved = named(new QGroupBox(kGespeicherteProjekteGroup), "gespprojekte");
    projektliste = named(new QListWidget, "projektliste", kGespeicherteProjekte);
    projektliste->setSortingEnabled(true);
    openbtn = button("openbtn", kOeffnen, kOeffnenHint);
    deletebtn = button("deletebtn", kLoeschen, kLoeschenHint);
    exportbtn = button("exportbtn", kExport, kExportHint);
    exportbar = named(new QProgressBar, "exportbar", kExport);
    exportbar->setRange(0, 100);
    exportlb = named(new QLabel, "exportlb");
    auto *savedButtons = new QHBoxLayout;
    for (QPushButton *b : {openbtn, deletebtn, exportbtn})
        savedButtons->addWidget(b);
    savedButtons->addStretch();
    auto *savedLayout = new QVBoxLayout(saved);
    savedLayout->addWidget(projektliste);
    savedLayout->addLayout(savedButtons);
    savedLayout->addWidget(exportbar);
    savedLayout->addWidget(exportlb);

    auto *templates = named(new QGroupBox(kVorlagen), "vorlagen");
    vorlageliste = named(new QListWidget, "vorlageliste", kVorlagenListe);
    vorlageliste->setSortingEnabled(true);
    vorlageliste->setMaximumHeight(90);
    deletevlgbtn = button("deletevlgbtn", kLoeschen, kVorlageLoeschenHint);
    auto *templatesLayout = new QHBoxLayout(templates);
    templatesLayout->addWidget(vorlageliste, 1);
    templatesLayout->addWidget(deletevlgbtn, 0, Qt::AlignTop);

    layout->addWidget(current);
    layout->addWidget(saved, 1);
    layout->addWidget(templates);

    connect(neubtn, &QPushButton::clicked, this, &WebCheckWindow::neubtnClick);
    connect(savebtn, &QPushButton::clicked, this, &WebCheckWindow::savebtnClick);
    connect(openbtn, &QPushButton::clicked, this, &WebCheckWindow::openbtnClick);
    connect(deletebtn, &QPushButton::clicked, this, &WebCheckWindow::deletebtnClick);
    connect(gobrowser, &QToolButton::clicked, this, &WebCheckWindow::gobrowserClick);
    connect(projektliste, &QListWidget::itemSelectionChanged, this, &WebCheckWindow::projectListChanged);
    connect(exportbtn, &QPushButton::clicked, this, &WebCheckWindow::exportbtnClick);
    connect(deletevlgbtn, &QPushButton::clicked, this, &WebCheckWindow::deletevlgbtnClick);
    connect(vorlageliste, &QListWidget::itemSelectionChanged, this,
            [this] { deletevlgbtn->setEnabled(vorlageliste->count() > 0); });
    return tab;
}

QWidget *WebCheckWindow::buildBrowserTab() {
    auto *tab = new QWidget;
    auto *layout = new QVBoxLayout(tab);

    // The source view and the frame notice lie over the browser.
    m_browserArea = new QWidget;
    auto *area = new QGridLayout(m_browserArea);
    area->setContentsMargins(0, 0, 0, 0);
    quelltext = named(new QPlainTextEdit, "quelltext", kQuelltext);
    quelltext->setReadOnly(true);
    quelltext->setLineWrapMode(QPlainTextEdit::NoWrap);
    quelltext->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    quelltext->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    quelltext->hide();
    framepanel = named(new QFrame, "framepanel");
    framepanel->setAutoFillBackground(true);
    QPalette maroon = framepanel->palette();
    maroon.setColor(QPalette::Window, QColor(0x80, 0, 0));
    maroon.setColor(QPalette::WindowText, Qt::white);
    framepanel->setPalette(maroon);
    auto *notice = new QLabel(kFrameNotice);
    notice->setWordWrap(true);
    QFont bold = notice->font();
    bold.setBold(true);
    notice->setFont(bold);
    lbframes = named(new QListWidget, "lbframes");
    auto *choose = labelFor(kFrameChoose, lbframes);
    auto *keep = button("framenein", kFrameKeep, kFrameKeep);
    auto *panelLayout = new QVBoxLayout(framepanel);
    panelLayout->addWidget(notice);
    panelLayout->addWidget(choose);
    panelLayout->addWidget(lbframes);
    panelLayout->addWidget(keep);
    framepanel->hide();
    area->addWidget(quelltext, 0, 0);
    area->addWidget(framepanel, 0, 0, Qt::AlignTop);

    analysebtn = button("analysebtn", kAnalyseStarten, kAnalyseHint);
    analysebtn->setEnabled(false);
    sbanalyseabr = named(new QToolButton, "sbanalyseabr", kAnalyseAbbrechen);
    sbanalyseabr->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    sbanalyseabr->setToolTip(kAnalyseAbbrechen);
    auto *options = named(new QGroupBox, "scanoptionen", kScanOptionen);
    mtext = named(new QCheckBox(kScanText), "mtext", kScanText);
    mbilder = named(new QCheckBox(kScanBilder), "mbilder", kScanBilder);
    mlinks = named(new QCheckBox(kScanLinks), "mlinks", kScanLinks);
    mtext->setChecked(true);
    auto *optionsLayout = new QHBoxLayout(options);
    for (QCheckBox *box : {mtext, mbilder, mlinks})
        optionsLayout->addWidget(box);
    quelltextbtn = button("quelltextbtn", kQuelltextEinblenden, kQuelltextEinblenden);
    auto *tools = new QHBoxLayout;
    tools->addWidget(analysebtn);
    tools->addWidget(sbanalyseabr);
    tools->addWidget(options);
    tools->addWidget(quelltextbtn);
    tools->addStretch();

    m_rows = new AnalysisListModel(this);
    Liste = named(new QTreeView, "Liste", kListe);
    Liste->setModel(m_rows);
    Liste->setRootIsDecorated(false);
    Liste->setUniformRowHeights(true);
    Liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Liste->setToolTip(kListeHint);
    Liste->header()->resizeSection(0, 180);
    Liste->header()->resizeSection(1, 80);
    auto *lower = new QWidget;
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addLayout(tools);
    lowerLayout->addWidget(Liste);

    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(m_browserArea);
    splitter->addWidget(lower);
    // The browser arrives when the window is first shown; its place is kept from the start.
    m_browserArea->setMinimumHeight(120);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({330, 220});

    auto *status = new QStatusBar;
    status->setSizeGripEnabled(false);
    m_status = named(new QLabel, "statustext");
    m_status->setFixedWidth(200);
    progbar = named(new QProgressBar, "progbar", kFortschritt);
    progbar->setTextVisible(false);
    status->addWidget(m_status);
    status->addWidget(progbar, 1);

    layout->addWidget(splitter, 1);
    layout->addWidget(status);

    connect(analysebtn, &QPushButton::clicked, this, &WebCheckWindow::analysebtnClick);
    connect(sbanalyseabr, &QToolButton::clicked, this, &WebCheckWindow::sbanalyseabrClick);
    connect(quelltextbtn, &QPushButton::clicked, this, &WebCheckWindow::quelltextbtnClick);
    connect(lbframes, &QListWidget::itemDoubleClicked, this, &WebCheckWindow::lbframesDoubleClick);
    // A row opens the definition whenever its state changes while its check box is set.
    connect(m_rows, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &from, const QModelIndex &, const QList<int> &roles) {
                if (roles.contains(Qt::CheckStateRole))
                    rowStateChanged(from.row());
            });
    connect(Liste->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                for (const QModelIndex &index : {previous, current})
                    if (index.isValid())
                        rowStateChanged(index.row());
            });
    connect(keep, &QPushButton::clicked, framepanel, &QWidget::hide);
    return tab;
}

void WebCheckWindow::ensureBrowser() {
    if (m_browser)
        return;
    m_browser = m_browserFactory ? m_browserFactory() : BrowserPlugin::createHost();
    m_browser->setNavigationGuard([this] { return !m_rows->isEmpty(); });
    auto *area = static_cast<QGridLayout *>(m_browserArea->layout());
    area->addWidget(m_browser->view(), 0, 0);
    quelltext->raise();
    framepanel->raise();
    connect(m_browser.get(), &BrowserHost::navigationHeld, this, &WebCheckWindow::navigationHeld);
    connect(m_browser.get(), &BrowserHost::navigationStarted, this, [this] {
        // The source of a running analysis belongs to the document that goes.
        stopAnalysis();
        analysebtn->setEnabled(false);
    });
    connect(m_browser.get(), &BrowserHost::loadProgress, this, &WebCheckWindow::loadProgress);
    connect(m_browser.get(), &BrowserHost::documentComplete, this, &WebCheckWindow::documentComplete);
}

void WebCheckWindow::open() {
    m_tabs->setCurrentWidget(m_dataTab);
    setTabShown(m_browserTab, false);
    setTabShown(m_newTab, false);
    exportlb->clear();
    exportbar->setValue(0);
    readProjectList();
    readTemplateList();
    setWindowModality(Qt::ApplicationModal);
    WindowPlacement::showCentred(this, parentWidget());
}

void WebCheckWindow::showEvent(QShowEvent *event) {
    ensureBrowser();
    QWidget::showEvent(event);
}

void WebCheckWindow::closeEvent(QCloseEvent *event) {
    if (savebtn->isEnabled()) {
        switch (m_dialogs.choose(kNotSaved)) {
        case Dialogs::Choice::Cancel:
            event->ignore();
            return;
        case Dialogs::Choice::Yes:
            setTabShown(m_checkTab, true);
            // A project that could not be saved stays on screen with the error.
            if (!savebtnClick()) {
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

bool WebCheckWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const std::pair<QLineEdit *, const QString *> placeholders[] = {
            {WABez, &kBezPlaceholder}, {WAHOST, &kHostPlaceholder}, {WASITE, &kSitePlaceholder}};
        for (const auto &[edit, text] : placeholders)
            if (watched == edit && edit->text() == *text)
                edit->clear();
    }
    return QWidget::eventFilter(watched, event);
}

void WebCheckWindow::setTabShown(QWidget *tab, bool shown) {
    m_tabs->setTabVisible(m_tabs->indexOf(tab), shown);
}

void WebCheckWindow::showBrowserTab(bool makeActive) {
    const QString bez = WABez->text();
    m_tabs->setTabText(m_tabs->indexOf(m_browserTab), bez.isEmpty() ? kTabBrowser : kTabBrowserOf + bez);
    setTabShown(m_browserTab, true);
    if (makeActive)
        m_tabs->setCurrentWidget(m_browserTab);
}

void WebCheckWindow::setFieldsEnabled(bool enabled) {
    for (QLineEdit *edit : {WABez, WAHOST, WAPORT, WASITE})
        edit->setEnabled(enabled);
}

void WebCheckWindow::setPlaceholders() {
    WABez->setText(kBezPlaceholder);
    WAHOST->setText(kHostPlaceholder);
    WASITE->setText(kSitePlaceholder);
}

void WebCheckWindow::readProjectList() {
    projektliste->clear();
    projektliste->addItems(QDir(m_folder).entryList({QStringLiteral("*.ovw")}, QDir::Files, QDir::Name));
    projectListChanged();
}

void WebCheckWindow::projectListChanged() {
    const bool any = projektliste->count() > 0;
    for (QPushButton *b : {openbtn, deletebtn, exportbtn})
        b->setEnabled(any);
}

void WebCheckWindow::enterIdle() {
    neubtn->setEnabled(true);
    openbtn->setEnabled(true);
    deletebtn->setEnabled(true);
    setFieldsEnabled(false);
    setPlaceholders();
    savebtn->setEnabled(false);
}

void WebCheckWindow::enterEditing() {
    setFieldsEnabled(true);
    savebtn->setEnabled(true);
    for (QPushButton *b : {neubtn, openbtn, deletebtn, exportbtn})
        b->setEnabled(false);
}

WebQueryProject WebCheckWindow::projectFromFields() const {
    return WebQueryProject{WABez->text(), WAHOST->text(), WAPORT->text(), WASITE->text(), m_rows->entries()};
}

void WebCheckWindow::neubtnClick() {
    enterEditing();
    WABez->setFocus();
    setTabShown(m_checkTab, false);
}

bool WebCheckWindow::savebtnClick() {
    savebtn->setEnabled(false);
    QString error;
    if (!ProjectFile::save(m_folder, projectFromFields(), &error)) {
        m_dialogs.error(error);
        // The texts stay so the user can mend the name and save again.
        savebtn->setEnabled(true);
        return false;
    }
    enterIdle();
    analysebtn->setEnabled(false);
    clearAnalysis();
    setTabShown(m_browserTab, false);
    setTabShown(m_checkTab, true);
    m_tabs->setCurrentWidget(m_dataTab);
    readProjectList();
    return true;
}

void WebCheckWindow::discardProject() {
    clearAnalysis();
    m_newTab->resetDefinition();
    setTabShown(m_checkTab, true);
    setTabShown(m_browserTab, false);
    setTabShown(m_newTab, false);
    m_tabs->setCurrentWidget(m_dataTab);
    enterIdle();
}

void WebCheckWindow::openbtnClick() {
    const QListWidgetItem *item = projektliste->currentItem();
    if (!item || !item->isSelected()) {
        m_dialogs.information(kSelectFirst);
        return;
    }
    QString error;
    const auto project = ProjectFile::load(m_folder + item->text(), &error);
    if (!project) {
        m_dialogs.error(error);
        return;
    }
    WABez->setText(project->bezeichnung);
    WAHOST->setText(project->host);
    WAPORT->setText(project->port);
    WASITE->setText(project->site);
    showBrowserTab(false);
    // Nothing else may start while the page loads; the rows follow when it has completed.
    for (QPushButton *b : {neubtn, openbtn, deletebtn, exportbtn})
        b->setEnabled(false);
    m_openingRows = project->entries;
    // A refused navigation leaves the previous document: the rows follow at once.
    if (!loadPage(project->address()))
        finishOpening();
}

void WebCheckWindow::finishOpening() {
    m_rows->append(*std::exchange(m_openingRows, std::nullopt));
    enterEditing();
}

bool WebCheckWindow::deleteChosenFile(const QListWidget *list) {
    const QListWidgetItem *item = list->currentItem();
    if (!item || !item->isSelected() || !m_dialogs.confirm(kWirklichLoeschen))
        return false;
    QFile file(m_folder + item->text());
    if (!file.remove())
        m_dialogs.error(FileMessages::cannotDelete(file.fileName(), file.errorString()));
    return true;
}

void WebCheckWindow::deletebtnClick() {
    if (deleteChosenFile(projektliste))
        readProjectList();
}

void WebCheckWindow::gobrowserClick() {
    showBrowserTab(true);
    loadPage(WAHOST->text() + WASITE->text());
}

bool WebCheckWindow::askToClearAnalysis() {
    if (m_rows->isEmpty())
        return true;
    if (!m_dialogs.confirm(kAnalyseLoeschen))
        return false;
    clearAnalysis();
    return true;
}

void WebCheckWindow::stopAnalysis() {
    if (!m_analysis && !m_fetching)
        return;
    cancelFetch();
    finishAnalysis();
}

void WebCheckWindow::cancelFetch() {
    m_fetch->cancel();
    m_fetching = false;
    // An export or check waiting for this source ends with it.
    m_afterSource = nullptr;
    if (std::exchange(m_exporting, std::nullopt))
        exportEnded(kExportGestoppt);
    m_checking.reset();
}

void WebCheckWindow::exportEnded(const QString &text) {
    // The progress so far is no longer true: the line says how the export ended.
    exportbar->setValue(0);
    exportlb->setText(text);
}

void WebCheckWindow::clearAnalysis() {
    stopAnalysis();
    analysebtn->setEnabled(false);
    m_rows->clear();
}

bool WebCheckWindow::loadPage(const QString &address) {
    ensureBrowser();
    if (!askToClearAnalysis())
        return false;
    analysebtn->setEnabled(false);
    m_browser->navigate(address);
    return true;
}

void WebCheckWindow::navigationHeld(const QUrl &url) {
    if (askToClearAnalysis())
        m_browser->navigate(url.toString());
}

void WebCheckWindow::loadProgress(int percent) {
    progbar->setRange(0, 100);
    progbar->setValue(percent);
}

void WebCheckWindow::documentComplete(const QStringList &frames) {
    lbframes->clear();
    lbframes->addItems(frames);
    if (lbframes->count() > 0) {
        framepanel->show();
        framepanel->raise();
    }
    analysebtn->setEnabled(!m_analysis && !m_fetching);
    if (m_openingRows)
        finishOpening();
    if (const auto then = std::exchange(m_afterLoad, nullptr))
        (this->*then)();
}

void WebCheckWindow::analysebtnClick() {
    if (!m_browser || m_analysis || m_fetching)
        return;
    analysebtn->setEnabled(false);
    m_status->setText(kAnalysiere);
    progbar->setValue(0);
    progbar->show();
    // The source as the server fetches it.
    quelltext->clear();
    m_source.clear();
    m_sourceShown = true;
    m_fetching = true;
    m_fetch->fetch(m_browser->currentUrl());
}

void WebCheckWindow::sourceFetched(const QByteArray &bytes, const QString &error) {
    m_fetching = false;
    const auto then = std::exchange(m_afterSource, nullptr);
    if (!error.isEmpty()) {
        const bool exporting = m_exporting.has_value();
        if (then)
            cancelFetch();
        else
            finishAnalysis();
        if (exporting)
            exportEnded(kExportFehlgeschlagen);
        m_dialogs.error(error);
        return;
    }
    m_source = PageSource::fromDocument(bytes);
    putSourceInView();
    if (then) {
        (this->*then)();
        return;
    }
    m_rows->clear();
    progbar->setRange(0, static_cast<int>(m_source.size()));
    Liste->setUpdatesEnabled(false);
    m_analysis = std::make_unique<PageAnalysis>(m_source);
    m_slices->start();
}

void WebCheckWindow::analyseSlice() {
    const bool done = m_analysis->run(PageAnalysis::kSliceSteps,
                                      ScanOptions{mtext->isChecked(), mbilder->isChecked(), mlinks->isChecked()});
    m_rows->append(m_analysis->takeRows());
    if (progbar->isVisible())
        progbar->setValue(static_cast<int>(m_analysis->position()));
    if (done)
        finishAnalysis();
}

void WebCheckWindow::putSourceInView() {
    // A large text takes the view a while to lay out: it is filled when it is seen.
    m_sourceShown = false;
    if (quelltext->isVisible())
        showSource();
}

void WebCheckWindow::finishAnalysis() {
    m_slices->stop();
    m_analysis.reset();
    m_status->setText(kFertig);
    progbar->hide();
    Liste->setUpdatesEnabled(true);
    analysebtn->setEnabled(m_browser && m_browser->isComplete());
}

void WebCheckWindow::sbanalyseabrClick() {
    progbar->hide();
    progbar->setValue(0);
    if (m_analysis) {
        m_analysis->cancel();
    } else if (m_fetching) {
        cancelFetch();
        finishAnalysis();
    }
}

void WebCheckWindow::quelltextbtnClick() {
    if (quelltext->isVisible()) {
        quelltext->hide();
        return;
    }
    quelltext->show();
    quelltext->raise();
    showSource();
}

void WebCheckWindow::showSource() {
    if (!std::exchange(m_sourceShown, true))
        quelltext->setPlainText(PageSource::viewText(m_source));
}

void WebCheckWindow::lbframesDoubleClick(QListWidgetItem *item) {
    if (!item)
        return;
    const QString entry = item->text();
    const qsizetype slash = entry.indexOf(u'/', 7);
    WASITE->setText(slash < 0 ? QString() : entry.mid(slash));
    loadPage(entry);
    framepanel->hide();
}

void WebCheckWindow::rowStateChanged(int row) {
    if (row < 0 || !m_rows->isChecked(row))
        return;
    m_newTab->choose(row, m_rows->entries().at(row), PageSource::viewText(m_source));
    setTabShown(m_newTab, true);
    m_tabs->setCurrentWidget(m_newTab);
}

void WebCheckWindow::entryEdited(int row, const AnalysisEntry &entry) {
    m_rows->setEntry(row, entry);
}

void WebCheckWindow::definitionFinished() {
    setTabShown(m_newTab, false);
    m_tabs->setCurrentWidget(m_browserTab);
    readTemplateList();
}

void WebCheckWindow::readTemplateList() {
    vorlageliste->clear();
    vorlageliste->addItems(ValueTemplates::list(m_folder));
    deletevlgbtn->setEnabled(vorlageliste->count() > 0);
}

void WebCheckWindow::deletevlgbtnClick() {
    if (!deleteChosenFile(vorlageliste))
        return;
    readTemplateList();
    m_newTab->readTemplates();
}

void WebCheckWindow::takeSource(void (WebCheckWindow::*then)()) {
    m_afterSource = then;
    m_fetching = true;
    m_fetch->fetch(m_browser->currentUrl());
}

void WebCheckWindow::loadAndTakeSource(const QString &address, void (WebCheckWindow::*then)()) {
    m_afterSource = then;
    // A navigation refused in "Analyse löschen?" goes on with the document already loaded.
    if (loadPage(address))
        m_afterLoad = &WebCheckWindow::takeSourceOfLoadedPage;
    else
        takeSourceOfLoadedPage();
}

void WebCheckWindow::takeSourceOfLoadedPage() {
    takeSource(std::exchange(m_afterSource, nullptr));
}

void WebCheckWindow::exportbtnClick() {
    const QListWidgetItem *item = projektliste->currentItem();
    if (!item || !item->isSelected()) {
        m_dialogs.information(kSelectFirst);
        return;
    }
    if (m_exporting || m_checking)
        return;
    stopAnalysis();
    exportbar->setValue(0);
    exportlb->setText(kStarteExport);
    m_exportPath = m_folder + item->text();
    QString error;
    m_exporting = ProjectFile::load(m_exportPath, &error, ProjectFile::MissingKeys::ForExport);
    if (!m_exporting) {
        exportEnded(kExportFehlgeschlagen);
        m_dialogs.error(error);
        return;
    }
    m_tabs->setTabText(m_tabs->indexOf(m_browserTab), kTabBrowserOf + m_exporting->host);
    setTabShown(m_browserTab, true);
    exportlb->setText(kLadeQuelltext);
    exportbar->setValue(10);
    loadAndTakeSource(m_exporting->address(), &WebCheckWindow::exportSourceTaken);
}

void WebCheckWindow::exportSourceTaken() {
    const WebQueryProject project = *std::exchange(m_exporting, std::nullopt);
    // Every way out but the last leaves no file: the line then says so instead of its last step.
    auto failed = qScopeGuard([this] { exportEnded(kExportFehlgeschlagen); });
    exportlb->setText(kErstelleExport);
    const auto outcome =
        WebQueryExport::build(project, m_source, [this](int percent) { exportbar->setValue(percent); });
    if (!outcome.error.isEmpty()) {
        m_dialogs.error(kExportAbgebrochen.arg(m_exportPath, outcome.error));
        return;
    }
    exportlb->setText(kErstelleDatei);
    const QString name = WebQueryExport::fileName(project.bezeichnung);
    const QString path = m_folder + name;
    if (const auto refused = ProjectFile::nameError(name)) {
        m_dialogs.error(FileMessages::cannotWrite(path, *refused));
        return;
    }
    QString error;
    if (!CheckedFileWriter::writeFile(path, outcome.bytes, &error)) {
        m_dialogs.error(error);
        return;
    }
    failed.dismiss();
    setTabShown(m_browserTab, false);
    exportbar->setValue(100);
    exportlb->setText(kFertig);
}

void WebCheckWindow::checkRequested(const QString &path) {
    if (m_exporting || m_checking)
        return;
    stopAnalysis();
    // An import file is a few lines per value; one larger than the largest page is none.
    QFile file(path);
    if (file.size() > PageSource::kMaxBytes) {
        m_dialogs.error(FileMessages::cannotRead(path, QStringLiteral("Sie ist zu groß.")));
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        m_dialogs.error(FileMessages::cannotRead(path, file.errorString()));
        return;
    }
    WebQueryCheck::File read = WebQueryCheck::read(file.readAll(), path);
    if (!read.projectRead) {
        // Too short to name a page: nothing to load.
        m_checkTab->clearRows();
        m_dialogs.error(read.error);
        return;
    }
    m_checkTab->showFile(read);
    m_tabs->setTabText(m_tabs->indexOf(m_browserTab), kTabBrowser);
    setTabShown(m_browserTab, true);
    m_tabs->setCurrentWidget(m_browserTab);
    const QString address = read.host + read.site;
    m_checking = std::move(read);
    loadAndTakeSource(address, &WebCheckWindow::checkSourceTaken);
}

void WebCheckWindow::checkSourceTaken() {
    WebQueryCheck::File file = *std::exchange(m_checking, std::nullopt);
    setTabShown(m_browserTab, false);
    m_tabs->setCurrentWidget(m_checkTab);
    if (!file.error.isEmpty()) {
        // The check stops at the broken record; the rows before it stay.
        m_checkTab->showRows(file.rows);
        m_dialogs.error(file.error);
        return;
    }
    const QString text = PageSource::viewText(m_source);
    const auto selection = WebQueryCheck::searchPass(file.rows, text);
    m_checkTab->showRows(file.rows);
    if (selection.length > 0) {
        showSource();
        QTextCursor cursor(quelltext->document());
        cursor.setPosition(static_cast<int>(selection.start - 1));
        cursor.setPosition(static_cast<int>(selection.start - 1 + selection.length), QTextCursor::KeepAnchor);
        quelltext->setTextCursor(cursor);
    }
}
