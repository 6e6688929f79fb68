#include "MenuExecution.h"

#include "CommandChannel.h"
#include "Dialogs.h"

#include <QPointer>

std::optional<QString> commandValue(const MenuCommand &entry) {
    const QString &action = entry.aktion;
    if (action == QLatin1String("Ein"))
        return QStringLiteral("1");
    if (action == QLatin1String("Aus"))
        return QStringLiteral("0");
    if (action == QLatin1String("Um"))
        return entry.lv == QLatin1String("0,0") ? QStringLiteral("1") : QStringLiteral("0");
    if (action == QLatin1String("Frei"))
        return entry.wert;
    return std::nullopt;
}

QString commandLine(const QString &gan, const QString &value) {
    return u"1|"_qs + gan + u'|' + value;
}

MenuExecution::MenuExecution(const MenuList &menu, CommandChannel &channel, Dialogs &dialogs, QObject *parent)
    : QObject(parent), m_menu(menu), m_channel(channel), m_dialogs(dialogs) {
}

void MenuExecution::OnMenuItemclick(qsizetype flatPosition) {
    const auto k = m_menu.entryAt(flatPosition);
    if (!k)
        return;
    const MenuCommand &entry = m_menu.at(*k);
    const auto value = commandValue(entry);
    if (!value)
        return;
    const QString line = commandLine(entry.gan, *value);
    m_channel.addToBusMonitor(u"-> "_qs + line);
    if (!m_channel.sendLine(line))
        m_channel.addToBusMonitor(kNotFound);
    // The reply is read even after a failed write; with the link down it reports the
    // connection's error instead.
    m_channel.awaitReplyIntoBusMonitor(kReplyTimeoutMs, true, [self = QPointer(this)](const QString &error) {
        if (self)
            self->m_dialogs.error(error);
    });
}
