#pragma once

#include "HistoryRecords.h"

#include <QString>

// The history's limits in their own small file ("[Aufbewahrung]" with "Tage" and "MB"), so that
// the history keeps them wherever the program places its data folder.
namespace HistoryLimitsFile {
// The limits the file holds; missing keys, and numbers outside the allowed range, give the
// defaults (or the nearest allowed value).
HistoryLimits read(const QString &file);
// False with *error naming the file when the save failed; the old file then stays as it was.
bool write(const QString &file, const HistoryLimits &limits, QString *error);
} // namespace HistoryLimitsFile
