#include "MailEditor.h"

bool MailForm::complete() const {
    return !server.isEmpty() && !port.isEmpty() && !login.isEmpty() && countCaption != kNoCountObject;
}

bool MailForm::addToList(QStringList &list, const QString &gan) {
    if (gan.isEmpty() || list.size() >= kMailSlotCount)
        return false;
    list.append(gan);
    return true;
}

MailAccount MailForm::newAccount() const {
    MailAccount account;
    account.name = server;
    applyTo(account);
    return account;
}

void MailForm::applyTo(MailAccount &account) const {
    account.host = server;
    account.port = port;
    account.fetchFlag = mailFlagText(fetch);
    account.balloonFlag = mailFlagText(balloon);
    account.login = login;
    account.password = password;
    account.countGan = countCaption;
    account.tls = tls;
    for (int s = 0; s < kMailSlotCount; ++s) {
        MailSlot &slot = account.mailSlots[static_cast<size_t>(s)];
        slot.senderGan = senders.value(s);
        slot.subjectGan = subjects.value(s);
        slot.dateGan = dates.value(s);
    }
}

std::optional<MailForm> MailForm::withAccount(const MailAccount &account) const {
    const std::optional<bool> fetchSet = readMailFlag(account.fetchFlag);
    const std::optional<bool> balloonSet = readMailFlag(account.balloonFlag);
    if (!fetchSet || !balloonSet)
        return std::nullopt;
    MailForm form = *this;
    form.server = account.host;
    form.port = account.port;
    form.login = account.login;
    form.password = account.password;
    form.countCaption = account.countGan;
    form.fetch = *fetchSet;
    form.balloon = *balloonSet;
    form.tls = account.tls;
    // The lists are not emptied first: what is already in them stays ahead, and the five-item
    // limit of a drop does not apply here.
    for (const MailSlot &slot : account.mailSlots) {
        if (!slot.senderGan.isEmpty())
            form.senders.append(slot.senderGan);
        if (!slot.subjectGan.isEmpty())
            form.subjects.append(slot.subjectGan);
        if (!slot.dateGan.isEmpty())
            form.dates.append(slot.dateGan);
    }
    return form;
}
