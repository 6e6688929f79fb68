#include "HistoryRecords.h"

#include "HistoryTexts.h"

#include <array>

namespace {
struct KindRow {
    EventKind kind;
    const char16_t *key;
    const QString *name;
};
// The keys are stored in the database: never change one, only add.
constexpr std::array<KindRow, 10> kKinds{{
    {EventKind::Balloon, u"balloon", &HistoryTexts::kKindBalloon},
    {EventKind::Message, u"message", &HistoryTexts::kKindMessage},
    {EventKind::LinkLost, u"link-lost", &HistoryTexts::kKindLinkLost},
    {EventKind::LinkRestored, u"link-restored", &HistoryTexts::kKindLinkRestored},
    {EventKind::KeyRefused, u"key-refused", &HistoryTexts::kKindKeyRefused},
    {EventKind::LoadReplaceFailed, u"load-replace-failed", &HistoryTexts::kKindLoadReplaceFailed},
    {EventKind::MailFailed, u"mail-failed", &HistoryTexts::kKindMailFailed},
    {EventKind::CatalogueFailed, u"catalogue-failed", &HistoryTexts::kKindCatalogueFailed},
    {EventKind::SaveFailed, u"save-failed", &HistoryTexts::kKindSaveFailed},
    {EventKind::HistoryGap, u"history-gap", &HistoryTexts::kKindHistoryGap},
}};
static_assert(
    [] {
        for (size_t i = 0; i < kKinds.size(); ++i)
            if (kKinds[i].kind != EventKind(i))
                return false;
        return true;
    }(),
    "the rows follow the order of EventKind");

const KindRow &rowOf(EventKind kind) {
    return kKinds[size_t(kind)];
}
} // namespace

namespace EventKinds {
const QList<EventKind> &all() {
    static const QList<EventKind> kinds = [] {
        QList<EventKind> list;
        for (const KindRow &row : kKinds)
            list.append(row.kind);
        return list;
    }();
    return kinds;
}

QString key(EventKind kind) {
    return QString::fromUtf16(rowOf(kind).key);
}

std::optional<EventKind> fromKey(const QString &key) {
    for (const KindRow &row : kKinds)
        if (key == QStringView(row.key))
            return row.kind;
    return std::nullopt;
}

QString name(EventKind kind) {
    return *rowOf(kind).name;
}

QString nameOfKey(const QString &key) {
    const std::optional<EventKind> kind = fromKey(key);
    return kind ? name(*kind) : key;
}
} // namespace EventKinds
