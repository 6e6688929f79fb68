#pragma once

#include "Captions.h"
#include "MenuCommand.h"

class Dialogs;
class EventSounds;
class TrayIcon;

enum class BubbleKind { Balloon, Msg };

// How an entry announces a change of its value: a balloon at the tray icon, an important message
// in a modal box, a system sound. The text is the entry's caption with the new value.
class Notifications {
public:
    // All references must outlive this object; the wildcard texts are read at the moment of use,
    // so replacing them takes effect with the next notification.
    Notifications(const MenuList &menu, const WildcardTexts &texts, TrayIcon &tray, Dialogs &dialogs,
                  EventSounds &sounds);

    // Shows one notification for the entry at the flat position with the new value. A balloon
    // also becomes the tray icon's hint. A message returns when the user has closed its box.
    void bubbleinfo(qsizetype flatPosition, const QString &value, BubbleKind kind);
    // Plays the named system sound asynchronously; an unknown name plays the default sound.
    void PlayEventSound(const QString &name);

    static inline const QString kBalloonTitle = QStringLiteral("Orvanel:");
    static constexpr int kBalloonTimeoutMs = 2000;
    static inline const QString kMessagePrefix = QStringLiteral("Wichtige Meldung vom Orvanel:\r\r");

private:
    const MenuList &m_menu;
    const WildcardTexts &m_texts;
    TrayIcon &m_tray;
    Dialogs &m_dialogs;
    EventSounds &m_sounds;
};
