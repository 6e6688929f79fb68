#include "HistoryWindow.h"

#include "EventListPanel.h"
#include "HistoryTexts.h"
#include "LimitsPanel.h"
#include "NamedWidgets.h"
#include "ToolWindow.h"

#include <QTabWidget>
#include <QVBoxLayout>

HistoryWindow::HistoryWindow(History &history, Dialogs &dialogs, QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("historyWindow"));
    setWindowTitle(HistoryTexts::kWindowTitle);
    ToolWindow::setUp(this);
    historyTabs = NamedWidgets::named(new QTabWidget(this), QStringLiteral("historyTabs"), HistoryTexts::kWindowTitle);
    m_events = new EventListPanel(history, this);
    m_chart = new ChartPanel(history, dialogs, this);
    historyTabs->addTab(m_events, HistoryTexts::kEventsTab);
    historyTabs->addTab(m_chart, HistoryTexts::kChartTab);
    m_limits = new LimitsPanel(history, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(historyTabs, 1);
    layout->addWidget(m_limits);
    resize(800, 560);
    connect(m_events, &EventListPanel::chartRequested, this, &HistoryWindow::showChart);
}

void HistoryWindow::showChart(const QString &gan) {
    historyTabs->setCurrentWidget(m_chart);
    m_chart->showObject(gan);
}

bool HistoryWindow::dropObjectOnChart(const DraggedObject &object) {
    if (!m_chart->dropObject(object))
        return false;
    historyTabs->setCurrentWidget(m_chart);
    return true;
}

void HistoryWindow::setObjectNamer(const std::function<QString(const QString &)> &namer) {
    m_events->setObjectNamer(namer);
}

void HistoryWindow::setFileChooser(ChartPanel::FileChooser chooser) {
    m_chart->setFileChooser(std::move(chooser));
}

// What happened while the window was closed is there when it opens.
void HistoryWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    m_events->refresh();
    m_chart->reloadObjects();
    m_chart->refresh();
}
