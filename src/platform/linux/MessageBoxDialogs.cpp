#include "MessageBoxDialogs.h"

#include <QApplication>

QString MessageBoxDialogs::displayText(const QString &text) {
    QString shown = text;
    shown.replace(u"\r\n"_qs, u"\n"_qs);
    shown.replace(u'\r', u'\n');
    return shown;
}

int MessageBoxDialogs::run(QMessageBox::Icon icon, const QString &text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QStringLiteral("Quendra"), displayText(text), buttons, QApplication::activeWindow());
    // Texts come from files, the bus and the user: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

void MessageBoxDialogs::error(const QString &text) {
    run(QMessageBox::Critical, text, QMessageBox::Ok);
}

void MessageBoxDialogs::information(const QString &text) {
    run(QMessageBox::Information, text, QMessageBox::Ok);
}

void MessageBoxDialogs::message(const QString &text) {
    run(QMessageBox::NoIcon, text, QMessageBox::Ok);
}

bool MessageBoxDialogs::confirm(const QString &text) {
    return run(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

Dialogs::Choice MessageBoxDialogs::choose(const QString &text) {
    switch (run(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return Choice::Yes;
    case QMessageBox::Cancel:
        return Choice::Cancel;
    default: // also a box closed by the program
        return Choice::No;
    }
}
