#include "ConsoleSession.h"

#include "CommandChannel.h"
#include "ConsoleInput.h"
#include "ConsoleTexts.h"
#include "Dialogs.h"

#include <QPointer>

ConsoleSession::ConsoleSession(CommandChannel &channel, Dialogs &dialogs, QString copyFile, QObject *parent)
    : QObject(parent), m_channel(channel), m_dialogs(dialogs), m_copyFile(std::move(copyFile)) {
}

bool ConsoleSession::enter(const QString &line) {
    const ConsoleClassification c = inmemo(line);
    QString result;
    QString gan;
    switch (c.kind) {
    case ConsoleKind::Query:
        for (const QString &text : ConsoleTexts::kHelp)
            emit lineAppended(text);
        return true;
    case ConsoleKind::RawLine:
        return sendRaw(line);
    case ConsoleKind::Number:
    case ConsoleKind::Address: {
        const bool byNumber = c.kind == ConsoleKind::Number;
        if (!lookUp(byNumber ? u"ganum"_qs : u"ga"_qs, line, &result, &gan))
            return false;
        emit lineAppended(!result.isEmpty() ? result
                          : byNumber        ? ConsoleTexts::kUnknownNumber
                                            : ConsoleTexts::kUnknownAddress);
        return true;
    }
    case ConsoleKind::NumberWithValue:
    case ConsoleKind::AddressWithValue:
        break;
    }
    const bool byNumber = c.kind == ConsoleKind::NumberWithValue;
    if (!lookUp(byNumber ? u"ganum"_qs : u"ga"_qs, line.left(c.lastBlank - 1), &result, &gan))
        return false;
    emit lineAppended(result);
    emit lineAppended(byNumber ? ConsoleTexts::kSendingToNumber : ConsoleTexts::kSendingToAddress);
    // A '.' can only be typed as '/', so in the value a '/' stands for the decimal point.
    QString value = line.mid(c.lastBlank);
    value.replace(u'/', u'.');
    if (!result.isEmpty() && !gan.isEmpty() && !value.isEmpty())
        sendValue(gan, value);
    return true;
}

bool ConsoleSession::lookUp(const QString &attribute, const QString &text, QString *result, QString *gan) {
    const ConsoleLookup lookup = getxmldaten(m_copyFile, attribute, text);
    if (!lookup.ok) {
        m_dialogs.error(ConsoleTexts::kXmlError + QString::number(lookup.errorCode));
        m_dialogs.error(lookup.errorText);
        return false;
    }
    *result = lookup.result;
    *gan = lookup.gan;
    return true;
}

bool ConsoleSession::sendRaw(const QString &line) {
    const bool sent = m_channel.sendLine(line);
    awaitReply(false);
    return sent;
}

void ConsoleSession::sendValue(const QString &gan, const QString &value) {
    // Like a menu click: the line shown as sent, the reply shown and taken as the object's value.
    const QString line = u"1|"_qs + gan + u'|' + value;
    m_channel.addToBusMonitor(u"-> "_qs + line);
    m_channel.sendLine(line);
    awaitReply(true);
}

void ConsoleSession::awaitReply(bool dispatch) {
    // With the link down the awaited reply reports the connection's error instead of a line.
    m_channel.awaitReplyIntoBusMonitor(kReplyTimeoutMs, dispatch, [self = QPointer(this)](const QString &error) {
        if (self)
            self->m_dialogs.error(error);
    });
}
