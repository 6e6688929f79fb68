#pragma once

#include "BrowserHost.h"
#include "WebQueryCheck.h"
#include "WebQueryProject.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class AnalysisListModel;
class CheckTab;
class NewValueTab;
class Dialogs;
class DocumentFetch;
class PageAnalysis;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QNetworkAccessManager;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolButton;
class QTreeView;

// The web-query checker `TForm4`: projects on the tab "Daten", the page, its source and its
// analysis on the tab "Browser". The window lives from start-up to the end of the program and is
// only shown and hidden; the browser is created the first time the window is shown.
class WebCheckWindow : public QWidget {
    Q_OBJECT

public:
    // `programFolder` ends with a separator; without a factory the browser is Qt WebEngine.
    WebCheckWindow(const QString &programFolder, Dialogs &dialogs, QWidget *parent = nullptr,
                   BrowserFactory browserFactory = {});
    ~WebCheckWindow() override;

    // The main menu's "Webchecker": tab "Daten" active, "Browser" and "Neu" hidden, the export
    // display reset, the window shown modally.
    void open();

    // The browser, once the window has been shown (tests).
    BrowserHost *browser() const { return m_browser.get(); }
    // The source of the last analysis.
    const QByteArray &pageSource() const { return m_source; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildDataTab();
    QWidget *buildBrowserTab();
    void ensureBrowser();

    // Project operations of the tab "Daten".
    void neubtnClick();
    bool savebtnClick();
    void openbtnClick();
    void deletebtnClick();
    // Asks "Wirklich löschen?", then deletes the file chosen in `list`; false when it did not try
    // (no choice, or Cancel), so the list stays as it is.
    bool deleteChosenFile(const QListWidget *list);
    void gobrowserClick();
    void projectListChanged();
    void readProjectList();
    void enterIdle();
    void enterEditing();
    void setPlaceholders();
    void setFieldsEnabled(bool enabled);
    void discardProject();
    void finishOpening();
    WebQueryProject projectFromFields() const;
    void showBrowserTab(bool makeActive);
    void setTabShown(QWidget *tab, bool shown);

    // Page loading and analysis.
    bool loadPage(const QString &address);
    bool askToClearAnalysis();
    void clearAnalysis();
    void stopAnalysis();
    // Ends a running fetch of the source, and the export or check waiting for it.
    void cancelFetch();
    void navigationHeld(const QUrl &url);
    void documentComplete(const QStringList &frames);
    void loadProgress(int percent);
    void analysebtnClick();
    void sourceFetched(const QByteArray &bytes, const QString &error);
    void analyseSlice();
    void finishAnalysis();
    void sbanalyseabrClick();
    void quelltextbtnClick();
    void showSource();
    void lbframesDoubleClick(QListWidgetItem *item);

    // Value definition, templates, export and check.
    void rowStateChanged(int row);
    void entryEdited(int row, const AnalysisEntry &entry);
    void definitionFinished();
    void readTemplateList();
    void deletevlgbtnClick();
    void exportbtnClick();
    void takeSourceOfLoadedPage();
    void exportSourceTaken();
    // An export that made no file: the progress is reset and the line says so.
    void exportEnded(const QString &text);
    void checkRequested(const QString &path);
    void checkSourceTaken();
    // Loads the page, then takes its source as the server fetches it and calls `then`.
    void loadAndTakeSource(const QString &address, void (WebCheckWindow::*then)());
    void takeSource(void (WebCheckWindow::*then)());
    void putSourceInView();

    QString m_folder;
    Dialogs &m_dialogs;
    BrowserFactory m_browserFactory;
    std::unique_ptr<BrowserHost> m_browser;
    QNetworkAccessManager *m_network;
    DocumentFetch *m_fetch;
    std::unique_ptr<PageAnalysis> m_analysis;
    QTimer *m_slices;
    QByteArray m_source;
    bool m_sourceShown = true; // the source view holds m_source
    bool m_fetching = false;
    // Rows of a project being opened, appended when its page has completed.
    std::optional<QList<AnalysisEntry>> m_openingRows;
    // What follows the next completed document, and what follows the next fetched source.
    void (WebCheckWindow::*m_afterLoad)() = nullptr;
    void (WebCheckWindow::*m_afterSource)() = nullptr;
    std::optional<WebQueryProject> m_exporting;
    QString m_exportPath;
    std::optional<WebQueryCheck::File> m_checking;

    QTabWidget *m_tabs;
    QWidget *m_dataTab, *m_browserTab;
    NewValueTab *m_newTab;
    CheckTab *m_checkTab;

    QLineEdit *WABez, *WAHOST, *WAPORT, *WASITE;
    QPushButton *neubtn, *savebtn, *openbtn, *deletebtn, *exportbtn;
    QToolButton *gobrowser;
    QListWidget *projektliste;
    QProgressBar *exportbar;
    QLabel *exportlb;
    QListWidget *vorlageliste;
    QPushButton *deletevlgbtn;

    QWidget *m_browserArea;
    QPlainTextEdit *quelltext;
    QFrame *framepanel;
    QListWidget *lbframes;
    QPushButton *analysebtn, *quelltextbtn;
    QToolButton *sbanalyseabr;
    QCheckBox *mtext, *mbilder, *mlinks;
    QTreeView *Liste;
    AnalysisListModel *m_rows;
    QLabel *m_status;
    QProgressBar *progbar;
};
