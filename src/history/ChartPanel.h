#pragma once

#include "CatalogueDrag.h"
#include "ChartData.h"

#include <QWidget>
#include <functional>

class ChartEngine;
class Dialogs;
class History;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeView;
class TextValuesModel;

// The tab "Kurve": one object's values over 24 hours, 7 days or 30 days, as a line (numbers) or
// steps (switches); values that are no numbers are listed below. "CSV exportieren" writes the
// shown range. The chart itself comes from the chart plugin, loaded when the first panel is made;
// without it the panel says why in the chart's place and offers everything else.
class ChartPanel : public QWidget {
    Q_OBJECT
public:
    enum class Span { Day, Week, Month };
    // Asks where the CSV file goes (a suggested path in); empty: not exported.
    using FileChooser = std::function<QString(const QString &suggested)>;

    ChartPanel(History &history, Dialogs &dialogs, QWidget *parent = nullptr);

    void showObject(const QString &gan);
    // An object of the catalogue put on the chart (dropped or "Ablegen auf …"): its values are
    // shown; false for an object without a number.
    bool dropObject(const DraggedObject &object);
    static inline const QString kDropTargetCaption = QStringLiteral("Kurve im Verlauf");
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    // Asks the history again for the chosen object and span, ending now.
    void refresh();
    // Asks the history again for the objects the list offers.
    void reloadObjects();
    // What the chart shows (for tests and the window's caller).
    const ChartData &shown() const { return m_data; }
    static qint64 spanMs(Span span);

signals:
    // The chart shows the answer to the last refresh.
    void shownChanged();

private:
    void show(const QString &gan, const SeriesRows &rows);
    void exportShown();

    History &m_history;
    Dialogs &m_dialogs;
    FileChooser m_chooseFile;
    QComboBox *chartObject;
    QComboBox *chartSpan;
    QPushButton *exportCsv;
    ChartEngine *m_engine = nullptr;
    QWidget *chartView; // the engine's view, or the line that says why there is none
    QTreeView *textValues;
    QLabel *chartNote;
    TextValuesModel *m_texts;
    ChartData m_data;
    QString m_shownObject;
    quint64 m_generation = 0;
};
