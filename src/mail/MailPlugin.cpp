#include "MailPlugin.h"

#include "MailTexts.h"
#include "OwnPlugin.h"

MailExchange *MailPlugin::load(QString &why, const QString &pluginFile) {
    return OwnPlugin::load<MailExchange>(pluginFile, {kMailModuleMissing, kMailModuleNotLoadable, kMailModuleForeign},
                                         why);
}
