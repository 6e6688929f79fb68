#include "HistoryLimitsFile.h"

#include "IniFieldTable.h"
#include "IniFile.h"

#include <algorithm>

namespace {
const QString kSection = QStringLiteral("Aufbewahrung");
const IniFieldTable<HistoryLimits> kFields{
    IniFieldTable<HistoryLimits>::number(QStringLiteral("Tage"), &HistoryLimits::days),
    IniFieldTable<HistoryLimits>::number(QStringLiteral("MB"), &HistoryLimits::megabytes),
};
} // namespace

namespace HistoryLimitsFile {
HistoryLimits read(const QString &file) {
    HistoryLimits limits;
    kFields.read(IniFile(file), kSection, limits);
    limits.days = std::clamp(limits.days, HistoryLimits::kMinDays, HistoryLimits::kMaxDays);
    limits.megabytes = std::clamp(limits.megabytes, HistoryLimits::kMinMegabytes, HistoryLimits::kMaxMegabytes);
    return limits;
}

bool write(const QString &file, const HistoryLimits &limits, QString *error) {
    IniFile ini(file);
    kFields.write(ini, kSection, limits);
    if (ini.save())
        return true;
    *error = ini.errorString();
    return false;
}
} // namespace HistoryLimitsFile
