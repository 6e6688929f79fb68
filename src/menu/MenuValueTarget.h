#pragma once

#include "MenuCommand.h"
#include "ValueTarget.h"

#include <QString>
#include <functional>
#include <vector>

class Notifications;

// The menu's share of every received value: each entry bound to the number (by its GAN) in menu
// order compares its last value with the new one, announces a change (balloon, message, sound;
// never for lines read right after connecting), stores the new value and recomputes its state
// icon. The popup rebuild that follows a dispatch is the caller's.
class MenuValueTarget : public ValueTarget {
public:
    // balloonsEnabled reads the global "Balloon ges." setting when a balloon is due; mayNotify,
    // when given, is asked before an object raises anything (a muted object stays quiet).
    MenuValueTarget(MenuList &menu, Notifications &notifications, std::function<bool()> balloonsEnabled,
                    std::function<bool(const QString &gan)> mayNotify = {});

    void onValue(const DecodedLine &line, bool initial) override;
    // The program ends while an important message is open: the values whose announcement is still
    // under way become the entries' values now, so that the closing saves keep what was received.
    void storePending();

private:
    void announce(qsizetype k, const QString &gan, const QString &value);

    MenuList &m_menu;
    Notifications &m_notifications;
    std::function<bool()> m_balloonsEnabled;
    std::function<bool(const QString &gan)> m_mayNotify;
    // An important message is a modal box; while it is open further lines are dispatched inside
    // it. Every dispatch under way is on this stack, innermost last; a newer one of the same number
    // marks the older ones superseded: it brings every bound entry up to date itself, and an
    // interrupted older one must not undo that with its value. Kept as a stack that keeps its
    // room, since every line of a burst passes through it.
    struct UnderWay {
        QString gan;
        QString value;
        bool superseded = false;
    };
    std::vector<UnderWay> m_underWay;
};
