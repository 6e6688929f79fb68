#pragma once

#include <QString>

// The program's messages about files it cannot use, each naming the file. The reason, when
// given, is the system's own text and follows after a colon.
namespace FileMessages {
QString cannotRead(const QString &path, const QString &reason = {});
QString cannotWrite(const QString &path, const QString &reason = {});
QString cannotDelete(const QString &path, const QString &reason = {});
} // namespace FileMessages
