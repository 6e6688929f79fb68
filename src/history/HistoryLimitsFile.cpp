#include "HistoryLimitsFile.h"

#include "IniFile.h"

#include <algorithm>

namespace {
const QString kSection = QStringLiteral("Aufbewahrung");
const QString kDays = QStringLiteral("Tage");
const QString kMegabytes = QStringLiteral("MB");
} // namespace

namespace HistoryLimitsFile {
HistoryLimits read(const QString &file) {
    const IniFile ini(file);
    HistoryLimits limits;
    limits.days =
        std::clamp(ini.readInt(kSection, kDays, limits.days), HistoryLimits::kMinDays, HistoryLimits::kMaxDays);
    limits.megabytes = std::clamp(ini.readInt(kSection, kMegabytes, limits.megabytes), HistoryLimits::kMinMegabytes,
                                  HistoryLimits::kMaxMegabytes);
    return limits;
}

bool write(const QString &file, const HistoryLimits &limits, QString *error) {
    IniFile ini(file);
    ini.writeInt(kSection, kDays, limits.days);
    ini.writeInt(kSection, kMegabytes, limits.megabytes);
    if (ini.save())
        return true;
    *error = ini.errorString();
    return false;
}
} // namespace HistoryLimitsFile
