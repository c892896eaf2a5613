// The four most recently used settings files, kept in the profile section
// "Recent File List" as File1 .. File4 (File1 the newest).
#pragma once

#include <QStringList>

namespace tavrel {

class ProfileStore;

class RecentFileList {
 public:
  static constexpr int kSize = 4;

  explicit RecentFileList(ProfileStore& profile);

  const QStringList& Files() const { return m_files; }
  void Add(const QString& path);
  void Remove(const QString& path);

 private:
  void Write();

  ProfileStore& m_profile;
  QStringList m_files;
};

}  // namespace tavrel
