#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Value lists kept for other values: "<first line>-qnd.wcv" in the program folder, section "OVWV"
// with one key "LINE<i>" per line.
namespace ValueTemplates {
// A template longer than this loads only its first lines.
constexpr int kMaxLines = 1000;

QString fileName(const QStringList &lines);
// Replaces the file's list by `lines` (an empty list writes no key). A name that would leave the
// program folder, or a file that cannot be read or written, fails with an error naming the file.
bool save(const QString &programFolder, const QStringList &lines, QString *error);
// The lines up to the first missing key, at most kMaxLines; nothing (and the error) when the file
// exists but cannot be read.
std::optional<QStringList> load(const QString &path, QString *error);
// The template files of the folder, by name.
QStringList list(const QString &programFolder);
} // namespace ValueTemplates
