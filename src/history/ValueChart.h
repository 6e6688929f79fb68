#pragma once

#include "ChartData.h"

#include <QString>

class QChart;

// The Qt Charts picture of one object's values: a line for numbers, steps for switches, over the
// time axis of the shown range. The caller owns the chart.
namespace ValueChart {
QChart *build(const ChartData &data, const QString &title);
} // namespace ValueChart
