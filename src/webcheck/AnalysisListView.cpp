#include "AnalysisListView.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

AnalysisListView::AnalysisListView(QWidget *parent) : QTableView(parent) {
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    // The corner button (hidden with the row numbers) still is a control a screen reader lists.
    if (auto *corner = findChild<QAbstractButton *>())
        corner->setAccessibleName(QStringLiteral("Alle Zeilen auswählen"));
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setHorizontalScrollMode(ScrollPerPixel);

    // One height for every row, from the text, the kind's icon and the check box: no row is
    // measured.
    const int content = std::max({fontMetrics().height(), style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this),
                                  style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this)});
    const int rowHeight = content + 2 * (style()->pixelMetric(QStyle::PM_FocusFrameVMargin, nullptr, this) + 1);
    QHeaderView *rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);

    // The captions as a list's report shows them: left-aligned, the last column to the edge.
    QHeaderView *columns = horizontalHeader();
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setHighlightSections(false);
    columns->setSectionsMovable(true);
    columns->setStretchLastSection(true);
}

QModelIndex AnalysisListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    switch (action) {
    case MoveLeft:
    case MoveRight: {
        QScrollBar *bar = horizontalScrollBar();
        bar->setValue(bar->value() + (action == MoveLeft ? -bar->singleStep() : bar->singleStep()));
        return current;
    }
    case MoveHome:
    case MoveEnd: {
        const int rowCount = model() ? model()->rowCount(rootIndex()) : 0;
        if (rowCount == 0)
            return current;
        return model()->index(action == MoveHome ? 0 : rowCount - 1, current.isValid() ? current.column() : 0,
                              rootIndex());
    }
    case MoveNext:
        return QTableView::moveCursor(MoveDown, modifiers);
    case MovePrevious:
        return QTableView::moveCursor(MoveUp, modifiers);
    default:
        return QTableView::moveCursor(action, modifiers);
    }
}
