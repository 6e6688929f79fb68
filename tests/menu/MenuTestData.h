#pragma once

// What the menu's tests share: entries, decoded lines, pictures that tell symbols apart, and the
// surroundings of the value dispatch.

#include "FakePlatform.h"
#include "MenuCommand.h"
#include "MenuFakes.h"
#include "MenuValueTarget.h"
#include "Notifications.h"
#include "ValueTarget.h"

#include <QColor>
#include <QFile>
#include <QIcon>
#include <QPixmap>
#include <QStringList>

inline QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline MenuCommand command(const QString &text, const QString &aktion, const QString &gan, const QString &lv,
                           int symbol = 0) {
    MenuCommand c;
    c.bezeichnung = text;
    c.typ = aktion == u"Frei"_qs    ? u"Dimmer (Wertgeber)"_qs
            : aktion == u"lesen"_qs ? u"Wert lesen"_qs
                                    : u"Schaltaktor (0/1)"_qs;
    c.aktion = aktion;
    c.gan = gan;
    c.lv = lv;
    c.symbol = symbol;
    c.stateIcon = symbol;
    return c;
}

// A gateway value as the dispatch hands it on: "." becomes ",".
inline DecodedLine decoded(const QString &gan, const QString &rawValue) {
    return DecodedLine{gan, rawValue, QString(rawValue).replace(u'.', u',')};
}

inline QStringList captions(const MenuList &menu) {
    QStringList texts;
    for (const MenuCommand &c : menu)
        texts << c.bezeichnung;
    return texts;
}

inline QStringList sectionNames(const QString &iniText) {
    QStringList names;
    for (const QString &line : iniText.split(u'\n'))
        if (line.startsWith(u'['))
            names << line.mid(1, line.indexOf(u']') - 1);
    return names;
}

// The system's sounds under German names, as the Linux implementation shows them.
class GermanEventSounds : public FakeEventSounds {
public:
    QString displayName(const QString &eventName) const override {
        if (eventName == u"bell"_qs)
            return u"Glocke"_qs;
        if (eventName == u"message"_qs)
            return u"Nachricht"_qs;
        return eventName;
    }
};

// A distinct one-colour picture per symbol index, so a test can tell which one an item shows.
inline QIcon colourIcon(int index) {
    if (index < 0)
        return {};
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor::fromRgb(qRgb(index * 7 % 256, 100, 200)));
    return QIcon(pixmap);
}

inline QRgb iconColour(const QIcon &icon) {
    return icon.isNull() ? 0 : icon.pixmap(16, 16).toImage().pixel(0, 0);
}

// What the dispatch of menu values needs around it.
struct DispatchFixture {
    QStringList log;
    MenuList menu;
    WildcardTexts texts;
    RecordingTray tray{log};
    RecordingDialogs dialogs{log};
    RecordingSounds sounds{log};
    bool balloonsEnabled = true;
    Notifications notifications{menu, texts, tray, dialogs, sounds};
    MenuValueTarget target{menu, notifications, [this] {
                               return balloonsEnabled;
                           }};
};
