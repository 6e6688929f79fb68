#include "VmimeMailPlugin.h"

#include "MailFetcher.h"

MailboxReport VmimeMailPlugin::fetch(const MailServerAccess &access, const MailFetchOptions &options,
                                     const std::atomic_bool &cancelled) {
    return fetchMailbox(access, options, cancelled);
}
