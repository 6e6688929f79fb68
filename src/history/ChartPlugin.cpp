#include "ChartPlugin.h"

#include "OwnPlugin.h"

ChartEngine *ChartPlugin::load(QString &why, const QString &pluginFile) {
    return OwnPlugin::load<ChartEngine>(pluginFile, {kModuleMissing, kModuleNotLoadable, kModuleForeign}, why);
}
