#include "Settings.h"

#include "IniFile.h"

#include <QDir>

namespace Settings {

Values read(const IniFile &ini, const QString &programFolder) {
    const Values defaults;
    const auto text = [&](const QString &key, const QString &fallback) {
        return ini.readString(kSection, key, fallback);
    };
    const auto number = [&](const QString &key, int fallback) {
        return ini.readInt(kSection, key, fallback);
    };
    const auto flag = [&](const QString &key) {
        return number(key, 0) != 0;
    };

    Values v;
    v.ip = text(Key::IP, defaults.ip);
    v.port = number(Key::Port, defaults.port);
    v.tcpPort = number(Key::TCPPort, defaults.tcpPort);
    v.key = text(Key::Key, defaults.key);
    v.minimized = flag(Key::Minimized);
    v.bubble = flag(Key::Bubble);
    v.autostart = flag(Key::Auto);
    v.pfad = configurationFolder(text(Key::Pfad, programFolder), programFolder);
    v.mail = flag(Key::Mail);
    v.mailtime = text(Key::Mailtime, defaults.mailtime);
    v.offline = flag(Key::Offline);
    v.screen = text(Key::Screen, defaults.screen);
    return v;
}

void write(IniFile &ini, const Values &v) {
    const auto flag = [](bool on) {
        return on ? QStringLiteral("1") : QStringLiteral("0");
    };
    ini.writeString(kSection, Key::IP, v.ip);
    ini.writeInt(kSection, Key::TCPPort, v.tcpPort);
    ini.writeInt(kSection, Key::Port, v.port);
    ini.writeString(kSection, Key::Key, v.key);
    ini.writeString(kSection, Key::Minimized, flag(v.minimized));
    ini.writeString(kSection, Key::Bubble, flag(v.bubble));
    ini.writeString(kSection, Key::Auto, flag(v.autostart));
    ini.writeString(kSection, Key::Pfad, v.pfad);
    ini.writeString(kSection, Key::Mail, flag(v.mail));
    ini.writeString(kSection, Key::Mailtime, v.mailtime);
    ini.writeString(kSection, Key::Screen, v.screen);
    ini.writeString(kSection, Key::Offline, flag(v.offline));
}

WildcardTexts readWildcardTexts(const IniFile &ini) {
    const WildcardTexts defaults;
    WildcardTexts texts;
    const auto read = [&](const QString &key, const QString &fallback) {
        return ini.readString(kTextSection, key, fallback);
    };
    texts.wc1a = read(QStringLiteral("WC1A"), defaults.wc1a);
    texts.wc1b = read(QStringLiteral("WC1B"), defaults.wc1b);
    texts.wc2a = read(QStringLiteral("WC2A"), defaults.wc2a);
    texts.wc2b = read(QStringLiteral("WC2B"), defaults.wc2b);
    texts.wc3a = read(QStringLiteral("WC3A"), defaults.wc3a);
    texts.wc3b = read(QStringLiteral("WC3B"), defaults.wc3b);
    return texts;
}

QString configurationFolder(const QString &text, const QString &programFolder) {
    if (text.isEmpty())
        return programFolder;
    if (text.endsWith(u'/') || text.endsWith(u'\\'))
        return text;
    return text + QDir::separator();
}

std::optional<int> wholeNumber(const QString &text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString notAWholeNumber(const QString &text) {
    return QStringLiteral("'%1' ist kein gültiger Integerwert.").arg(text);
}

} // namespace Settings
