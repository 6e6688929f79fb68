#pragma once

#include "History.h"
#include "ValueTarget.h"

// Hands every decoded line of the link to the history: the value as received, also the lines
// read right after connecting (they are the objects' values at that moment). Register it with the
// link's dispatch like any other target.
class HistoryValueRecorder : public ValueTarget {
public:
    explicit HistoryValueRecorder(History &history) : m_history(history) {}
    void onValue(const DecodedLine &line, bool) override { m_history.recordValue(line.gan, line.rawValue); }

private:
    History &m_history;
};
