#pragma once

#include <QStringList>

class IniFile;

// The sections of a file that stand for list entries: those named by a decimal number, in
// ascending numeric order (numbers of any length, without converting them).
QStringList numberedSections(const IniFile &ini);
