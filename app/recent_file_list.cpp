#include "app/recent_file_list.h"

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
    const QString path = m_profile.GetProfileString(kSection, EntryName(i));
    if (!path.isEmpty() && !m_files.contains(path)) m_files.append(path);
  }
}

void RecentFileList::Add(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  m_files.removeAll(absolute);
  m_files.prepend(absolute);
  while (m_files.size() > kSize) m_files.removeLast();
  Write();
}

void RecentFileList::Remove(const QString& path) {
  if (m_files.removeAll(path) > 0) Write();
}

void RecentFileList::Write() {
  for (int i = 0; i < kSize; ++i) {
    m_profile.WriteProfileString(kSection, EntryName(i),
                                 i < m_files.size() ? m_files.at(i) : QString());
  }
}

}  // namespace tavrel
