// The per-user profile store of the window program: company "Talbrook",
// application " TAVREL CONTROL", in the profile file tavrelctl writes too
// (model/profile_file.h). Section names are compared without regard to case
// ("RECENT" and "Recent" are one section), as the program has always treated
// them.
#pragma once

#include <QString>
#include <string>

namespace tavrel {

class ProfileStore {
 public:
  // The store of the running program (ProfileFilePath()).
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
  std::string m_path;
};

}  // namespace tavrel
