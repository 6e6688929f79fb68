#pragma once

#include "MailAccount.h"
#include "PictureTreeModel.h"

// Shows the accounts in `etree`: one row per account (system picture 15) with its seven fields below
// it (picture 1), then "Mails" with the five slots (picture 16), each with its three GANs (picture 1).
// Names, fields and GANs can be edited in place once renaming is set.
class MailTreeModel : public PictureTreeModel<MailAccountList> {
public:
    explicit MailTreeModel(const MailAccountList &accounts, QObject *parent = nullptr);
};
