#pragma once

#include "MailAccount.h"

#include <QString>

// The mail file "quendramail.ini" in the configuration folder: one section per account, named by the
// position of its first node ("0", "29", "58", ...). Bezeichnung, Host, Port, Balloon (the fetch
// flag), GetAc (the balloon flag), Login, PW and GANAnz are always written, TLS too; the slot keys
// GANAbs0..4, GANBtr0..4 and GANZeit0..4 only when they hold a GAN. The file holds passwords, so it
// is written readable by the user only.

inline const QString kMailFileName = QStringLiteral("quendramail.ini");
inline QString mailFilePath(const QString &configFolder) {
    return configFolder + kMailFileName;
}

struct MailFileContent {
    MailAccountList accounts;
    // Empty unless the file exists but could not be read (the list is then empty).
    QString errorString;
};

// Reads every section whose name is a decimal number, in ascending numeric order; a section
// without Bezeichnung gives no account. A missing file is an empty list.
MailFileContent loadMailFile(const QString &path);
// Writes exactly the given accounts: every numerically named section is erased first. An empty
// list where the file holds no account writes nothing (no file is created). False with
// *error naming the file when it cannot be read or written (it is then left as it was).
bool saveMailFile(const QString &path, const MailAccountList &accounts, QString *error = nullptr);
