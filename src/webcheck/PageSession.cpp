#include "PageSession.h"

#include "AnalysisListModel.h"
#include "Dialogs.h"
#include "DocumentFetch.h"
#include "FileMessages.h"
#include "PageSource.h"
#include "ProjectFile.h"
#include "ValueTemplates.h"
#include "WebCheckTexts.h"
#include "WebQueryExport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QTimer>
#include <utility>

using namespace WebCheckTexts;

PageSession::PageSession(QString programFolder, Dialogs &dialogs, BrowserFactory browsers, QObject *parent)
    : QObject(parent), m_folder(std::move(programFolder)), m_dialogs(dialogs), m_browsers(std::move(browsers)),
      m_network(new QNetworkAccessManager(this)), m_fetch(new DocumentFetch(*m_network, this)),
      m_rows(new AnalysisListModel(this)), m_slices(new QTimer(this)) {
    connect(m_fetch, &DocumentFetch::finished, this, &PageSession::sourceFetched);
    m_slices->setInterval(0);
    connect(m_slices, &QTimer::timeout, this, &PageSession::nextSlice);
}

PageSession::~PageSession() = default;

bool PageSession::ensureBrowser() {
    if (m_browser)
        return true;
    if (m_browsers)
        m_browser = m_browsers();
    if (!m_browser)
        return false;
    m_browser->setNavigationGuard([this] { return !m_rows->isEmpty(); });
    connect(m_browser.get(), &BrowserHost::navigationHeld, this, &PageSession::navigationHeld);
    connect(m_browser.get(), &BrowserHost::navigationStarted, this, &PageSession::navigationStarted);
    connect(m_browser.get(), &BrowserHost::loadProgress, this, &PageSession::loadProgress);
    connect(m_browser.get(), &BrowserHost::documentComplete, this, &PageSession::documentComplete);
    emit browserCreated(m_browser.get());
    return true;
}

bool PageSession::canAnalyse() const {
    return m_browser && m_documentReady && m_job == Job::None;
}

void PageSession::setJob(Job job, Step step) {
    m_job = job;
    m_step = job == Job::None ? Step::None : step;
    emit stateChanged();
}

bool PageSession::askToClearAnalysis() {
    if (m_rows->isEmpty())
        return true;
    if (!m_dialogs.confirm(kAnalyseLoeschen))
        return false;
    clearAnalysis();
    return true;
}

bool PageSession::load(const QString &address) {
    if (!ensureBrowser() || !askToClearAnalysis())
        return false;
    m_documentReady = false;
    emit stateChanged();
    m_browser->navigate(address);
    return true;
}

void PageSession::navigationHeld(const QUrl &url) {
    if (askToClearAnalysis())
        m_browser->navigate(url.toString());
}

void PageSession::navigationStarted() {
    // A source being taken belongs to the document that goes.
    if (m_job == Job::Analysis)
        finishAnalysis();
    else if (m_step == Step::Source)
        abandonJob();
    m_documentReady = false;
    emit stateChanged();
}

void PageSession::documentComplete(const QStringList &frames) {
    emit framesFound(frames);
    m_documentReady = true;
    if (m_job == Job::Opening)
        finishOpening();
    else if (m_step == Step::Document)
        takeSource();
    emit stateChanged();
}

void PageSession::followFrame(const QString &address) {
    const qsizetype slash = address.indexOf(u'/', 7);
    emit siteFollowed(slash < 0 ? QString() : address.mid(slash));
    load(address);
}

void PageSession::loadThenTakeSource(const QString &address) {
    m_step = Step::Document;
    // A navigation refused in "Analyse löschen?" goes on with the document already loaded.
    if (!load(address))
        takeSource();
}

void PageSession::takeSource() {
    m_step = Step::Source;
    m_fetch->fetch(m_browser ? m_browser->currentUrl() : QUrl());
    emit stateChanged();
}

void PageSession::sourceFetched(const QByteArray &bytes, const QString &error) {
    if (!error.isEmpty()) {
        if (m_job == Job::Analysis)
            finishAnalysis();
        else
            abandonJob(true);
        m_dialogs.error(error);
        return;
    }
    // The line breaks are replaced in slices; the job goes on when the source is complete.
    m_builder = std::make_unique<PageSourceBuilder>(bytes);
    m_slices->start();
}

