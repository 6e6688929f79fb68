#pragma once

#include <QString>

// One gateway line cut into number and value: "2|768|1.0" gives gan "768", rawValue "1.0" and
// displayValue "1,0" (the program's decimal comma form, used for comparing, storing and showing).
struct DecodedLine {
    QString gan;
    QString rawValue;
    QString displayValue;
};

// Something that reacts to every decoded line: the screen-saver control, the menu commands,
// the Load & Replace rules — called by the dispatch in that order.
class ValueTarget {
public:
    virtual ~ValueTarget() = default;
    // initial: the line was read right after connecting (update state, raise nothing).
    virtual void onValue(const DecodedLine &line, bool initial) = 0;
    // After the lines taken together (a drain's slice, or a line on its own): work that is worth
    // doing once for all of them, done in the same turn of the event loop.
    virtual void afterLines() {}
};
