#include "Settings.h"

#include "AnsiText.h"
#include "FrameTexts.h"
#include "IniFieldTable.h"
#include "IniFile.h"

#include <QDir>

namespace Settings {

namespace {
// [Orvanel] in the order in which the program stores it.
const IniFieldTable<Values> &orvanelFields() {
    using F = IniFieldTable<Values>;
    static const F table{F::text(Key::IP, &Values::ip),
                         F::number(Key::TCPPort, &Values::tcpPort),
                         F::number(Key::Port, &Values::port),
                         F::text(Key::Key, &Values::key),
                         F::flag(Key::Minimized, &Values::minimized),
                         F::flag(Key::Bubble, &Values::bubble),
                         F::flag(Key::Auto, &Values::autostart),
                         F::text(Key::Pfad, &Values::pfad),
                         F::flag(Key::Mail, &Values::mail),
                         F::text(Key::Mailtime, &Values::mailtime),
                         F::text(Key::Screen, &Values::screen),
                         F::flag(Key::Offline, &Values::offline)};
    return table;
}
} // namespace

Values read(const IniFile &ini, const QString &programFolder) {
    Values v;
    orvanelFields().read(ini, kSection, v);
    v.pfad = configurationFolder(v.pfad, programFolder);
    return v;
}

void write(IniFile &ini, const Values &v) {
    orvanelFields().write(ini, kSection, v);
}

QString configurationFolder(const QString &text, const QString &programFolder) {
    if (text.isEmpty())
        return programFolder;
    if (text.endsWith(u'/') || text.endsWith(u'\\'))
        return text;
    return text + QDir::separator();
}

QString folderForFiles(const QString &folder) {
#ifdef Q_OS_WIN
    return folder;
#else
    // A folder typed the Windows way, or carried over from Windows: its last "\\" separates the
    // file name, which would otherwise become part of a name beside the folder.
    if (folder.endsWith(u'\\'))
        return folder.chopped(1) + u'/';
    return folder;
#endif
}

QString storedFolder(const QString &folder, const QString &programFolder) {
    return folder == programFolder ? QString() : folder;
}

std::optional<QString> unstorableFolder(const QString &folder, const QString &programFolder) {
    if (AnsiText::canEncode(storedFolder(folder, programFolder)))
        return std::nullopt;
    return FrameTexts::kUnstorableFolder.arg(folder);
}

std::optional<int> wholeNumber(const QString &text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString notAWholeNumber(const QString &text) {
    return FrameTexts::kNotAWholeNumber.arg(text);
}

} // namespace Settings
