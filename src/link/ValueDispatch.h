#pragma once

#include "ValueTarget.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

// Cuts a received line into number and value. Lines of four characters or fewer carry nothing
// and give no result. The first two characters are not looked at; the number runs up to the
// first "|" (without any "|": everything but the last character), the value is all after it.
std::optional<DecodedLine> decodeValueLine(const QString &line);

// `update_lv_menu`: the one entry for every line read from the gateway. It decodes the line and
// hands it to every registered target in registration order (screen-saver control, menu
// commands, Load & Replace), then rebuilds the tray popup unless the line is `initial`.
//
// While a drain runs, the popup is held: a line only marks it stale, and it is told once when
// the hold ends or when the popup is about to open. A burst of thousands of lines thus costs one
// call, and nobody sees the difference: polling hands out no line while a menu is open, so the
// popup shows the same items it would after a rebuild per line. (The program's popup, told while
// it is closed, only marks itself stale in turn and is built when it opens.)
class ValueDispatch {
public:
    // The target must outlive the dispatch or be removed first.
    void addTarget(ValueTarget *target);
    void removeTarget(ValueTarget *target);
    // `make_popup`, run after every line that is not `initial`.
    void setPopupRebuild(std::function<void()> makePopup) { m_makePopup = std::move(makePopup); }

    void update_lv_menu(const QString &line, bool initial);

    // Holds the rebuild while on; switching it off rebuilds once when a line left the popup stale.
    void holdPopup(bool hold);
    // Rebuilds now when a held line left the popup stale (the popup is about to open).
    void flushPopup();

    // Lines taken together: targets hear `afterLines` once at the end (also of an inner run, say
    // under a modal box), not after each line. Outside such a run every line ends one.
    void beginLines() { ++m_linesDepth; }
    void endLines();

private:
    void tellAfterLines();

    std::vector<ValueTarget *> m_targets;
    std::function<void()> m_makePopup;
    bool m_popupHeld = false;
    bool m_popupStale = false;
    int m_linesDepth = 0;
    bool m_valuesSinceAfter = false;
};
