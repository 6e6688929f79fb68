#include "ValueDispatch.h"

#include <algorithm>
#include <utility>

std::optional<DecodedLine> decodeValueLine(const QString &line) {
    if (line.size() <= 4)
        return std::nullopt;
    const QStringView rest = QStringView(line).mid(2);
    const qsizetype bar = rest.indexOf(u'|');
    DecodedLine decoded;
    if (bar < 0) {
        decoded.gan = rest.chopped(1).toString();
    } else {
        decoded.gan = rest.left(bar).toString();
        decoded.rawValue = rest.mid(bar + 1).toString();
    }
    decoded.displayValue = QString(decoded.rawValue).replace(u'.', u',');
    return decoded;
}

void ValueDispatch::addTarget(ValueTarget *target) {
    m_targets.push_back(target);
}

void ValueDispatch::removeTarget(ValueTarget *target) {
    std::erase(m_targets, target);
}

void ValueDispatch::update_lv_menu(const QString &line, bool initial) {
    if (const std::optional<DecodedLine> decoded = decodeValueLine(line)) {
        // By index into the live list: a target may show a modal box, and a target removed
        // meanwhile must not be called.
        for (size_t i = 0; i < m_targets.size(); ++i)
            m_targets[i]->onValue(*decoded, initial);
        m_valuesSinceAfter = true;
        if (m_linesDepth == 0)
            tellAfterLines();
    }
    if (initial)
        return;
    m_popupStale = true;
    if (!m_popupHeld)
        flushPopup();
}

void ValueDispatch::endLines() {
    m_linesDepth = std::max(0, m_linesDepth - 1);
    tellAfterLines();
}

void ValueDispatch::tellAfterLines() {
    if (!std::exchange(m_valuesSinceAfter, false))
        return;
    for (size_t i = 0; i < m_targets.size(); ++i)
        m_targets[i]->afterLines();
}

void ValueDispatch::holdPopup(bool hold) {
    m_popupHeld = hold;
    if (!hold)
        flushPopup();
}

void ValueDispatch::flushPopup() {
    if (!std::exchange(m_popupStale, false))
        return;
    if (m_makePopup)
        m_makePopup();
}
