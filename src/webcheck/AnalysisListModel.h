#pragma once

#include "WebQueryProject.h"

#include <QAbstractTableModel>
#include <QList>

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

    const QList<AnalysisEntry> &entries() const { return m_entries; }
    bool isEmpty() const { return m_entries.isEmpty(); }
    bool isChecked(int row) const { return m_checked.value(row); }
    // Rows beyond the list's budget (ProjectFile::kMaxEntries) are left out. The rows are moved in,
    // not copied.
    void append(QList<AnalysisEntry> entries);
    // Room for `rows` rows (at most the budget), taken at once: a list that grows by reallocation
    // copies and touches all its rows again, which at tens of thousands of rows costs more than a
    // frame of the window.
    void reserve(qsizetype rows);
    // The row's fields replaced; its check box stays.
    void setEntry(int row, const AnalysisEntry &entry);
    void clear();

private:
    QList<AnalysisEntry> m_entries;
    QList<bool> m_checked;
};