void PageSession::nextSlice() {
    // Slices follow each other within one turn of the event loop until the turn's time is used up:
    // a turn of a window with a browser in it costs about a millisecond of its own, as much as a
    // slice, and a turn per slice doubled the analysis.
    QElapsedTimer turn;
    turn.start();
    do {
        if (m_builder)
            buildSlice();
        else if (m_analysis)
            analyseSlice();
        else
            m_slices->stop();
    } while (m_slices->isActive() && turn.elapsed() < kTurnMs);
    // The rows of the turn's slices go into the list in one insertion.
    showFoundRows();
}

void PageSession::buildSlice() {
    if (!m_builder->run(PageSourceBuilder::kSliceBytes))
        return;
    m_source = m_builder->takeSource();
    m_builder.reset();
    sourceBuilt();
}

void PageSession::sourceBuilt() {
    emit sourceChanged();
    switch (m_job) {
    case Job::Analysis:
        m_rows->clear();
        m_analysis = std::make_unique<PageAnalysis>(m_source);
        setJob(Job::Analysis, Step::Scan);
        emit analysisScanning(m_source.size());
        break;
    case Job::Export:
        m_slices->stop();
        finishExport();
        break;
    case Job::Check:
        m_slices->stop();
        finishCheck();
        break;
    case Job::None:
    case Job::Opening:
        m_slices->stop();
        break;
    }
}

void PageSession::startAnalysis() {
    if (!m_browser || m_job != Job::None)
        return;
    m_source.clear();
    emit sourceChanged();
    setJob(Job::Analysis, Step::Source);
    emit analysisStarted();
    takeSource();
}

void PageSession::analyseSlice() {
    const bool done = m_analysis->run(PageAnalysis::kSliceSteps, m_options);
    if (QList<AnalysisEntry> rows = m_analysis->takeRows(); !rows.isEmpty())
        m_foundRows.emplaceBack(std::move(rows));
    emit analysisProgress(m_analysis->position());
    if (done)
        finishAnalysis();
}

void PageSession::showFoundRows() {
    if (!m_foundRows.isEmpty())
        m_rows->append(std::exchange(m_foundRows, {}));
}

void PageSession::finishAnalysis() {
    const bool cut = m_analysis && m_analysis->stoppedAtBudget();
    showFoundRows();
    m_slices->stop();
    m_builder.reset();
    m_analysis.reset();
    m_fetch->cancel();
    setJob(Job::None);
    emit analysisEnded(cut ? kAnalyseBegrenzt.arg(QLocale(QLocale::German).toString(ProjectFile::kMaxEntries))
                           : kFertig);
}

void PageSession::cancelAnalysis() {
    if (m_job == Job::Analysis && m_step == Step::Scan)
        m_analysis->cancel(); // the next slice ends it
    else if (m_job == Job::Analysis)
        finishAnalysis();
    else if (m_step == Step::Source)
        abandonJob();
}

void PageSession::clearAnalysis() {
    if (m_job == Job::Analysis)
        finishAnalysis();
    m_documentReady = false;
    m_rows->clear();
    emit stateChanged();
}

void PageSession::setEntry(int row, const AnalysisEntry &entry) {
    m_rows->setEntry(row, entry);
}

bool PageSession::saveProject(const WebQueryProject &header) {
    WebQueryProject project = header;
    project.entries = m_rows->entries();
    QString error;
    if (!ProjectFile::save(m_folder, project, &error)) {
        m_dialogs.error(error);
        return false;
    }
    clearAnalysis();
    return true;
}

bool PageSession::openProject(const QString &fileName) {
    QString error;
    const auto project = ProjectFile::load(m_folder + fileName, &error);
    if (!project) {
        m_dialogs.error(error);
        return false;
    }
    endRunningJob();
    emit projectRead(*project);
    m_openingRows = project->entries;
    setJob(Job::Opening, Step::Document);
    // A refused navigation leaves the previous document: the rows follow at once.
    if (!load(project->address()))
        finishOpening();
    return true;
}

void PageSession::finishOpening() {
    m_rows->append(std::exchange(m_openingRows, {}));
    setJob(Job::None);
    emit projectOpened();
}

bool PageSession::removeFile(const QString &fileName) {
    if (!m_dialogs.confirm(kWirklichLoeschen))
        return false;
    QFile file(m_folder + fileName);
    if (!file.remove())
        m_dialogs.error(FileMessages::cannotDelete(file.fileName(), file.errorString()));
    return true;
}

QStringList PageSession::projectFiles() const {
    return QDir(m_folder).entryList({QStringLiteral("*.ovw")}, QDir::Files, QDir::Name);
}

QStringList PageSession::templateFiles() const {
    return ValueTemplates::list(m_folder);
}

