#pragma once

#include "WebQueryProject.h"

#include <QAbstractTableModel>
#include <QList>
#include <utility>

// The rows of the analysis list: the value with a check box, its position and the fields of its
// definition. Rows are not edited in place; the view adds each kind's icon.
class AnalysisListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit AnalysisListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The rows in list order (a copy, for saving).
    QList<AnalysisEntry> entries() const;
    const AnalysisEntry &entry(int row) const;
    bool isEmpty() const { return m_rowCount == 0; }
    bool isChecked(int row) const { return m_checked.value(row); }
    // Rows beyond the list's budget (ProjectFile::kMaxEntries) are left out. The rows are taken
    // as they are, each list as one more block of the list, in one insertion.
    void append(QList<QList<AnalysisEntry>> blocks);
    void append(QList<AnalysisEntry> entries);
    // The row's fields replaced; its check box stays.
    void setEntry(int row, const AnalysisEntry &entry);
    void clear();

private:
    // The block holding `row`, and the row's place in it.
    std::pair<qsizetype, qsizetype> locate(int row) const;

    // The rows in the blocks they arrived in: an analysis hands over a turn's rows at a time, and
    // copying them into one growing list would write every row into fresh memory once more,
    // which costs as much as finding them.
    QList<QList<AnalysisEntry>> m_blocks;
    QList<qsizetype> m_blockStarts; // the row number of each block's first row
    qsizetype m_rowCount = 0;
    QList<bool> m_checked;
};
