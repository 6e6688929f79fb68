#include "MenuValueTarget.h"

#include "Notifications.h"
#include "StateIcon.h"

#include <QScopeGuard>

MenuValueTarget::MenuValueTarget(MenuList &menu, Notifications &notifications, std::function<bool()> balloonsEnabled,
                                 std::function<bool(const QString &gan)> mayNotify)
    : m_menu(menu), m_notifications(notifications), m_balloonsEnabled(std::move(balloonsEnabled)),
      m_mayNotify(std::move(mayNotify)) {
}

void MenuValueTarget::onValue(const DecodedLine &line, bool initial) {
    if (line.gan.isEmpty())
        return;
    for (UnderWay &older : m_underWay)
        older.superseded = older.superseded || older.gan == line.gan;
    const QString &value = line.displayValue;
    m_underWay.push_back({line.gan, value});
    const std::size_t depth = m_underWay.size();
    const auto leave = qScopeGuard([this] { m_underWay.pop_back(); });
    // Every line looks through the whole menu, and nearly every entry is bound to another number:
    // its length or last digit tells so without a call to compare the texts.
    const qsizetype length = line.gan.size();
    const QChar last = line.gan.back();
    for (qsizetype k = 0; k < m_menu.size(); ++k) {
        const QString &gan = m_menu.at(k).gan;
        if (gan.size() != length || gan.back() != last || !m_menu.at(k).isBoundTo(line.gan))
            continue;
        if (m_menu.at(k).lv != value && !initial) {
            announce(k, line.gan, value);
            // A newer value of this number, dispatched while a message box was open, has already
            // brought every bound entry up to date; storing this older one would undo it.
            if (m_underWay[depth - 1].superseded)
                return;
            // The menu may have been edited while the box was open.
            if (k >= m_menu.size() || !m_menu.at(k).isBoundTo(line.gan))
                continue;
        }
        MenuCommand &entry = m_menu[k];
        entry.lv = value;
        UpdateStateIcon(entry, value);
    }
}

void MenuValueTarget::storePending() {
    for (const UnderWay &pending : m_underWay) {
        if (pending.superseded)
            continue;
        for (qsizetype k = 0; k < m_menu.size(); ++k) {
            if (!m_menu.at(k).isBoundTo(pending.gan))
                continue;
            MenuCommand &entry = m_menu[k];
            entry.lv = pending.value;
            UpdateStateIcon(entry, pending.value);
        }
    }
}

void MenuValueTarget::announce(qsizetype k, const QString &gan, const QString &value) {
    if (m_mayNotify && !m_mayNotify(gan))
        return;
    const qsizetype flat = MenuList::flatPosition(k);
    // Looked up anew for every step: while a message box is open the menu may be reloaded, and
    // another entry that now sits at k must not announce this value.
    const auto on = [&](QString MenuCommand::*flag) {
        return k < m_menu.size() && m_menu.at(k).isBoundTo(gan) && MenuCommand::isOn(m_menu.at(k).*flag);
    };
    if (on(&MenuCommand::balloon) && m_balloonsEnabled && m_balloonsEnabled())
        m_notifications.bubbleinfo(flat, value, BubbleKind::Balloon);
    if (on(&MenuCommand::msg))
        m_notifications.bubbleinfo(flat, value, BubbleKind::Msg);
    if (on(&MenuCommand::sound))
        m_notifications.PlayEventSound(m_menu.at(k).soundname);
}
