#include "MailTreeModel.h"

#include "MailPanel.h"
#include "MailTexts.h"

namespace {
constexpr int kAccountPicture = 15;
constexpr int kMailsPicture = 16;
constexpr int kFieldPicture = 1;

// A field or GAN is named as the account panel labels it; "Mails" and the slots say what they are.
QList<MailTreeModel::Node> accountNodes() {
    const QString fields[] = {
        kMailServer, kMailPort, kMailFetch, kMailBalloon, kMailLogin, kMailPassword, MailPanel::kCountTarget};
    const QString slotGans[] = {MailPanel::kSenderTarget, MailPanel::kSubjectTarget, MailPanel::kDateTarget};
    using Kind = MailAccountList::NodeKind;
    QList<MailTreeModel::Node> nodes;
    for (qsizetype node = 0; node < kMailAccountNodes; ++node) {
        switch (MailAccountList::kindOf(node)) {
        case Kind::Account:
            nodes.append({{}, kAccountPicture});
            break;
        case Kind::Field:
            nodes.append({fields[node - 1], kFieldPicture});
            break;
        case Kind::Mails:
        case Kind::Slot:
            nodes.append({{}, kMailsPicture});
            break;
        case Kind::SlotGan:
            nodes.append({slotGans[node - MailAccountList::parentOf(node) - 1], kFieldPicture});
            break;
        }
    }
    return nodes;
}

QList<qsizetype> accountShape() {
    QList<qsizetype> parents;
    for (qsizetype node = 0; node < kMailAccountNodes; ++node)
        parents.append(MailAccountList::parentOf(node));
    return parents;
}
} // namespace

MailTreeModel::MailTreeModel(const MailAccountList &accounts, QObject *parent)
    : PictureTreeModel(accounts, accountNodes(), accountShape(), parent) {
}
