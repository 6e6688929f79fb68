#pragma once

#include "MenuCommand.h"
#include "ValueTarget.h"

#include <QHash>
#include <functional>

class Notifications;

// The menu's share of every received value: each entry bound to the number (by its GAN) in menu
// order compares its last value with the new one, announces a change (balloon, message, sound;
// never for lines read right after connecting), stores the new value and recomputes its state
// icon. The popup rebuild that follows a dispatch is the caller's.
class MenuValueTarget : public ValueTarget {
public:
    // balloonsEnabled reads the global "Balloon ges." setting when a balloon is due.
    MenuValueTarget(MenuList &menu, Notifications &notifications, std::function<bool()> balloonsEnabled);

    void onValue(const DecodedLine &line, bool initial) override;
    // The program ends while an important message is open: the values whose announcement is still
    // under way become the entries' values now, so that the closing saves keep what was received.
    void storePending();

private:
    void announce(qsizetype k, const QString &gan, const QString &value);

    MenuList &m_menu;
    Notifications &m_notifications;
    std::function<bool()> m_balloonsEnabled;
    // An important message is a modal box; while it is open further lines are dispatched inside
    // it. These tell the interrupted dispatch whether a newer value of its number came meanwhile.
    quint64 m_sequence = 0;
    int m_depth = 0;
    QHash<QString, quint64> m_latestByGan;
    struct Pending {
        quint64 sequence;
        QString value;
    };
    // The newest value of each number whose dispatch is under way, with its sequence.
    QHash<QString, Pending> m_pendingByGan;
};
