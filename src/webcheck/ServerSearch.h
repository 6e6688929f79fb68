#pragma once

#include <QStringView>

// The search the server runs over a page with an exported web query, modelled once so that the
// export chooses its search texts by it and the check replays them with it. A search for a text
// from the cursor c finds its first occurrence that starts at or after c, case ignored; after a
// hit at h the cursor stands at h + 1 (occurrences may overlap, so the next one can start inside
// this one); a miss leaves the cursor. Positions count from 1.
namespace ServerSearch {
// The position of the hit, 0 for a miss. An empty text is found at the cursor.
qsizetype find(QStringView source, QStringView text, qsizetype cursor);
// Whether the text occurs starting at or after `from` and before `before`, overlaps included.
bool occursBetween(QStringView source, QStringView text, qsizetype from, qsizetype before);
// How many occurrences start at or after `from` and before `before`, overlaps included.
qsizetype countBetween(QStringView source, QStringView text, qsizetype from, qsizetype before);
} // namespace ServerSearch
