#pragma once

#include <QTableView>

// The analysis list's view: a report of rows of one fixed height without grid or row numbers.
// A table view places a row by its number alone, so taking in a turn's rows costs the same at
// 80,000 rows as at the first; a tree view lays out every row again after each insertion.
// The keys behave as in a list of rows: Left and Right scroll sideways, Home and End go to the
// first and last row, Tab leaves the list.
class AnalysisListView : public QTableView {
    Q_OBJECT

public:
    explicit AnalysisListView(QWidget *parent = nullptr);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};
