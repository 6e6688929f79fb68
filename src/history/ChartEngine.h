#pragma once

#include "ChartData.h"

#include <QString>
#include <QtPlugin>

class QWidget;

// What the chart plugin (libquendra_chart.so, on Qt Charts) offers the window "Verlauf": chart views.
// The plugin holds Qt Charts and the OpenGL libraries it brings, so the program loads them only
// when the window first opens. The interface's name carries the program's version, so a plugin
// left from another build is refused.
class ChartEngine {
public:
    virtual ~ChartEngine() = default;
    // A new, empty chart view: a scroll area whose viewport is where things are dropped.
    virtual QWidget *createView(QWidget *parent) = 0;
    // Shows the data on a view this engine made, titled with the object's number.
    virtual void show(QWidget *view, const ChartData &data, const QString &title) = 0;
};

#define QUENDRA_CHART_ENGINE_IID "de.quendra.Quendra.ChartEngine/" QUENDRA_VERSION
Q_DECLARE_INTERFACE(ChartEngine, QUENDRA_CHART_ENGINE_IID)
