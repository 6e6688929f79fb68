#pragma once

#include "ChartEngine.h"

#include <QObject>

// The chart plugin on Qt Charts: the window "Verlauf" loads it when it first opens.
class ValueChartPlugin : public QObject, public ChartEngine {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QUENDRA_CHART_ENGINE_IID)
    Q_INTERFACES(ChartEngine)

public:
    QWidget *createView(QWidget *parent) override;
    void show(QWidget *view, const ChartData &data, const QString &title) override;
};