void PageSession::startExport(const QString &fileName) {
    if (m_job != Job::None && m_job != Job::Analysis) {
        emit exportStatus(kExportWartet);
        return;
    }
    if (m_job == Job::Analysis)
        finishAnalysis();
    emit exportProgress(0);
    emit exportStatus(kStarteExport);
    m_exportPath = m_folder + fileName;
    QString error;
    const auto project = ProjectFile::load(m_exportPath, &error, ProjectFile::MissingKeys::ForExport);
    if (!project) {
        endExport(kExportFehlgeschlagen);
        m_dialogs.error(error);
        return;
    }
    m_exporting = *project;
    emit exportLoading(project->host);
    emit exportStatus(kLadeQuelltext);
    emit exportProgress(10);
    setJob(Job::Export, Step::Document);
    loadThenTakeSource(project->address());
}

void PageSession::endExport(const QString &text) {
    // The progress so far is no longer true: the line says how the export ended.
    emit exportProgress(0);
    emit exportStatus(text);
    emit exportEnded(QString());
}

void PageSession::finishExport() {
    const WebQueryProject project = std::exchange(m_exporting, {});
    setJob(Job::None);
    emit exportStatus(kErstelleExport);
    const auto outcome =
        WebQueryExport::build(project, m_source, [this](int percent) { emit exportProgress(percent); });
    if (!outcome.error.isEmpty()) {
        endExport(kExportFehlgeschlagen);
        m_dialogs.error(kExportAbgebrochen.arg(m_exportPath, outcome.error));
        return;
    }
    emit exportStatus(kErstelleDatei);
    QString error;
    const auto path = WebQueryExport::write(m_folder, project.bezeichnung, outcome.bytes, &error);
    if (!path) {
        endExport(kExportFehlgeschlagen);
        m_dialogs.error(error);
        return;
    }
    emit exportProgress(100);
    emit exportStatus(kFertig);
    emit exportEnded(*path);
}

void PageSession::startCheck(const QString &path) {
    if (m_job != Job::None && m_job != Job::Analysis) {
        emit checkStatus(kPruefungWartet);
        return;
    }
    if (m_job == Job::Analysis)
        finishAnalysis();
    WebQueryCheck::File file = WebQueryCheck::readFile(path);
    if (!file.projectRead) {
        // Unreadable, or too short to name a page: nothing to load.
        emit checkEnded(CheckResult{{}, {}, kPruefungFehlgeschlagen, false});
        m_dialogs.error(file.error);
        return;
    }
    emit checkStarted(file);
    const QString address = PagePlace::address(file.host, file.port, file.site);
    m_checking = std::move(file);
    setJob(Job::Check, Step::Document);
    loadThenTakeSource(address);
}

void PageSession::finishCheck() {
    WebQueryCheck::File file = std::exchange(m_checking, {});
    setJob(Job::None);
    CheckResult result{file.rows, {}, kPruefungFehlgeschlagen, true};
    if (!file.error.isEmpty()) {
        // The check stops at the broken record; the rows before it stay.
        emit checkEnded(result);
        m_dialogs.error(file.error);
        return;
    }
    result.selection = WebQueryCheck::searchPass(result.rows, PageSource::viewText(m_source));
    const auto isSearch = [](const WebQueryCheck::Row &row) {
        return row.operation == u"2";
    };
    qsizetype searches = 0, missed = 0;
    for (qsizetype i = 0; i < result.rows.size(); ++i) {
        if (!isSearch(result.rows.at(i)))
            continue;
        ++searches;
        // A search's result stands in the row after it; a last row's is not shown.
        if (i + 1 < result.rows.size() && result.rows.at(i + 1).value == u"FEHLER")
            ++missed;
    }
    result.status = kGeprueft.arg(QString::number(searches), QString::number(missed));
    emit checkEnded(result);
}

void PageSession::abandonJob(bool failed) {
    m_fetch->cancel();
    m_slices->stop();
    m_builder.reset();
    const Job job = m_job;
    setJob(Job::None);
    m_openingRows.clear();
    m_exporting = {};
    m_checking = {};
    if (job == Job::Export)
        endExport(failed ? kExportFehlgeschlagen : kExportGestoppt);
    // A failed check goes back to its tab, where it says so; one the user left by going elsewhere
    // only says so there.
    if (job == Job::Check)
        emit checkEnded(CheckResult{{}, {}, failed ? kPruefungFehlgeschlagen : kPruefungAbgebrochen, failed});
}

void PageSession::endRunningJob() {
    if (m_job == Job::Analysis)
        finishAnalysis();
    else if (m_job != Job::None)
        abandonJob();
}
