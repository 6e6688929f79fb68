#pragma once

#include "MailExchange.h"
#include "MessageSummary.h"

// The VMime side of mail polling: it lives in the mailbox plugin (and in the tests that link it).

// One POP3 exchange with VMime: connect (POP3S on port 995, else plain or with STLS), USER/PASS,
// STAT, RETR of the newest up to five, QUIT, also after an error. Blocks: run it on a worker
// thread. A retrieval the server refuses gives an empty summary; every other failure ends the
// exchange with its error, a German text. Setting cancelled ends it at the next byte or wait.
MailboxReport fetchMailbox(const MailServerAccess &access, const MailFetchOptions &options,
                           const std::atomic_bool &cancelled);
