#pragma once

#include "Captions.h"
#include "Subsystem.h"

#include <QPointer>

class Frame;
class WildcardDialog;

// The wildcard words behind "$1", "$2" and "$3" in the program: read from the settings file's
// section [TEXTE] at start-up, and edited in `TForm5` ("Quendra Konfig"), which the menu bar's
// "Einstellungen" opens modally.
class WildcardWordsWiring : public Subsystem {
public:
    static inline const QString kMenuBarCaption = QStringLiteral("Einstellungen");

    // texts: the words the captions show, filled at start-up; they must outlive this object.
    explicit WildcardWordsWiring(WildcardTexts &texts);

    void attach(Frame &frame) override;
    void readSettings(const IniFile &settings) override;
    void started() override;
    void close() override;

private:
    void menukonfigClick();

    WildcardTexts &m_texts;
    Frame *m_frame = nullptr;
    QPointer<WildcardDialog> m_dialog; // owned by the main window
};
