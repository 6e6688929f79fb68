#include "StateIcon.h"

#include "DecimalComma.h"

#include <algorithm>
#include <climits>

namespace {
// The base symbol comes from a hand-editable file; an absurd one must not overflow. The picture
// for it is empty either way.
int offset(int base, int steps) {
    return static_cast<int>(std::min<qint64>(qint64(base) + steps, INT_MAX));
}
} // namespace

void UpdateStateIcon(MenuCommand &entry, QStringView value) {
    if (entry.aktion == QLatin1String("lesen"))
        return;
    const int base = entry.symbol;
    const auto n = DecimalComma::truncated(value);
    if (!n) {
        entry.stateIcon = base;
        return;
    }
    const bool frei = entry.aktion == QLatin1String("Frei");
    if (*n == 0)
        entry.stateIcon = frei ? base : offset(base, 1);
    else if (*n == 1)
        entry.stateIcon = frei ? offset(base, 1) : base;
    else if (!frei || *n < 0 || *n > 100)
        return;
    else if (*n <= 33)
        entry.stateIcon = offset(base, 1);
    else if (*n <= 66)
        entry.stateIcon = offset(base, 2);
    else
        entry.stateIcon = offset(base, 3);
}
