#include "BrowserPlugin.h"

#include "BrowserEngine.h"
#include "UnavailableBrowserHost.h"
#include "WebCheckTexts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QOpenGLContext>
#include <QPluginLoader>

// QtGui's global share context, as Qt WebEngine's own start-up sets it.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
Q_GUI_EXPORT QOpenGLContext *qt_gl_global_share_context();
QT_END_NAMESPACE

using namespace WebCheckTexts;

namespace {
QOpenGLContext *shareContext = nullptr;

void deleteShareContext() {
    if (qt_gl_global_share_context() == shareContext)
        qt_gl_set_global_share_context(nullptr);
    delete shareContext;
    shareContext = nullptr;
}

// The engine draws through an OpenGL context shared with QtGui's global one. Linked into the
// program, the engine has Qt make that context at start-up; loaded later without one, it warns as
// its libraries load and crashes as it starts. So the global context is made here, before the
// plugin and with it the engine's libraries are loaded. Like the engine, it is handed over even
// when this display offers no OpenGL (offscreen): the engine then draws without.
void ensureShareContext() {
    if (qt_gl_global_share_context())
        return;
    shareContext = new QOpenGLContext;
    shareContext->create();
    qt_gl_set_global_share_context(shareContext);
    qAddPostRoutine(deleteShareContext);
}
} // namespace

std::unique_ptr<BrowserHost> BrowserPlugin::createHost(const QString &pluginFile) {
    if (!QFileInfo(pluginFile).isFile())
        return std::make_unique<UnavailableBrowserHost>(kModulFehlt.arg(pluginFile));
    ensureShareContext();
    // Loaded once per process and never unloaded: the engine cannot be stopped and started again.
    QPluginLoader loader(pluginFile);
    loader.setLoadHints(QLibrary::PreventUnloadHint);
    QObject *root = loader.instance();
    if (!root)
        return std::make_unique<UnavailableBrowserHost>(kModulNichtLadbar.arg(pluginFile, loader.errorString()));
    auto *engine = qobject_cast<BrowserEngine *>(root);
    if (!engine)
        return std::make_unique<UnavailableBrowserHost>(kModulFremd.arg(pluginFile, QStringLiteral(QUENDRA_VERSION)));
    QString why;
    if (std::unique_ptr<BrowserHost> host = engine->createHost(why))
        return host;
    return std::make_unique<UnavailableBrowserHost>(why);
}
