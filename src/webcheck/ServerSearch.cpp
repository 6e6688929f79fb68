#include "ServerSearch.h"

#include "PageSource.h"

namespace {
// The first occurrence starting in from .. before - 1: the region reaches as far as the last such
// occurrence does.
qsizetype firstBetween(QStringView source, QStringView text, qsizetype from, qsizetype before) {
    return before <= from ? 0 : FindInSource(source, text, from, before - from + text.size() - 1);
}
} // namespace

qsizetype ServerSearch::find(QStringView source, QStringView text, qsizetype cursor) {
    if (text.isEmpty())
        return cursor >= 1 && cursor <= source.size() + 1 ? cursor : 0;
    return FindInSource(source, text, cursor, source.size() - cursor + 1);
}

bool ServerSearch::occursBetween(QStringView source, QStringView text, qsizetype from, qsizetype before) {
    return firstBetween(source, text, from, before) != 0;
}

qsizetype ServerSearch::countBetween(QStringView source, QStringView text, qsizetype from, qsizetype before) {
    qsizetype count = 0;
    for (qsizetype hit = firstBetween(source, text, from, before); hit != 0;
         hit = firstBetween(source, text, hit + 1, before))
        ++count;
    return count;
}
