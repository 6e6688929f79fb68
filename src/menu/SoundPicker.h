#pragma once

#include <QWidget>

class EventSounds;
class QComboBox;
class QPushButton;

// The sound choice of an entry: the editable list `gasoundlist` of the system's sound event names,
// showing a prompt until the user picks or types one, and the button `TeButton4` that plays it.
// The list shows the system's names for the events (German ones on Linux, not the raw ids); the
// entry keeps the event name. The menu editor places it on its parameter panel and fills the list
// whenever the panel opens.
class SoundPicker : public QWidget {
    Q_OBJECT
public:
    static inline const QString kPrompt = QStringLiteral("Sound auswählen ...");

    explicit SoundPicker(EventSounds &sounds, QWidget *parent = nullptr);

    // Replaces the list's items by the system's event names; the text shown stays as it is.
    void FillSoundList();
    // Plays the sound whose name the list shows (with the prompt still there, the default sound).
    void TeButton4Click();

    // The event name of the sound shown: the chosen item's, or the text as typed (the prompt too).
    QString soundName() const;
    // Shows the stored event name: its item when the system lists it (whatever its case), else the
    // name as it was stored.
    void showSoundName(const QString &name);

    QComboBox *gasoundlist = nullptr;
    QPushButton *TeButton4 = nullptr;

private:
    int chosenItem() const;

    EventSounds &m_sounds;
};
