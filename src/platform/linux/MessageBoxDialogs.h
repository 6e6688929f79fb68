#pragma once

#include "Dialogs.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <cstdio>

// Modal message boxes titled with the application title "Quendra".
class MessageBoxDialogs : public Dialogs {
public:
    // unseenErrors: where the texts of errors go that no one can see once closeAll() was called.
    explicit MessageBoxDialogs(std::FILE *unseenErrors = stderr) : m_unseenErrors(unseenErrors) {}

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
    void reportUnseen(const QString &text);

    std::FILE *m_unseenErrors;
    bool m_closing = false;
};
