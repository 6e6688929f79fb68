#pragma once

#include "Dialogs.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>

// Modal message boxes titled with the application title "Quendra".
class MessageBoxDialogs : public Dialogs {
public:
    void error(const QString &text) override;
    void information(const QString &text) override;
    void message(const QString &text) override;
    Choice choose(const QString &text) override;
    bool confirm(const QString &text) override;
    void closeAll() override;

    // The program writes "\r" for a line break.
    static QString displayText(const QString &text);

private:
    int run(QMessageBox::Icon icon, const QString &text, QMessageBox::StandardButtons buttons);

    QList<QPointer<QMessageBox>> m_open; // boxes open now, innermost last
    bool m_closing = false;
};
