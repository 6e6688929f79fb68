#pragma once

#include "WebQueryProject.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// The definition of one found value: its exact place in the page source and the object the server
// creates for it. The KoSpec "O|C|TT|Name" holds the operation ("4" plain text, "6" text from a
// list), the conversion flag, the two-digit object type and the object's name.
namespace ValueDefinition {
const QStringList &koTypes();
inline const QString kNoKoSpec = QStringLiteral("Passendes KO erstellen");

QString koSpec(int valueType, bool conversion, int koType, const QString &koName);
// A built KoSpec with its operation or conversion flag changed in place.
QString withValueType(QString spec, int valueType);
QString withConversion(QString spec, bool conversion);

// The four trims of the value; each keeps the value inside `source` (the page source's text) and
// never empty, and changes nothing when it cannot.
void readMoreAtStart(AnalysisEntry &entry, QStringView source);
void readLessAtStart(AnalysisEntry &entry);
void readMoreAtEnd(AnalysisEntry &entry, QStringView source);
void readLessAtEnd(AnalysisEntry &entry);

// OK: fields 5 to 10 of the entry. `list` is the list as the user typed it, one entry a line.
void apply(AnalysisEntry &entry, int valueType, const QString &list, bool conversion, const QString &spec, int koType,
           const QString &koName);
} // namespace ValueDefinition
