#pragma once

#include "BrowserHost.h"
#include "ProgramPaths.h"

#include <memory>

// Loads the checker's browser from its plugin (libquendra_browser.so, on Qt WebEngine) when the
// checker first needs it, so the program that starts at login loads no browser engine and no
// OpenGL stack. Whatever fails — no plugin, one that does not load or belongs to another build, an
// engine that cannot start here — gives a host that shows why; the program goes on.
namespace BrowserPlugin {
std::unique_ptr<BrowserHost> createHost(const QString &pluginFile = ProgramPaths::browserPlugin());
} // namespace BrowserPlugin
