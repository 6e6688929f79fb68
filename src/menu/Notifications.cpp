#include "Notifications.h"

#include "Dialogs.h"
#include "EventSounds.h"
#include "TrayIcon.h"

Notifications::Notifications(const MenuList &menu, const WildcardTexts &texts, TrayIcon &tray, Dialogs &dialogs,
                             EventSounds &sounds)
    : m_menu(menu), m_texts(texts), m_tray(tray), m_dialogs(dialogs), m_sounds(sounds) {
}

void Notifications::bubbleinfo(qsizetype flatPosition, const QString &value, BubbleKind kind) {
    const auto k = m_menu.entryAt(flatPosition);
    if (!k)
        return;
    // No separator case here: a "-" entry announces itself as "- value".
    const QString text = ExpandWildcards(m_menu.at(*k).bezeichnung, value, m_texts);
    if (kind == BubbleKind::Balloon) {
        m_tray.setHint(text);
        m_tray.showBalloon(kBalloonTitle, text, kBalloonTimeoutMs);
    } else {
        m_dialogs.information(kMessagePrefix + text);
    }
}

void Notifications::PlayEventSound(const QString &name) {
    m_sounds.play(name);
}
