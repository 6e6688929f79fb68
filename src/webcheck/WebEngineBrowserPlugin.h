#pragma once

#include "BrowserEngine.h"

#include <QObject>

// The browser plugin on Qt WebEngine. Before the engine starts it checks what the engine would end
// the whole program over (its helper program or its data missing), turns the sandbox off where the
// engine refuses to run with it (as root) and sets the engine's language to German (its own error
// pages). The program creates the global OpenGL context the engine shares before it loads this.
class WebEngineBrowserPlugin : public QObject, public BrowserEngine {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QUENDRA_BROWSER_ENGINE_IID)
    Q_INTERFACES(BrowserEngine)

public:
    std::unique_ptr<BrowserHost> createHost(QString &why) override;

private:
    bool m_prepared = false;
    // The line under every browser when it runs without its sandbox; empty with the sandbox.
    QString m_sandboxNote;
};
