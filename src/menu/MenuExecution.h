#pragma once

#include "MenuCommand.h"

#include <QObject>
#include <optional>

class CommandChannel;
class Dialogs;

// The value a click sends, by the entry's action: "Ein" 1, "Aus" 0, "Um" the opposite of the
// last value ("1" only when it is exactly "0,0"), "Frei" the fixed value as typed; "lesen" and
// anything else send nothing.
std::optional<QString> commandValue(const MenuCommand &entry);
// The set-value line "1|GAN|value", sent exactly as built.
QString commandLine(const QString &gan, const QString &value);

// Carries out the clicked entry: sends its value to the gateway, puts the sent line, a failed
// write and the reply on the bus monitor and hands the reply to the value dispatch, which brings
// the entry's value, icon and caption up to date. Never waits: the reply arrives through the
// channel's callback.
class MenuExecution : public QObject {
    Q_OBJECT
public:
    static inline const QString kNotFound = QStringLiteral("OV Nicht gefunden");
    static constexpr int kReplyTimeoutMs = 1000;

    MenuExecution(const MenuList &menu, CommandChannel &channel, Dialogs &dialogs, QObject *parent = nullptr);

    // The click handler of every popup item; flatPosition is the item's tag.
    void OnMenuItemclick(qsizetype flatPosition);

private:
    const MenuList &m_menu;
    CommandChannel &m_channel;
    Dialogs &m_dialogs;
};
