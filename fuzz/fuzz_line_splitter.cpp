// The gateway link's LineSplitter, fed the stream in random pieces with reads in between, gives
// the lines of a plain split of the whole stream: every NUL ends a line, a line longer than the cap
// is one overlong marker, and what waits for its NUL is the incomplete line. The first input byte
// seeds the piece sizes and, by its lowest bit, whether the reads report overlong markers or pass
// over them; the rest is the stream.
#include "FuzzCheck.h"
#include "LineSplitter.h"

#include <QList>
#include <vector>

namespace {
struct Line {
    QByteArray bytes;
    bool overlong = false;
};

std::vector<Line> plainSplit(const QByteArray &stream, qsizetype *incomplete) {
    std::vector<Line> lines;
    const QList<QByteArray> pieces = stream.split('\0');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const bool tooLong = pieces[i].size() > LineSplitter::kMaxLineLength;
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
    const std::vector<Line> expected = plainSplit(stream, &expectedIncomplete);

    LineSplitter splitter;
    size_t read = 0;
    const auto readOne = [&] {
        FUZZ_CHECK(read < expected.size());
        FUZZ_CHECK(splitter.takeOverlongLine() == expected[read].overlong);
        if (!expected[read].overlong) {
            const std::optional<QByteArray> line = splitter.takeLine();
            FUZZ_CHECK(line && *line == expected[read].bytes);
        }
        ++read;
    };
    // takeLine() alone passes over overlong markers, as a reader that does not report them does.
    const auto readPassingOver = [&] {
        const size_t queuedEnd = read + static_cast<size_t>(splitter.pendingLineCount());
        FUZZ_CHECK(queuedEnd <= expected.size());
        while (read < queuedEnd && expected[read].overlong)
            ++read;
        const std::optional<QByteArray> line = splitter.takeLine();
        FUZZ_CHECK(line.has_value() == (read < queuedEnd));
        if (line) {
            FUZZ_CHECK(*line == expected[read].bytes);
            ++read;
        }
    };
    const auto readNext = [&, passOver = (data[0] & 1) != 0] {
        if (passOver)
            readPassingOver();
        else
            readOne();
    };
    for (qsizetype at = 0; at < stream.size();) {
        // Pieces from one byte to 64 KiB, mostly small.
        const qsizetype piece = std::min<qsizetype>(stream.size() - at, 1 + random.next() % (1u << random.next() % 17));
        const qsizetype before = splitter.pendingLineCount();
        const bool gotLine = splitter.takeBytes(QByteArrayView(stream).sliced(at, piece));
        FUZZ_CHECK(gotLine == (splitter.pendingLineCount() > before));
        FUZZ_CHECK(splitter.incompleteLineLength() <= LineSplitter::kMaxLineLength);
        at += piece;
        for (uint32_t reads = random.next() % 4; reads > 0 && splitter.pendingLineCount() > 0; --reads)
            readNext();
    }
    FUZZ_CHECK(read + static_cast<size_t>(splitter.pendingLineCount()) == expected.size());
    qsizetype expectedQueued = 0;
    for (size_t i = read; i < expected.size(); ++i)
        expectedQueued += expected[i].bytes.size() + LineSplitter::kLineOverheadBytes;
    FUZZ_CHECK(splitter.queuedBytes() == expectedQueued);
    FUZZ_CHECK(splitter.incompleteLineLength() == expectedIncomplete);
    const bool droppingLast = !stream.isEmpty() && stream.split('\0').back().size() > LineSplitter::kMaxLineLength;
    while (splitter.pendingLineCount() > 0)
        readNext();
    FUZZ_CHECK(splitter.queuedBytes() == 0);
    // With the queue read, what is still pending is the line waiting for its NUL.
    FUZZ_CHECK(splitter.hasPendingBytes() == (expectedIncomplete > 0 || droppingLast));
    splitter.clear();
    FUZZ_CHECK(!splitter.hasPendingBytes() && splitter.incompleteLineLength() == 0);
    return 0;
}
