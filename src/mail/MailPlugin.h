#pragma once

#include "MailExchange.h"
#include "ProgramPaths.h"

// Loads the mailbox exchange from its plugin (libquendra_mailbox.so, on VMime) when the program
// first polls a mailbox, so a program that polls none never loads VMime and the TLS libraries.
namespace MailPlugin {
// The exchange, loaded once per process and never unloaded; null when it cannot be used, and why
// then says why in a German sentence for the user.
MailExchange *load(QString &why, const QString &pluginFile = ProgramPaths::mailPlugin());
} // namespace MailPlugin
