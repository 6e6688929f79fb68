#include "MessageBoxDialogs.h"

#include <QApplication>

QString MessageBoxDialogs::displayText(const QString &text) {
    QString shown = text;
    shown.replace(u"\r\n"_qs, u"\n"_qs);
    shown.replace(u'\r', u'\n');
    return shown;
}

void MessageBoxDialogs::reportUnseen(const QString &text) {
    std::fputs((displayText(text) + u'\n').toLocal8Bit().constData(), m_unseenErrors);
    std::fflush(m_unseenErrors);
}

int MessageBoxDialogs::run(QMessageBox::Icon icon, const QString &text, QMessageBox::StandardButtons buttons) {
    if (m_closing) {
        if (icon == QMessageBox::Critical)
            reportUnseen(text);
        return QMessageBox::NoButton;
    }
    QMessageBox box(icon, QStringLiteral("Quendra"), displayText(text), buttons, QApplication::activeWindow());
    // Texts come from files, the bus and the user: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    m_open.append(&box);
    const int answer = box.exec();
    m_open.removeOne(&box);
    if (!m_closing)
        return answer;
    // Closed by the program, perhaps before anyone read it.
    if (icon == QMessageBox::Critical)
        reportUnseen(text);
    return QMessageBox::NoButton;
}

void MessageBoxDialogs::closeAll() {
    m_closing = true;
    // Each box's own loop ends when the loops above it have returned.
    for (const QPointer<QMessageBox> &box : std::as_const(m_open))
        if (box)
            box->done(QMessageBox::NoButton);
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
