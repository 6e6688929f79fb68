#pragma once

#include "WebQueryCheck.h"

#include <QWidget>

class QFileSystemModel;
class QLabel;
class QListView;
class QModelIndex;
class QPushButton;
class QTreeView;
class QTreeWidget;

// The tab "Webabfragen prüfen": a folder tree and its import files; "prüfen" asks for the file's
// page to be loaded, and the result list shows what each record leads to on it. The folder models
// exist only while the tab is shown: they watch the folders they show, which costs wake-ups.
class CheckTab : public QWidget {
    Q_OBJECT

public:
    // The tree starts on `folder` (the program folder, where the export writes).
    explicit CheckTab(const QString &folder, QWidget *parent = nullptr);

    // The labels of a file about to be checked; the rows of the last check go.
    void showFile(const WebQueryCheck::File &file);
    // The rows of the search pass and how the check ended.
    void showResult(const QList<WebQueryCheck::Row> &rows, const QString &status);
    void showStatus(const QString &text);

signals:
    // The import file to check (its full path).
    void checkRequested(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void makeModels();
    void folderChosen(const QModelIndex &current);
    void fileChosen();
    // The file chosen before the models went, chosen again once its folder is read.
    void chooseFileAgain();

    // What the tab shows, kept while the models are gone.
    QString m_folder, m_file;
    QFileSystemModel *m_folders = nullptr, *m_files = nullptr;
    QTreeView *TeShellTreeView1;
    QListView *TeShellListView1;
    QPushButton *pruefbtn;
    QLabel *bezlb, *sitelb, *portlb, *m_status;
    QTreeWidget *waliste;
};
