// A mail's header, as the poll reads it. The header collector, fed the message in random pieces,
// keeps what a plain scan of the whole message finds: the lines before the first empty line, cut
// at its limit. What the header says goes into gateway lines, so the sender and the subject are
// single lines without any control character, the same bytes give the same texts every time (no
// read past a buffer), and a date keeps to the offsets clocks use. The first input byte seeds the
// piece sizes, the second picks the limit; the rest is the message.
#include "FuzzCheck.h"
#include "MailMessage.h"
#include "MessageSummary.h"

#include <QByteArray>
#include <QTimeZone>
#include <cstdlib>

namespace {
struct Random {
    uint32_t state;
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

// Every line before the first empty one (a line that is only LF or CR LF), at most limit bytes.
QByteArray plainHeader(const QByteArray &message, qsizetype limit, bool *cut) {
    qsizetype end = message.size();
    for (qsizetype at = 0; at < message.size();) {
        if (message[at] == '\n' || (message[at] == '\r' && at + 1 < message.size() && message[at + 1] == '\n')) {
            end = at;
            break;
        }
        const qsizetype lineEnd = message.indexOf('\n', at);
        if (lineEnd < 0)
            break;
        at = lineEnd + 1;
    }
    *cut = end > limit;
    return message.left(std::min(end, limit));
}

bool singleLine(const QString &text) {
    for (const QChar c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            return false;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2)
        return 0;
    Random random{0x9E3779B9u ^ data[0]};
    // Small limits reach the cut; 255 stands for one larger than any input.
    const qsizetype limit = data[1] == 255 ? qsizetype(1) << 30 : qsizetype(data[1]) * 16;
    const QByteArray message(reinterpret_cast<const char *>(data + 2), static_cast<qsizetype>(size - 2));

    bool expectedCut = false;
    const QByteArray expected = plainHeader(message, limit, &expectedCut);
    MailHeaderCollector collector(limit);
    for (qsizetype at = 0; at < message.size();) {
        const qsizetype piece =
            std::min<qsizetype>(message.size() - at, 1 + random.next() % (1u << random.next() % 13));
        collector.take(QByteArrayView(message).sliced(at, piece));
        at += piece;
    }
    FUZZ_CHECK(collector.header() == expected);
    FUZZ_CHECK(collector.cut() == expectedCut);
    FUZZ_CHECK(collector.messageBytes() == message.size());

    const MailSummary summary = summarizeMessage(collector.header());
    FUZZ_CHECK(summarizeMessage(collector.header()) == summary);
    FUZZ_CHECK(singleLine(summary.sender));
    FUZZ_CHECK(singleLine(summary.subject));
    if (summary.date) {
        FUZZ_CHECK(summary.date->isValid());
        FUZZ_CHECK(std::abs(summary.date->offsetFromUtc()) <= 14 * 3600);
        FUZZ_CHECK(!mailDateText(*summary.date, QLocale::c(), QTimeZone::utc()).isEmpty());
    }
    return 0;
}
