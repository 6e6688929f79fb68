#pragma once

#include "WebQueryCheck.h"

#include <QElapsedTimer>
#include <QWidget>

class AnalysisListView;
class BrowserHost;
class PageSession;
class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

// The tab "Browser": the page, the source view and the frame notice over it, the analysis with
// its scan options, the analysis list and the status line. It renders the page session and passes
// the user's actions on to it.
class BrowserTab : public QWidget {
    Q_OBJECT

public:
    explicit BrowserTab(PageSession &session, QWidget *parent = nullptr);

    // Selects the text of the check's last hit in the source view.
    void selectInSource(const WebQueryCheck::Selection &selection);

signals:
    // A row of the list whose check box is set changed its state: its definition is wanted.
    void entryChosen(int row);

private:
    void addBrowserView(BrowserHost *browser);
    void showFrames(const QStringList &frames);
    void toggleSource();
    // A large text takes the view a while to lay out: it is filled when it is seen.
    void sourceChanged();
    void fillSourceView();
    void rowStateChanged(int row);

    PageSession &m_session;
    bool m_sourceShown = true; // the source view holds the session's source

    QWidget *m_browserArea;
    QPlainTextEdit *quelltext;
    QFrame *framepanel;
    QListWidget *lbframes;
    QPushButton *analysebtn, *quelltextbtn;
    QToolButton *sbanalyseabr;
    QCheckBox *mtext, *mbilder, *mlinks;
    AnalysisListView *Liste;
    QLabel *m_status;
    // When the analysis progress was last shown: a repaint of the window costs more than a slice of
    // the scan, so the bar moves only a few times a second.
    QElapsedTimer m_progressShown;
    QProgressBar *progbar;
};
