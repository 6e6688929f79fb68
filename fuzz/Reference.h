#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>

// Plain models the targets compare the program's code against, and helpers to turn fuzz input
// into texts and files.
namespace Reference {
// The Windows-1252 table written out by hand; the five undefined bytes stand for themselves.
char16_t fromCp1252(uint8_t byte);
std::optional<uint8_t> toCp1252(char16_t code);
QString decodeCp1252(const QByteArray &bytes);
// What a text becomes after a trip through a Windows-1252 file: unmappable characters are "?".
QString throughCp1252(const QString &text);

QByteArray bytes(const uint8_t *data, size_t size);
// Each byte as the character of the same code.
QString latin1(const uint8_t *data, size_t size);

// A file in a temporary folder created once per process.
QString tempFile(const QString &name);
void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);
} // namespace Reference
