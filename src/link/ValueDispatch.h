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
class ValueDispatch {
public:
    // The target must outlive the dispatch or be removed first.
    void addTarget(ValueTarget *target);
    void removeTarget(ValueTarget *target);
    // `make_popup`, run after every line that is not `initial`.
    void setPopupRebuild(std::function<void()> makePopup) { m_makePopup = std::move(makePopup); }

    void update_lv_menu(const QString &line, bool initial);

private:
    std::vector<ValueTarget *> m_targets;
    std::function<void()> m_makePopup;
};
