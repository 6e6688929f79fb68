#pragma once

#include <QString>

// Where the program keeps its own files: the settings "quendra.ini", the web checker's files and
// the default configuration folder. Portable mode (a "quendra.ini" beside the executable) uses
// the executable's folder; otherwise the user's configuration folder "quendra".
class ProgramPaths {
public:
    // Uses the given folder as the program folder (tests, the demo).
    explicit ProgramPaths(const QString &programFolder);
    // Decides by the rule above and creates the folder when needed.
    static ProgramPaths detect();

    // Ends with the platform's separator.
    const QString &programFolder() const { return m_folder; }
    QString settingsFile() const { return m_folder + QStringLiteral("quendra.ini"); }
    QString file(const QString &name) const { return m_folder + name; }
    // The full path of the running program file (for autostart).
    static QString programFile();
    // The German help of the running program: beside the program file (build tree, portable copy)
    // or in the installed data folder.
    static QString helpFile();
    // The same rule for a program file in programFolder: "help/quendra.html" beside it when that
    // exists, else "../share/quendra/help/quendra.html" when that exists, else the first (named
    // by the "not found" message).
    static QString helpFileFor(const QString &programFolder);
    // The web checker's browser plugin of the running program: the file QUENDRA_BROWSER_PLUGIN
    // names when it is set (tools and tests that are not the program file), else by the rule below.
    static QString browserPlugin();
    // The same rule for a program file in programFolder: "libquendra_browser.so" beside it (build
    // tree, portable copy) when that exists, else "../lib/quendra/plugins/libquendra_browser.so"
    // when that exists, else the first (named by the message that it is missing).
    static QString browserPluginFor(const QString &programFolder);
    // The mailbox plugin (VMime) likewise: QUENDRA_MAIL_PLUGIN, else "libquendra_mailbox.so" by the
    // rule above.
    static QString mailPlugin();
    // The chart plugin of the window "Verlauf" (Qt Charts) likewise: QUENDRA_CHART_PLUGIN, else
    // "libquendra_chart.so" by the rule above.
    static QString chartPlugin();
    // The rule above for any plugin file name.
    static QString pluginFor(const QString &programFolder, const QString &fileName);
    static QChar separator();

private:
    QString m_folder;
};
