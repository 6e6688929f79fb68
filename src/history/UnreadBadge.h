#pragma once

#include <QIcon>
#include <QString>

// The number of unread events drawn on the tray icon: a red disc with the number in white at
// the icon's lower right corner, in every size the icon has.
namespace UnreadBadge {
// Above this the badge reads "99+".
constexpr int kMaxShown = 99;
// The text on the badge; empty for 0.
QString label(int count);
// The icon with the badge; the icon itself for 0 (or less).
QIcon withCount(const QIcon &icon, int count);
} // namespace UnreadBadge
