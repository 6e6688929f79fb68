// The NUL line splitter's rules (see LineSplitterModel), fed the stream in random pieces with reads
// in between, give the lines of a plain split of the whole stream: every NUL ends a line, a line
// longer than the cap is one dropped entry, and what waits for its NUL is the incomplete line. The
// first input byte seeds the piece sizes; the rest is the stream.
#include "FuzzCheck.h"
#include "LineSplitterModel.h"

#include <QList>
#include <vector>

namespace {
std::vector<LineSplitterModel::Line> plainSplit(const QByteArray &stream, qsizetype *incomplete) {
    std::vector<LineSplitterModel::Line> lines;
    const QList<QByteArray> pieces = stream.split('\0');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const bool tooLong = pieces[i].size() > LineSplitterModel::kMaxLineLength;
        const bool complete = i + 1 < pieces.size();
        if (tooLong)
            lines.push_back({{}, true});
        else if (complete)
            lines.push_back({pieces[i], false});
        else
            *incomplete = pieces[i].size();
    }
    return lines;
}

struct Random {
    uint32_t state;
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    Random random{0x9E3779B9u ^ data[0]};
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    qsizetype expectedIncomplete = 0;
    const std::vector<LineSplitterModel::Line> expected = plainSplit(stream, &expectedIncomplete);

    LineSplitterModel splitter;
    size_t read = 0;
    const auto readOne = [&] {
        FUZZ_CHECK(read < expected.size());
        FUZZ_CHECK(splitter.front().dropped == expected[read].dropped);
        FUZZ_CHECK(splitter.front().bytes == expected[read].bytes);
        splitter.pop();
        ++read;
    };
    for (qsizetype at = 0; at < stream.size();) {
        // Pieces from one byte to 64 KiB, mostly small.
        const qsizetype piece = std::min<qsizetype>(stream.size() - at, 1 + random.next() % (1u << random.next() % 17));
        const qsizetype before = splitter.size();
        const bool gotLine = splitter.take(QByteArrayView(stream).sliced(at, piece));
        FUZZ_CHECK(gotLine == (splitter.size() > before));
        FUZZ_CHECK(splitter.incompleteLineLength() <= LineSplitterModel::kMaxLineLength);
        at += piece;
        for (uint32_t reads = random.next() % 4; reads > 0 && !splitter.isEmpty(); --reads)
            readOne();
    }
    FUZZ_CHECK(read + static_cast<size_t>(splitter.size()) == expected.size());
    qsizetype expectedQueued = 0;
    for (size_t i = read; i < expected.size(); ++i)
        expectedQueued += expected[i].bytes.size() + LineSplitterModel::kLineOverheadBytes;
    FUZZ_CHECK(splitter.queuedBytes() == expectedQueued);
    FUZZ_CHECK(splitter.incompleteLineLength() == expectedIncomplete);
    const bool droppingLast = !stream.isEmpty() && stream.split('\0').back().size() > LineSplitterModel::kMaxLineLength;
    FUZZ_CHECK(splitter.hasIncompleteLine() == (expectedIncomplete > 0 || droppingLast));
    while (!splitter.isEmpty())
        readOne();
    FUZZ_CHECK(splitter.queuedBytes() == 0);
    splitter.clear();
    FUZZ_CHECK(!splitter.hasIncompleteLine() && splitter.incompleteLineLength() == 0);
    return 0;
}
