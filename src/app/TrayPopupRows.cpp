#include "TrayPopupRows.h"

#include <QAction>
#include <QMenu>

TrayPopupRows::TrayPopupRows(QObject *parent) : QObject(parent), m_separator(new QAction(this)) {
    m_separator->setSeparator(true);
}

TrayPopupRows::~TrayPopupRows() = default;

void TrayPopupRows::setPopup(QMenu *popup) {
    m_popup = popup;
    // After everything else that prepares the popup when it opens (its rebuild among them).
    connect(popup, &QMenu::aboutToShow, this, [this, popup] { appendTo(popup); });
    appendTo(popup);
}

void TrayPopupRows::add(QAction *row) {
    m_rows.append(row);
    if (m_popup)
        appendTo(m_popup);
}

void TrayPopupRows::appendTo(QMenu *popup) {
    m_rows.removeIf([](const QPointer<QAction> &row) { return row.isNull(); });
    if (m_rows.isEmpty())
        return;
    QList<QAction *> wanted{m_separator};
    for (const QPointer<QAction> &row : m_rows)
        wanted.append(row);
    const QList<QAction *> actions = popup->actions();
    if (actions.size() >= wanted.size() && actions.mid(actions.size() - wanted.size()) == wanted)
        return;
    for (QAction *action : wanted)
        popup->removeAction(action);
    popup->addActions(wanted);
}
