#pragma once

#include "MailExchange.h"

#include <QObject>

// The mailbox plugin on VMime: the program loads it when it first polls a mailbox.
class VmimeMailPlugin : public QObject, public MailExchange {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QUENDRA_MAIL_EXCHANGE_IID)
    Q_INTERFACES(MailExchange)

public:
    MailboxReport fetch(const MailServerAccess &access, const MailFetchOptions &options,
                        const std::atomic_bool &cancelled) override;
};
