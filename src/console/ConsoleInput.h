#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// The console's input rules: which characters a line may hold, which line Enter examines, and what
// kind of input it is.

// A typed character as the console takes it: '.' becomes '/'; anything but Backspace, Enter,
// blank, '/', the digits, '?' and '|' is swallowed (a null QChar).
QChar consoleKeyChar(QChar typed);
// Pasted or dropped text filtered the same way; line breaks go too, so a paste stays on its line.
QString filterConsoleText(QStringView text);
// The last line of the text, or the line above it when the last one is empty.
QString examinedLine(const QString &text);

enum class ConsoleKind { Query, RawLine, AddressWithValue, NumberWithValue, Address, Number };
struct ConsoleClassification {
    ConsoleKind kind;
    qsizetype lastBlank; // 1-based position of the last blank, 0 without one
    bool operator==(const ConsoleClassification &) const = default;
};
ConsoleClassification inmemo(QStringView line);

// One lookup in the catalogue copy: "Bez.: " + name + " GA:" + ga + " GAN:" + ganum of the last
// "cobject" whose attribute equals text, empty when none does; or the file's error.
struct ConsoleLookup {
    bool ok = false;
    int errorCode = 0;
    QString errorText;
    QString result;
    QString gan; // the found object's number
};
ConsoleLookup getxmldaten(const QString &file, const QString &attribute, const QString &text);
