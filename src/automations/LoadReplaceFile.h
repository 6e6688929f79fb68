#pragma once

#include "LoadReplaceEntry.h"

#include <QString>

// The Load & Replace file "quendraload.ini" in the configuration folder: one section per rule,
// named by the rule's flat position ("0", "5", "10", ...), with the keys Bezeichnung, Host, Saveto,
// GANum and GA. Windows-1252 on disk.

inline const QString kLoadReplaceFileName = QStringLiteral("quendraload.ini");
// The configuration folder text ends with its separator; the name is appended directly.
inline QString loadReplaceFilePath(const QString &configFolder) {
    return configFolder + kLoadReplaceFileName;
}

struct LoadReplaceFileContent {
    LoadReplaceList rules;
    // Empty unless the file exists but could not be read (the list is then empty).
    QString errorString;
};

// `load_rlist`: every section whose name is a decimal number, in ascending numeric order; a section
// without Bezeichnung gives no rule. Missing keys read empty, Saveto as "c:\". A missing file is an
// empty list.
LoadReplaceFileContent load_rlist(const QString &path);

// `save_rlist`: writes exactly the given rules, each numbered section being erased first. An empty
// list leaves the file as it is (a list that failed to load must not wipe the file); deleting the
// last rule erases its section on its own (eraseLoadReplaceSection). Replaced atomically; false with
// *error naming the file, also when the file exists but could not be read.
bool save_rlist(const QString &path, const LoadReplaceList &rules, QString *error = nullptr);

// Erases the section of the rule at the given flat position and saves atomically.
bool eraseLoadReplaceSection(const QString &path, qsizetype flatPosition, QString *error = nullptr);
