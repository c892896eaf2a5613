// The profile file's format: a plain INI file that a person can read and edit,
// with sections and entries written as they are named ("[Recent File List]",
// "COM Port=1") and no empty entries.
//
// Section names are matched without regard to case: sections whose names
// differ only in case are read as one, under the first spelling in the file.
// Files written by earlier versions, whose names were percent-encoded
// ("COM%20Port") and whose values were quoted and escaped, read the same.
#pragma once

#include <QSettings>

class QIODevice;

namespace tavrel {

// Registered with QSettings on first use; file extension ".ini".
QSettings::Format PlainIniFormat();

bool ReadPlainIni(QIODevice& device, QSettings::SettingsMap& map);
bool WritePlainIni(QIODevice& device, const QSettings::SettingsMap& map);

}  // namespace tavrel
