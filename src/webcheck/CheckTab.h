#pragma once

#include "WebQueryCheck.h"

#include <QWidget>

class QFileSystemModel;
class QLabel;
class QListView;
class QPushButton;
class QTreeView;
class QTreeWidget;

// The tab "Webabfragen prüfen": a folder tree and its import files; "prüfen" asks the window to
// load the file's page, and the result list shows what each record leads to on it.
class CheckTab : public QWidget {
    Q_OBJECT

public:
    // The tree starts on `folder` (the program folder, where the export writes).
    explicit CheckTab(const QString &folder, QWidget *parent = nullptr);

    // The labels of a file about to be checked.
    void showFile(const WebQueryCheck::File &file);
    // The rows of the search pass.
    void showRows(const QList<WebQueryCheck::Row> &rows);
    void clearRows();

signals:
    // The import file to check (its full path).
    void checkRequested(const QString &path);

private:
    void selectionChanged();

    QFileSystemModel *m_folders, *m_files;
    QTreeView *TeShellTreeView1;
    QListView *TeShellListView1;
    QPushButton *pruefbtn;
    QLabel *bezlb, *sitelb, *portlb;
    QTreeWidget *waliste;
};
