#include "TrayPopupRows.h"

#include <QAction>
#include <QMenu>

TrayPopupRows::TrayPopupRows(QObject *parent)
    : QObject(parent), m_separator(new QAction(this)), m_title(new QAction(this)), m_titleSeparator(new QAction(this)) {
    m_separator->setSeparator(true);
    m_title->setObjectName(QStringLiteral("trayPopupTitle"));
    m_title->setEnabled(false);
    m_titleSeparator->setSeparator(true);
}

TrayPopupRows::~TrayPopupRows() = default;

void TrayPopupRows::setPopup(QMenu *popup) {
    m_popup = popup;
    // After everything else that prepares the popup when it opens (its rebuild among them).
    connect(popup, &QMenu::aboutToShow, this, [this, popup] {
        appendTo(popup);
        putTitleInto(popup);
    });
    appendTo(popup);
    putTitleInto(popup);
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

void TrayPopupRows::setTitle(const QString &text) {
    m_title->setText(text);
    if (m_popup)
        putTitleInto(m_popup);
}

void TrayPopupRows::putTitleInto(QMenu *popup) {
    const QList<QAction *> actions = popup->actions();
    const bool shown = actions.size() >= 2 && actions.at(0) == m_title && actions.at(1) == m_titleSeparator;
    const bool wanted = !m_title->text().isEmpty();
    if (shown == wanted)
        return;
    popup->removeAction(m_title);
    popup->removeAction(m_titleSeparator);
    if (wanted) {
        QAction *first = popup->actions().value(0);
        popup->insertAction(first, m_title);
        popup->insertAction(first, m_titleSeparator);
    }
}
