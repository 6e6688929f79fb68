#include "MailAccount.h"

#include "MailTexts.h"

namespace {
// The fields of an account in the order of its nodes, after the account itself.
constexpr QString MailAccount::*kFieldMembers[] = {
    &MailAccount::host,  &MailAccount::port,     &MailAccount::fetchFlag, &MailAccount::balloonFlag,
    &MailAccount::login, &MailAccount::password, &MailAccount::countGan};
constexpr QString MailSlot::*kSlotMembers[] = {&MailSlot::senderGan, &MailSlot::subjectGan, &MailSlot::dateGan};
constexpr qsizetype kMailsPosition = 1 + qsizetype(std::size(kFieldMembers));
constexpr qsizetype kNodesPerSlot = 1 + qsizetype(std::size(kSlotMembers));
static_assert(kMailsPosition + 1 + kMailSlotCount * kNodesPerSlot == kMailAccountNodes);

// Slot s (from 0) of a node below "Mails", and the node's place within the slot (0: the slot itself).
std::pair<qsizetype, qsizetype> slotPlace(qsizetype node) {
    return {(node - kMailsPosition - 1) / kNodesPerSlot, (node - kMailsPosition - 1) % kNodesPerSlot};
}

// Where an account keeps the text of one of its nodes; none for "Mails" and the slots.
template <typename Account> auto textOf(Account &account, qsizetype node) -> decltype(&account.name) {
    using Kind = MailAccountList::NodeKind;
    switch (MailAccountList::kindOf(node)) {
    case Kind::Account:
        return &account.name;
    case Kind::Field:
        return &(account.*kFieldMembers[node - 1]);
    case Kind::SlotGan: {
        const auto [slot, place] = slotPlace(node);
        return &(account.mailSlots[static_cast<size_t>(slot)].*kSlotMembers[place - 1]);
    }
    case Kind::Mails:
    case Kind::Slot:
        break;
    }
    return nullptr;
}
} // namespace

MailAccountList::NodeKind MailAccountList::kindOf(qsizetype node) {
    if (node == 0)
        return NodeKind::Account;
    if (node < kMailsPosition)
        return NodeKind::Field;
    if (node == kMailsPosition)
        return NodeKind::Mails;
    return slotPlace(node).second == 0 ? NodeKind::Slot : NodeKind::SlotGan;
}

qsizetype MailAccountList::parentOf(qsizetype node) {
    switch (kindOf(node)) {
    case NodeKind::Account:
        return -1;
    case NodeKind::Field:
    case NodeKind::Mails:
        return 0;
    case NodeKind::Slot:
        return kMailsPosition;
    case NodeKind::SlotGan:
        break;
    }
    return node - slotPlace(node).second;
}

QString MailAccountList::nodeText(qsizetype flat) const {
    const qsizetype node = flat % kNodesPerEntry;
    if (const QString *text = textOf(at(flat / kNodesPerEntry), node))
        return *text;
    return kindOf(node) == NodeKind::Mails ? kMailsNode : QString::number(slotPlace(node).first + 1);
}

void MailAccountList::setNodeText(qsizetype flat, const QString &text) {
    if (QString *target = textOf((*this)[flat / kNodesPerEntry], flat % kNodesPerEntry))
        *target = text;
}

std::optional<bool> readMailFlag(const QString &text) {
    const QString t = text.trimmed();
    if (t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const qlonglong number = t.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return number != 0;
}
