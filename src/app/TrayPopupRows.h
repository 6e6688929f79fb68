#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QMenu;

// The rows subsystems add at the end of the tray popup, below a separator line, and a title row at
// its start. Whoever owns the popup rebuilds it as it likes; the rows are put back each time it
// opens.
class TrayPopupRows : public QObject {
public:
    explicit TrayPopupRows(QObject *parent = nullptr);
    ~TrayPopupRows() override;

    // The popup the rows go into; follows it from now on.
    void setPopup(QMenu *popup);
    // A row for the end of the popup; the caller keeps the action.
    void add(QAction *row);
    // The disabled row at the popup's start, above a separator line; empty: none.
    void setTitle(const QString &text);

private:
    void appendTo(QMenu *popup);
    void putTitleInto(QMenu *popup);

    QPointer<QMenu> m_popup;
    QList<QPointer<QAction>> m_rows;
    QAction *m_separator = nullptr;
    QAction *m_title = nullptr;
    QAction *m_titleSeparator = nullptr;
};
