#pragma once

#include "BrowserHost.h"
#include "FrameEvents.h"
#include "ObjectHooks.h"
#include "PlatformServices.h"
#include "ProgramPaths.h"
#include "ProgramSettings.h"
#include "ReportingServices.h"
#include "SubsystemList.h"

#include <QString>

class FrameParts;

// What the application is made of apart from its windows: the program's folders, the platform
// services, the settings model, the events the frame reports, and what plugs into the frame (the
// link and catalogue fetch, the ordered subsystems), filled in by the program's wiring. The windows
// get it and hand its parts to their panels.
class AppCore {
public:
    // helpFile: the full path of the German HTML help ("help/quendra.html" beside the program file).
    // dataFolder: see Frame::dataFolder(); empty: the program folder (tests, the demo).
    AppCore(ProgramPaths paths, PlatformServices services, QString helpFile, QString dataFolder = {});

    // The data folder of the program whose folder paths names: its own folder when it is portable
    // (the program folder is the executable's), else "$XDG_DATA_HOME/quendra/".
    static QString dataFolderFor(const ProgramPaths &paths);

    const ProgramPaths &paths() const { return m_paths; }
    // The platform's services; boxes and balloons shown through them are the program's own events.
    const PlatformServices &services() const { return m_reporting.services(); }
    // The platform's services as they are, for the parts that report under their own name.
    const PlatformServices &platform() const { return m_platform; }
    const QString &helpFile() const { return m_helpFile; }
    const QString &dataFolder() const { return m_dataFolder; }
    // The copy of the server's catalogue in the program folder.
    QString catalogueCopyFile() const { return m_paths.file(QStringLiteral("cobjects.xml")); }

    ProgramSettings &settings() { return m_settings; }
    FrameEvents &events() { return m_events; }
    ObjectHooks &objects() { return m_objects; }
    SubsystemList &subsystems() { return m_subsystems; }

    // The link and the catalogue fetch; none where a test builds the frame without them.
    FrameParts *parts = nullptr;
    // The web-query checker's browser; empty: Qt WebEngine, started when the checker is first shown.
    BrowserFactory browsers;

private:
    ProgramPaths m_paths;
    QString m_helpFile;
    QString m_dataFolder;
    PlatformServices m_platform;
    FrameEvents m_events;
    ObjectHooks m_objects;
    ReportingServices m_reporting;
    ProgramSettings m_settings;
    SubsystemList m_subsystems;
};
