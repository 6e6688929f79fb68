#pragma once

#include "HistoryRecords.h"

#include <QWidget>
#include <functional>
#include <optional>

class EventListModel;
class History;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeView;

// The tab "Ereignisse": the events newest first, filtered by kind, object and a search text;
// "Alle als gelesen markieren"; and, from the list's context menu (also the context-menu key or
// Shift+F10), the mutes of the chosen event's object and its chart.
class EventListPanel : public QWidget {
    Q_OBJECT
public:
    EventListPanel(History &history, QWidget *parent = nullptr);

    // Asks the history again (the list follows the history's eventsChanged by itself).
    void refresh();
    void setObjectNamer(std::function<QString(const QString &gan)> namer);
    // The object of the chosen event, or empty.
    QString currentObject() const;

signals:
    void chartRequested(const QString &gan);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    EventFilter filter() const;
    void showPage(const EventPage &page);
    void showObjects(const QStringList &objects);
    // At a point of the list's viewport (a click), or at the chosen row (no point: the keyboard).
    void openContextMenu(std::optional<QPoint> at);
    void updateActions();
    void updateMuted();
    void mute(const std::function<bool(const QString &gan, const QDateTime &now)> &how);

    History &m_history;
    EventListModel *m_model;
    QComboBox *kindFilter;
    QComboBox *objectFilter;
    QLineEdit *searchField;
    QTreeView *eventList;
    QLabel *listNote;
    QLabel *mutedObjects;
    QPushButton *markAllRead;
    QMenu *m_menu;
    QAction *m_muteHour;
    QAction *m_muteMorning;
    QAction *m_unmute;
    QAction *m_showChart;
    quint64 m_generation = 0;
};
