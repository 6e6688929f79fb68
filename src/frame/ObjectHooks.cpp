#include "ObjectHooks.h"

#include <algorithm>

bool ObjectHooks::mayNotify(const QString &gan) const {
    return std::all_of(m_gates.cbegin(), m_gates.cend(), [&gan](const NotificationGate &gate) { return gate(gan); });
}
