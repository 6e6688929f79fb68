#pragma once

#include "BrowserHost.h"
#include "PageAnalysis.h"
#include "PageSource.h"
#include "WebQueryCheck.h"
#include "WebQueryProject.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class AnalysisListModel;
class Dialogs;
class DocumentFetch;
class QNetworkAccessManager;
class QTimer;

// What a check leads to: the rows of the import file (searched over the page when it could be
// taken), where the last hit stands in the page source, and how the check ended.
struct CheckResult {
    QList<WebQueryCheck::Row> rows;
    WebQueryCheck::Selection selection;
    QString status;
    bool backToTab = false; // the check showed its page: the tab of the check is to come back
};

// The checker's work on one page at a time, without widgets: the browser (made when it is first
// needed), the analysis list, the page source, and the jobs that need the page: opening a project
// (its rows follow the page), the analysis, the export and the check. At most one job runs; its step
// says what it waits for. The window's tabs call it and render what its signals say.
class PageSession : public QObject {
    Q_OBJECT

public:
    enum class Job { None, Opening, Analysis, Export, Check };
    // What the running job waits for: the page to complete, its source (fetched, then given its line
    // breaks in slices), the next slice of the scan.
    enum class Step { None, Document, Source, Scan };
    // The time the slices of the source and the scan take at most in one turn of the event loop
    // (a slice more, at most: well within a frame).
    static constexpr qint64 kTurnMs = 8;

    // `programFolder` ends with a separator; `browsers` makes the browser when it is first needed.
    PageSession(QString programFolder, Dialogs &dialogs, BrowserFactory browsers, QObject *parent = nullptr);
    ~PageSession() override;

    const QString &programFolder() const { return m_folder; }
    BrowserHost *browser() const { return m_browser.get(); }
    // Makes the browser the first time; false when there is none.
    bool ensureBrowser();

    AnalysisListModel &rows() { return *m_rows; }
    const QByteArray &source() const { return m_source; }
    Job job() const { return m_job; }
    Step step() const { return m_step; }
    // A document has completed since the last navigation and no job runs.
    bool canAnalyse() const;

    // Goes to the address; when the list holds rows, only after "Analyse löschen?" is answered OK.
    // False when nothing navigates (the list was kept, or there is no browser).
    bool load(const QString &address);
    // A frame's address chosen from the frame list: the site becomes its path, the browser goes there.
    void followFrame(const QString &address);

    // Read at every slice of the analysis, so a change takes effect at once.
    void setScanOptions(const ScanOptions &options) { m_options = options; }
    void startAnalysis();
    // Ends the analysis (it keeps the rows found), or the export or check waiting for the source.
    void cancelAnalysis();
    // Stops the analysis and empties the list; the next analysis waits for the next document.
    void clearAnalysis();
    void setEntry(int row, const AnalysisEntry &entry);

    // The project of the header's texts with the list's rows into its file; the list is emptied.
    // False after an error box naming the file.
    bool saveProject(const WebQueryProject &header);
    // Reads a project file of the program folder: projectRead() at once, then its page loads and
    // projectOpened() follows with its rows in the list. False after an error box.
    bool openProject(const QString &fileName);
    // Asks "Wirklich löschen?", then deletes the file of the program folder; false when it did not
    // try (Cancel), so a list of files stays as it is.
    bool removeFile(const QString &fileName);
    QStringList projectFiles() const;
    QStringList templateFiles() const;

    // The import file of a saved project, built over its page loaded afresh.
    void startExport(const QString &fileName);
    // The import file (full path) run over its page.
    void startCheck(const QString &path);

signals:
    // The browser is made: its view is to be shown.
    void browserCreated(BrowserHost *browser);
    // The job, its step or whether an analysis can start changed.
    void stateChanged();
    void loadProgress(int percent);
    // A document completed; the addresses of its frames.
    void framesFound(const QStringList &frames);
    void siteFollowed(const QString &site);
    void sourceChanged();

    void analysisStarted();
    // The source is taken; the scan runs over `length` characters.
    void analysisScanning(qsizetype length);
    void analysisProgress(qsizetype position);
    void analysisEnded(const QString &status);

    void projectRead(const WebQueryProject &project);
    void projectOpened();

    // The export's step, or how it ended.
    void exportStatus(const QString &text);
    void exportProgress(int percent);
    // The page of the project being exported is wanted.
    void exportLoading(const QString &host);
    // The export is over: the file written, or an empty path.
    void exportEnded(const QString &path);

    // The labels of the file being checked; its page is loading.
    void checkStarted(const WebQueryCheck::File &file);
    void checkEnded(const CheckResult &result);
    // A check that could not start.
    void checkStatus(const QString &text);

private:
    bool askToClearAnalysis();
    void navigationStarted();
    void navigationHeld(const QUrl &url);
    void documentComplete(const QStringList &frames);
    void sourceFetched(const QByteArray &bytes, const QString &error);
    // Loads the page (or keeps the document when the user keeps the list), then takes its source.
    void loadThenTakeSource(const QString &address);
    void takeSource();
    void setJob(Job job, Step step = Step::None);

    void nextSlice();
    void buildSlice();
    void sourceBuilt();
    void analyseSlice();
    void showFoundRows();
    void finishAnalysis();
    void finishOpening();
    void finishExport();
    void finishCheck();
    // A job other than the analysis ends without its result: the source it waited for belonged to
    // a document that went (the user went elsewhere), or it `failed` to come.
    void abandonJob(bool failed = false);
    void endRunningJob();
    void endExport(const QString &text);

    QString m_folder;
    Dialogs &m_dialogs;
    BrowserFactory m_browsers;
    std::unique_ptr<BrowserHost> m_browser;
    QNetworkAccessManager *m_network;
    DocumentFetch *m_fetch;
    AnalysisListModel *m_rows;
    QTimer *m_slices;
    std::unique_ptr<PageSourceBuilder> m_builder;
    std::unique_ptr<PageAnalysis> m_analysis;
    ScanOptions m_options;
    // Found in this turn, not yet in the list: each slice's rows as the scan wrote them.
    QList<QList<AnalysisEntry>> m_foundRows;
    QByteArray m_source;
    Job m_job = Job::None;
    Step m_step = Step::None;
    bool m_documentReady = false;

    // What the running job carries to its end.
    QList<AnalysisEntry> m_openingRows;
    WebQueryProject m_exporting;
    QString m_exportPath;
    WebQueryCheck::File m_checking;
};
