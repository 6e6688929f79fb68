#pragma once

#include "HistoryRecords.h"

#include <QAbstractTableModel>
#include <functional>

// The events the list shows, newest first: time, kind, object, text; unread ones in bold (and
// "ungelesen" for screen readers). The object column shows the number and, when a name is known,
// the name after it.
class EventListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Kind, Object, Text, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setEvents(QList<EventRecord> events);
    const EventRecord *eventAt(int row) const;
    // Names objects by number (the catalogue's names); none by default.
    void setObjectNamer(std::function<QString(const QString &gan)> namer);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The object as the list shows it.
    QString objectText(const QString &gan) const;
    static QString timeText(qint64 timeMs);

private:
    QList<EventRecord> m_events;
    std::function<QString(const QString &)> m_namer;
};

// Values that are no numbers, oldest first: time and value.
class TextValuesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(QList<ValueRecord> rows);
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<ValueRecord> m_rows;
};
