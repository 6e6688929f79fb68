#include "ChartData.h"

#include "DecimalComma.h"

#include <algorithm>

std::optional<double> ChartData::number(const QString &value) {
    QString comma = value;
    return DecimalComma::parse(comma.replace(u'.', u','));
}

ChartData ChartData::from(const SeriesRows &series, int maxPoints) {
    ChartData data;
    data.fromMs = series.fromMs;
    data.toMs = series.toMs;
    data.bucketMs = series.bucketMs;
    QList<QPointF> values;
    values.reserve(series.rows.size());
    bool onlyZeroOrOne = true;
    for (const ValueRecord &row : series.rows) {
        if (const std::optional<double> y = number(row.value)) {
            values.append(QPointF(double(row.timeMs), *y));
            onlyZeroOrOne = onlyZeroOrOne && (*y == 0 || *y == 1);
        } else {
            data.texts.append(row);
        }
    }
    if (values.isEmpty())
        return data;
    data.kind = onlyZeroOrOne ? Kind::Switch : Kind::Numbers;
    const auto [low, high] = std::minmax_element(values.cbegin(), values.cend(),
                                                 [](const QPointF &a, const QPointF &b) { return a.y() < b.y(); });
    data.minY = low->y();
    data.maxY = high->y();
    if (data.kind == Kind::Numbers) {
        data.points = condensePoints(values, maxPoints);
        return data;
    }
    // Steps: a value holds until the next one; the last holds to the end of the range. Only
    // changes make corners.
    QList<QPointF> steps;
    steps.append(values.front());
    for (qsizetype i = 1; i < values.size(); ++i) {
        if (values[i].y() == steps.back().y())
            continue;
        steps.append(QPointF(values[i].x(), steps.back().y()));
        steps.append(values[i]);
    }
    steps.append(QPointF(std::max(double(series.toMs), steps.back().x()), steps.back().y()));
    data.points = condensePoints(steps, maxPoints);
    return data;
}

QList<QPointF> condensePoints(const QList<QPointF> &points, int maxPoints) {
    if (points.size() <= maxPoints || maxPoints < 4)
        return points;
    const qsizetype slices = maxPoints / 4;
    const double from = points.front().x();
    const double width = std::max(1.0, (points.back().x() - from) / double(slices));
    QList<QPointF> kept;
    kept.reserve(maxPoints);
    qsizetype i = 0;
    while (i < points.size()) {
        // One slice: [first, end) all within the same width of time.
        const qsizetype slice = std::min<qsizetype>(slices - 1, qsizetype((points[i].x() - from) / width));
        qsizetype end = i + 1;
        qsizetype low = i;
        qsizetype high = i;
        while (end < points.size() &&
               std::min<qsizetype>(slices - 1, qsizetype((points[end].x() - from) / width)) == slice) {
            if (points[end].y() < points[low].y())
                low = end;
            if (points[end].y() > points[high].y())
                high = end;
            ++end;
        }
        qsizetype picks[4] = {i, std::min(low, high), std::max(low, high), end - 1};
        qsizetype last = -1;
        for (qsizetype pick : picks)
            if (pick != last) {
                kept.append(points[pick]);
                last = pick;
            }
        i = end;
    }
    return kept;
}
