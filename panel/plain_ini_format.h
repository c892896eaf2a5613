// The profile file's format for QSettings: the plain INI text of
// model/profile_ini.h (names written as they are named, no empty entries,
// section names matched without regard to case, earlier versions' files read
// the same), with each section's entries as "Section/Name" keys. Entries
// outside any section, or in a section named "General", are top-level keys.
#pragma once

#include <QSettings>

namespace tavrel {

// Registered with QSettings on first use; file extension ".ini".
QSettings::Format PlainIniFormat();

}  // namespace tavrel
