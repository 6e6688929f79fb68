#include "ValueChart.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QLocale>
#include <QValueAxis>

namespace {
constexpr qint64 kTwoDaysMs = 2LL * 24 * 60 * 60 * 1000;
} // namespace

namespace ValueChart {
QChart *build(const ChartData &data, const QString &title) {
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    chart->setLocale(QLocale(QLocale::German));
    chart->setLocalizeNumbers(true);
    auto *series = new QLineSeries;
    series->replace(data.points);
    chart->addSeries(series);

    auto *time = new QDateTimeAxis;
    time->setFormat(data.toMs - data.fromMs <= kTwoDaysMs ? QStringLiteral("HH:mm") : QStringLiteral("dd.MM."));
    time->setRange(QDateTime::fromMSecsSinceEpoch(data.fromMs), QDateTime::fromMSecsSinceEpoch(data.toMs));
    chart->addAxis(time, Qt::AlignBottom);
    series->attachAxis(time);

    auto *values = new QValueAxis;
    if (data.kind == ChartData::Kind::Switch) {
        values->setRange(-0.1, 1.1);
        values->setTickCount(2);
        values->setTickType(QValueAxis::TicksDynamic);
        values->setTickAnchor(0);
        values->setTickInterval(1);
        values->setLabelFormat(QStringLiteral("%d"));
    } else {
        const double margin = data.maxY > data.minY ? (data.maxY - data.minY) * 0.05 : 1;
        values->setRange(data.minY - margin, data.maxY + margin);
        values->applyNiceNumbers();
    }
    chart->addAxis(values, Qt::AlignLeft);
    series->attachAxis(values);
    return chart;
}
} // namespace ValueChart
