#include "ValueChartPlugin.h"

#include "ValueChart.h"

#include <QChart>
#include <QChartView>

QWidget *ValueChartPlugin::createView(QWidget *parent) {
    auto *view = new QChartView(parent);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

void ValueChartPlugin::show(QWidget *view, const ChartData &data, const QString &title) {
    auto *chartView = qobject_cast<QChartView *>(view);
    if (!chartView)
        return;
    QChart *old = chartView->chart();
    chartView->setChart(ValueChart::build(data, title));
    delete old;
}
