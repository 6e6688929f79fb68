#pragma once

#include <QString>

// Starting the program with the user's session (XDG autostart file on Linux, Run key on Windows).
class Autostart {
public:
    virtual ~Autostart() = default;
    // Writes the entry anew with the full path of the program; false with errorString() on failure.
    virtual bool enable(const QString &programPath) = 0;
    // Removes the entry; no entry is no error.
    virtual bool disable() = 0;
    virtual bool isEnabled() const = 0;
    virtual QString errorString() const = 0;
    // The file the entry is kept in, when it is one (its folder is the desktop's, not the program's).
    virtual QString entryFile() const { return {}; }
};
