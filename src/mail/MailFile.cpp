#include "MailFile.h"

#include "IniFieldTable.h"
#include "IniFile.h"
#include "NumberedSections.h"

namespace {
// The account's own keys, in the order the file stores them. The keys of the two flags are
// crossed with their meaning: "Balloon" holds the fetch flag and "GetAc" the balloon flag.
const IniFieldTable<MailAccount> &accountFields() {
    using F = IniFieldTable<MailAccount>;
    static const F table{
        F::text(QStringLiteral("Bezeichnung"), &MailAccount::name), F::text(QStringLiteral("Host"), &MailAccount::host),
        F::text(QStringLiteral("Port"), &MailAccount::port),
        F::text(QStringLiteral("Balloon"), &MailAccount::fetchFlag),
        F::text(QStringLiteral("GetAc"), &MailAccount::balloonFlag),
        F::text(QStringLiteral("Login"), &MailAccount::login), F::text(QStringLiteral("PW"), &MailAccount::password),
        F::text(QStringLiteral("GANAnz"), &MailAccount::countGan),
        // Files of older versions lack it: no TLS.
        F::minusOneFlag(QStringLiteral("TLS"), &MailAccount::tls)};
    return table;
}

// The keys of slot s (from 0) end in the digit s.
const IniFieldTable<MailSlot> &slotFields(int s) {
    using F = IniFieldTable<MailSlot>;
    static const std::array<F, kMailSlotCount> tables = [] {
        const auto table = [](int i) {
            const QString digit = QString::number(i);
            return F{F::optionalText(QStringLiteral("GANAbs") + digit, &MailSlot::senderGan),
                     F::optionalText(QStringLiteral("GANBtr") + digit, &MailSlot::subjectGan),
                     F::optionalText(QStringLiteral("GANZeit") + digit, &MailSlot::dateGan)};
        };
        return std::array<F, kMailSlotCount>{table(0), table(1), table(2), table(3), table(4)};
    }();
    return tables[static_cast<size_t>(s)];
}
} // namespace

MailFileContent loadMailFile(const QString &path) {
    MailFileContent content;
    const IniFile ini(path);
    if (!ini.readOk()) {
        content.errorString = ini.errorString();
        return content;
    }
    for (const QString &section : numberedSections(ini)) {
        MailAccount account;
        accountFields().read(ini, section, account);
        if (account.name.isEmpty())
            continue;
        for (int s = 0; s < kMailSlotCount; ++s)
            slotFields(s).read(ini, section, account.mailSlots[static_cast<size_t>(s)]);
        content.accounts.append(std::move(account));
    }
    return content;
}

bool saveMailFile(const QString &path, const MailAccountList &accounts, QString *error) {
    IniFile ini(path);
    const QStringList former = numberedSections(ini);
    // Nothing to write and nothing to remove: no file is created (nor fails in a missing folder).
    if (accounts.isEmpty() && former.isEmpty() && ini.readOk())
        return true;
    for (const QString &section : former)
        ini.eraseSection(section);
    for (qsizetype k = 0; k < accounts.size(); ++k) {
        const QString section = QString::number(MailAccountList::flatPosition(k));
        const MailAccount &account = accounts.at(k);
        accountFields().write(ini, section, account);
        for (int s = 0; s < kMailSlotCount; ++s)
            slotFields(s).write(ini, section, account.mailSlots[static_cast<size_t>(s)]);
    }
    if (ini.save(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return true;
    if (error)
        *error = ini.errorString();
    return false;
}
