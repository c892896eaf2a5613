#include "app/recent_file_list.h"

#include <QDir>
#include <QFileInfo>

#include "ui/profile_store.h"

namespace tavrel {
namespace {

const QString kSection = QStringLiteral("Recent File List");

QString EntryName(int i) {
  return QStringLiteral("File%1").arg(i + 1);
}

}  // namespace

RecentFileList::RecentFileList(ProfileStore& profile) : m_profile(profile) {
  for (int i = 0; i < kSize; ++i) {
    // (An entry written with the other separators reads as the same file.)
    const QString path =
        QDir::toNativeSeparators(m_profile.GetProfileString(kSection, EntryName(i)));
    if (!path.isEmpty() && !m_files.contains(path)) m_files.append(path);
  }
}

// Kept with the platform's own separators (C:\Users\...\a.tdx on Windows), as
// the user reads them in the menu and as other programs read the profile.
void RecentFileList::Add(const QString& path) {
  const QString absolute = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
  m_files.removeAll(absolute);
  m_files.prepend(absolute);
  while (m_files.size() > kSize) m_files.removeLast();
  Write();
}

void RecentFileList::Remove(const QString& path) {
  if (m_files.removeAll(QDir::toNativeSeparators(path)) > 0) Write();
}

void RecentFileList::Write() {
  for (int i = 0; i < kSize; ++i) {
    m_profile.WriteProfileString(kSection, EntryName(i),
                                 i < m_files.size() ? m_files.at(i) : QString());
  }
}

}  // namespace tavrel
