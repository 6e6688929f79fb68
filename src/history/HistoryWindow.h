#pragma once

#include "ChartPanel.h"

#include <QWidget>
#include <functional>

class Dialogs;
class EventListPanel;
class History;
class LimitsPanel;
class QTabWidget;

// The window "Verlauf": the tabs "Ereignisse" (the event list with its filters, mutes and
// "Alle als gelesen markieren") and "Kurve" (one object's values), and the limits below them.
// A tool window of its own: Esc closes it.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    HistoryWindow(History &history, Dialogs &dialogs, QWidget *parent = nullptr);

    // Shows the chart of an object (chosen in the catalogue or the list).
    void showChart(const QString &gan);
    // An object of the catalogue put on the window: the tab "Kurve" shows its values.
    bool dropObjectOnChart(const DraggedObject &object);
    void setObjectNamer(const std::function<QString(const QString &gan)> &namer);
    void setFileChooser(ChartPanel::FileChooser chooser);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QTabWidget *historyTabs;
    EventListPanel *m_events;
    ChartPanel *m_chart;
    LimitsPanel *m_limits;
};
