#include "MenuFile.h"

#include "IniFile.h"

#include <algorithm>

namespace {
const QString kBezeichnung = QStringLiteral("Bezeichnung");
const QString kSymbol = QStringLiteral("Symbol");
const QString kTyp = QStringLiteral("Typ");
const QString kAktion = QStringLiteral("Aktion");
const QString kWert = QStringLiteral("Wert");
const QString kGan = QStringLiteral("GAN");
const QString kLv = QStringLiteral("LV");
const QString kBalloon = QStringLiteral("Balloon");
const QString kMsg = QStringLiteral("Msg");
const QString kSound = QStringLiteral("Sound");
const QString kSoundname = QStringLiteral("Soundname");
const QString kFalse = QStringLiteral("False");

QString unreadable(const QString &path) {
    return QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden.").arg(path);
}

bool isNumeric(const QString &name) {
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Compares decimal numbers of any length without converting them, so "99999999999999999999"
// neither overflows nor sorts wrongly.
bool numericLess(const QString &a, const QString &b) {
    const auto significant = [](const QString &s) {
        qsizetype i = 0;
        while (i + 1 < s.size() && s.at(i) == u'0')
            ++i;
        return QStringView(s).mid(i);
    };
    const QStringView x = significant(a);
    const QStringView y = significant(b);
    if (x.size() != y.size())
        return x.size() < y.size();
    return x < y;
}

QStringList numericSections(const IniFile &ini) {
    QStringList names;
    for (const QString &name : ini.sections())
        if (isNumeric(name))
            names.append(name);
    return names;
}
} // namespace

MenuFileContent LoadMenuFile(const QString &path) {
    MenuFileContent content;
    const IniFile ini(path);
    if (!ini.readOk()) {
        content.errorString = unreadable(path);
        return content;
    }
    QStringList names = numericSections(ini);
    std::stable_sort(names.begin(), names.end(), numericLess);
    for (const QString &section : std::as_const(names)) {
        MenuCommand entry;
        entry.bezeichnung = ini.readString(section, kBezeichnung);
        if (entry.bezeichnung.isEmpty())
            continue;
        entry.symbol = ini.readInt(section, kSymbol, 0);
        entry.stateIcon = entry.symbol;
        entry.typ = ini.readString(section, kTyp, QStringLiteral("-"));
        entry.aktion = ini.readString(section, kAktion, QStringLiteral("-"));
        entry.wert = ini.readString(section, kWert);
        entry.gan = ini.readString(section, kGan);
        entry.lv = ini.readString(section, kLv);
        entry.balloon = ini.readString(section, kBalloon, kFalse);
        entry.msg = ini.readString(section, kMsg, kFalse);
        entry.sound = ini.readString(section, kSound, kFalse);
        entry.soundname = ini.readString(section, kSoundname);
        if (!ini.hasKey(section, kMsg) || !ini.hasKey(section, kSound) || !ini.hasKey(section, kSoundname))
            content.lacksNotificationKeys = true;
        content.menu.append(std::move(entry));
    }
    return content;
}

bool saveMenuFile(const QString &path, const MenuList &menu, QString *error) {
    if (menu.isEmpty())
        return true;
    IniFile ini(path);
    for (const QString &section : numericSections(ini))
        ini.eraseSection(section);
    for (qsizetype k = 0; k < menu.size(); ++k) {
        const MenuCommand &entry = menu.at(k);
        const QString section = QString::number(MenuList::flatPosition(k));
        ini.writeString(section, kBezeichnung, entry.bezeichnung);
        ini.writeInt(section, kSymbol, entry.symbol);
        ini.writeString(section, kTyp, entry.typ);
        ini.writeString(section, kAktion, entry.aktion);
        ini.writeString(section, kWert, entry.wert);
        ini.writeString(section, kGan, entry.gan);
        ini.writeString(section, kLv, entry.lv);
        ini.writeString(section, kBalloon, entry.balloon);
        ini.writeString(section, kMsg, entry.msg);
        ini.writeString(section, kSound, entry.sound);
        ini.writeString(section, kSoundname, entry.soundname);
    }
    if (ini.save())
        return true;
    if (error)
        *error = ini.errorString();
    return false;
}

bool eraseMenuSection(const QString &path, qsizetype flatPosition, QString *error) {
    IniFile ini(path);
    // A file that cannot be read may well hold the section: that is no success.
    if (!ini.readOk()) {
        if (error)
            *error = unreadable(path);
        return false;
    }
    const QString section = QString::number(flatPosition);
    if (!ini.hasSection(section))
        return true;
    ini.eraseSection(section);
    if (ini.save())
        return true;
    if (error)
        *error = ini.errorString();
    return false;
}
