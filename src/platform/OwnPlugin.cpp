#include "OwnPlugin.h"

#include <QFileInfo>
#include <QPluginLoader>

QObject *OwnPlugin::loadRoot(const QString &file, const Texts &texts, QString &why) {
    if (!QFileInfo(file).isFile()) {
        why = texts.missing.arg(file);
        return nullptr;
    }
    QPluginLoader loader(file);
    loader.setLoadHints(QLibrary::PreventUnloadHint);
    QObject *root = loader.instance();
    if (!root)
        why = texts.notLoadable.arg(file, loader.errorString());
    return root;
}
