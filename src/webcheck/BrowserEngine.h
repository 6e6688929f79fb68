#pragma once

#include "BrowserHost.h"

#include <QString>
#include <QtPlugin>
#include <memory>

// What the browser plugin offers the program: hosts on its browser engine. The plugin holds the
// engine's libraries, so the program loads them only when the checker first needs its browser.
// Both sides build BrowserHost from the same source; the interface's name carries the program's
// version, so a plugin left from another build is refused instead of used with another layout.
class BrowserEngine {
public:
    virtual ~BrowserEngine() = default;
    // A host on the engine; the first one starts the engine. Null when the engine cannot run here,
    // and `why` then says why in a German sentence for the user.
    virtual std::unique_ptr<BrowserHost> createHost(QString &why) = 0;
};

#define QUENDRA_BROWSER_ENGINE_IID "de.quendra.Quendra.BrowserEngine/" QUENDRA_VERSION
Q_DECLARE_INTERFACE(BrowserEngine, QUENDRA_BROWSER_ENGINE_IID)
