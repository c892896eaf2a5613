// The per-user profile store: company "Talbrook", application " TAVREL CONTROL".
// Section names are compared without regard to case ("RECENT" and "Recent" are
// one section), as the program has always treated them.
#pragma once

#include <QString>

namespace tavrel {

class ProfileStore {
 public:
  // The store of the running program (QSettings with the organisation and
  // application names above).
  ProfileStore();
  // A store kept in the given INI file instead (tests).
  explicit ProfileStore(const QString& iniFilePath);

  int GetProfileInt(const QString& section, const QString& entry, int defaultValue) const;
  bool WriteProfileInt(const QString& section, const QString& entry, int value);
  QString GetProfileString(const QString& section, const QString& entry,
                           const QString& defaultValue = QString()) const;
  // An empty `value` removes the entry.
  bool WriteProfileString(const QString& section, const QString& entry, const QString& value);

  // Where the store lives (for messages and tests).
  QString FileName() const;

 private:
  // The spelling under which `section` is already stored, else `section`.
  QString CanonicalSection(const QString& section) const;

  QString m_iniFilePath;  // empty = the program's own store
};

}  // namespace tavrel
