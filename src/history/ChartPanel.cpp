#include "ChartPanel.h"

#include "ChartEngine.h"
#include "ChartPlugin.h"
#include "Dialogs.h"
#include "EventListModel.h"
#include "History.h"
#include "HistoryTexts.h"
#include "NamedWidgets.h"
#include "ObjectDrop.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

using NamedWidgets::buddyLabel;
using NamedWidgets::button;
using NamedWidgets::named;

namespace {
constexpr qint64 kHourMs = 60LL * 60 * 1000;
} // namespace

qint64 ChartPanel::spanMs(Span span) {
    switch (span) {
    case Span::Day:
        return 24 * kHourMs;
    case Span::Week:
        return 7 * 24 * kHourMs;
    case Span::Month:
        return 30 * 24 * kHourMs;
    }
    return 24 * kHourMs;
}

ChartPanel::ChartPanel(History &history, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_history(history), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("chartPanel"));
    m_chooseFile = [this](const QString &suggested) {
        return QFileDialog::getSaveFileName(this, HistoryTexts::kExportTitle, suggested, HistoryTexts::kCsvFilter);
    };
    chartObject = named(new QComboBox(this), QStringLiteral("chartObject"), HistoryTexts::kChartObject);
    chartObject->setEditable(true);
    chartObject->setInsertPolicy(QComboBox::NoInsert);
    chartObject->lineEdit()->setAccessibleName(HistoryTexts::kChartObject);
    chartSpan = named(new QComboBox(this), QStringLiteral("chartSpan"), HistoryTexts::kChartSpan);
    chartSpan->addItem(HistoryTexts::kSpanDay, int(Span::Day));
    chartSpan->addItem(HistoryTexts::kSpanWeek, int(Span::Week));
    chartSpan->addItem(HistoryTexts::kSpanMonth, int(Span::Month));
    exportCsv = button(QStringLiteral("exportCsv"), HistoryTexts::kExportCsv, {}, this);
    auto *controls = new QHBoxLayout;
    controls->addWidget(buddyLabel(HistoryTexts::kChartObject, chartObject, this));
    controls->addWidget(chartObject, 1);
    controls->addWidget(buddyLabel(HistoryTexts::kChartSpan, chartSpan, this));
    controls->addWidget(chartSpan);
    controls->addWidget(exportCsv);

    QString why;
    m_engine = ChartPlugin::load(why);
    if (m_engine) {
        chartView = named(m_engine->createView(this), QStringLiteral("chartView"), HistoryTexts::kChartView);
    } else {
        auto *line = new QLabel(ChartPlugin::kChartUnavailable.arg(why), this);
        line->setObjectName(QStringLiteral("chartUnavailable"));
        line->setWordWrap(true);
        line->setAlignment(Qt::AlignCenter);
        // No control to name: the text itself can be reached and read with the keyboard.
        line->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        line->setFocusPolicy(Qt::StrongFocus);
        line->setAccessibleName(line->text());
        chartView = line;
    }
    chartView->setMinimumHeight(200);
    // Objects dragged from the catalogue choose what the chart shows, wherever on the panel they
    // land (the chart view takes drops of its own, hence both).
    const auto drop = [this](const DraggedObject &object) {
        return dropObject(object);
    };
    new ObjectDrop(this, &ObjectDrop::hasNumber, drop);
    if (auto *area = qobject_cast<QAbstractScrollArea *>(chartView))
        new ObjectDrop(area->viewport(), &ObjectDrop::hasNumber, drop);
    m_texts = new TextValuesModel(this);
    textValues = named(new QTreeView(this), QStringLiteral("textValues"), HistoryTexts::kTextValues);
    textValues->setModel(m_texts);
    textValues->setRootIsDecorated(false);
    textValues->setUniformRowHeights(true);
    chartNote = named(new QLabel(this), QStringLiteral("chartNote"), QString());
    chartNote->setWordWrap(true);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(chartView);
    splitter->addWidget(textValues);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(splitter, 1);
    layout->addWidget(chartNote);

    connect(chartObject, &QComboBox::currentTextChanged, this, &ChartPanel::refresh);
    connect(chartSpan, &QComboBox::currentIndexChanged, this, &ChartPanel::refresh);
    connect(exportCsv, &QPushButton::clicked, this, &ChartPanel::exportShown);
    reloadObjects();
    refresh();
}

void ChartPanel::reloadObjects() {
    m_history.queryObjects(this, [this](const QStringList &objects) {
        const QString typed = chartObject->currentText();
        const QSignalBlocker quiet(chartObject);
        chartObject->clear();
        chartObject->addItems(objects.mid(0, kMaxListedObjects));
        if (objects.size() > kMaxListedObjects) {
            // The list is cut: the last row says so; any number can be typed.
            chartObject->addItem(HistoryTexts::kMoreObjectsTyped);
            if (auto *items = qobject_cast<QStandardItemModel *>(chartObject->model()))
                items->item(chartObject->count() - 1)->setEnabled(false);
        }
        chartObject->setCurrentText(typed);
    });
}

void ChartPanel::showObject(const QString &gan) {
    chartObject->setCurrentText(gan);
    refresh();
}

void ChartPanel::refresh() {
    const QString gan = chartObject->currentText().trimmed();
    const quint64 generation = ++m_generation;
    if (gan.isEmpty()) {
        show(gan, SeriesRows{});
        return;
    }
    const qint64 to = m_history.now();
    const qint64 from = to - spanMs(Span(chartSpan->currentData().toInt()));
    m_history.querySeries(gan, from, to, this, [this, generation, gan](const SeriesRows &rows) {
        if (generation == m_generation)
            show(gan, rows);
    });
}

void ChartPanel::show(const QString &gan, const SeriesRows &rows) {
    m_shownObject = gan;
    m_data = ChartData::from(rows);
    if (m_engine) {
        m_engine->show(chartView, m_data, gan);
        chartView->setVisible(m_data.kind != ChartData::Kind::Empty);
    }
    m_texts->setRows(m_data.texts);
    textValues->setVisible(!m_data.texts.isEmpty());
    QString note;
    if (gan.isEmpty())
        note = HistoryTexts::kChooseObject;
    else if (rows.rows.isEmpty())
        note = HistoryTexts::kNoValues;
    else if (rows.bucketMs > 0)
        note = HistoryTexts::kCondensed.arg(
            HistoryTexts::kSeconds.arg(QLocale(QLocale::German).toString((rows.bucketMs + 999) / 1000)));
    chartNote->setText(note);
    chartNote->setAccessibleName(note);
    exportCsv->setEnabled(!rows.rows.isEmpty());
    emit shownChanged();
}

void ChartPanel::exportShown() {
    if (m_shownObject.isEmpty())
        return;
    // The number comes from the bus: nothing in it may lead the name elsewhere.
    QString safe = m_shownObject;
    for (QChar &c : safe)
        if (!c.isLetterOrNumber() && c != u'-')
            c = u'_';
    const QString suggested = QDir::home().filePath(HistoryTexts::kExportFileName.arg(safe));
    const QString file = m_chooseFile(suggested);
    if (file.isEmpty())
        return;
    m_history.exportCsv(m_shownObject, m_data.fromMs, m_data.toMs, file, this, [this](const CsvExport::Result &result) {
        if (!result.ok) {
            m_dialogs.error(result.message);
            return;
        }
        chartNote->setText(result.message);
        chartNote->setAccessibleName(result.message);
        if (result.cut)
            m_dialogs.information(result.message);
    });
}

bool ChartPanel::dropObject(const DraggedObject &object) {
    if (object.gan.isEmpty())
        return false;
    showObject(object.gan);
    return true;
}
