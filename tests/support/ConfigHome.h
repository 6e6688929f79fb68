#pragma once

#include <QString>
#include <QtGlobal>

// Points XDG_CONFIG_HOME (autostart entries, the default program folder) at a test's own folder
// while it lives.
struct ConfigHome {
    explicit ConfigHome(const QString &path) { qputenv("XDG_CONFIG_HOME", path.toLocal8Bit()); }
    ~ConfigHome() { qunsetenv("XDG_CONFIG_HOME"); }
};
