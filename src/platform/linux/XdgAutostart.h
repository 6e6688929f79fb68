#pragma once

#include "Autostart.h"

// Autostart through the desktop's XDG autostart folder: "quendra.desktop" in
// $XDG_CONFIG_HOME/autostart (default ~/.config/autostart). Its Exec is that of the installed desktop
// entry (../share/applications/de.quendra.Quendra.desktop from the program file) when there is one,
// else the program file's full path.
class XdgAutostart : public Autostart {
public:
    bool enable(const QString &programPath) override;
    bool disable() override;
    bool isEnabled() const override;
    QString errorString() const override { return m_error; }
    QString entryFile() const override { return entryPath(); }

    // Looked up at every call, so a changed environment is honoured.
    static QString entryPath();
    // The Exec= value that starts exactly this program file, quoted by the desktop entry rules.
    static QString execValue(const QString &programPath);

private:
    QString m_error;
};
