// `getlv` answers as a scan of every bus monitor line since the last clear, newest first, would.
// Input: records separated by NUL; "c" clears, "g…" asks for the number "…", "i…" inserts the
// line "…", anything else is inserted whole. After every step the newest numbers are asked too.
#include "BusMonitor.h"
#include "FuzzCheck.h"
#include "Reference.h"

#include <deque>
#include <vector>

namespace {
std::optional<QString> plainScan(const std::vector<QString> &lines, const QString &gan) {
    // A number holding "|" is answered from the lines the monitor still keeps.
    const size_t kept = gan.contains(u'|') ? std::min<size_t>(lines.size(), BusMonitor::kCapacity) : lines.size();
    const QString prefix = gan + u'|';
    for (size_t i = 0; i < kept; ++i) {
        const QString &line = lines[lines.size() - 1 - i];
        if (line.size() >= 2 + prefix.size() && line.mid(2, prefix.size()) == prefix) {
            QString value = line.mid(2 + prefix.size());
            if (value.isEmpty())
                return std::nullopt;
            return value.replace(u'.', u',');
        }
    }
    return std::nullopt;
}

// The number a line would be filed under, if any.
std::optional<QString> numberOf(const QString &line) {
    const qsizetype bar = line.indexOf(u'|', 2);
    return line.size() > 2 && bar >= 0 ? std::optional<QString>(line.mid(2, bar - 2)) : std::nullopt;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    BusMonitor monitor;
    std::vector<QString> lines;
    std::deque<QString> recentNumbers;
    const QString input = Reference::latin1(data, size);
    for (const QString &record : input.split(QChar(u'\0'))) {
        QString asked;
        if (record == u"c") {
            monitor.clear();
            lines.clear();
        } else if (record.startsWith(u'g')) {
            asked = record.mid(1);
        } else {
            const QString line = record.startsWith(u'i') ? record.mid(1) : record;
            monitor.insertTop(line);
            lines.push_back(line);
            if (const std::optional<QString> number = numberOf(line)) {
                recentNumbers.push_back(*number);
                if (recentNumbers.size() > 8)
                    recentNumbers.pop_front();
            }
        }
        FUZZ_CHECK(monitor.getlv(asked) == plainScan(lines, asked));
        for (const QString &number : recentNumbers)
            FUZZ_CHECK(monitor.getlv(number) == plainScan(lines, number));
        FUZZ_CHECK(monitor.rowCount() == static_cast<int>(std::min<size_t>(lines.size(), BusMonitor::kCapacity)));
        FUZZ_CHECK(lines.empty() || monitor.lines().first() == lines.back());
    }
    return 0;
}
