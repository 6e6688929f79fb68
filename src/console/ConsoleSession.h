#pragma once

#include <QObject>
#include <QString>

class CommandChannel;
class Dialogs;

// What Enter in the console does with the examined line: look objects up in the catalogue copy,
// send a value to an object found, send a raw line and put its one reply on top of the bus
// monitor, or append the help.
class ConsoleSession : public QObject {
    Q_OBJECT
public:
    static constexpr int kReplyTimeoutMs = 500;

    ConsoleSession(CommandChannel &channel, Dialogs &dialogs, QString copyFile, QObject *parent = nullptr);

    // Handles one examined line. False when the handling failed (the file could not be read, the
    // link is down): then the Enter does not reach the text box.
    bool enter(const QString &line);

signals:
    // A line for the end of the console's text.
    void lineAppended(const QString &line);

private:
    bool lookUp(const QString &attribute, const QString &text, QString *result, QString *gan);
    bool sendRaw(const QString &line);
    void sendValue(const QString &gan, const QString &value);
    // One reply, within kReplyTimeoutMs, on top of the bus monitor; empty after the time-out.
    void awaitReply(bool dispatch);

    CommandChannel &m_channel;
    Dialogs &m_dialogs;
    QString m_copyFile;
};
