#pragma once

#include "HistoryRecords.h"

#include <QList>
#include <QPointF>

// What a chart of one object's values shows, computed from its rows: numbers as a line, switches
// (every number 0 or 1) as steps that hold each value until the next, and the values that are no
// numbers as a list beside it. x is the time in ms since 1970, y the value.
struct ChartData {
    enum class Kind {
        Empty,   // no numbers in the range
        Numbers, // a line through the values
        Switch,  // steps
    };
    // More points than this are condensed: per slice of time the first, lowest, highest and last
    // point stay, so the line looks the same at any width a screen has.
    static constexpr int kMaxPoints = 4000;

    Kind kind = Kind::Empty;
    QList<QPointF> points;
    QList<ValueRecord> texts; // values that are no numbers, oldest first
    qint64 fromMs = 0;
    qint64 toMs = 0;
    double minY = 0;
    double maxY = 0;
    qint64 bucketMs = 0; // the rows were condensed by the database to one per slice (0: not)

    static ChartData from(const SeriesRows &series, int maxPoints = kMaxPoints);
    // A value from the bus as a number ("21.5", "21,5", "-3"), or nothing.
    static std::optional<double> number(const QString &value);
};

// The points kept of a line of many: per slice the first, lowest, highest and last, in time order.
QList<QPointF> condensePoints(const QList<QPointF> &points, int maxPoints);
