#include "panel/profile_store.h"
#include "panel/qt_strings.h"

#include <QSettings>
#include <memory>

#include "panel/plain_ini_format.h"
#include "res/string_table.h"

namespace tavrel {
namespace {

std::unique_ptr<QSettings> OpenSettings(const QString& iniFilePath) {
  if (!iniFilePath.isEmpty()) {
    return std::make_unique<QSettings>(iniFilePath, PlainIniFormat());
  }
  return std::make_unique<QSettings>(PlainIniFormat(), QSettings::UserScope,
                                     ui::LoadQString(res::kIdsCompanyKey),
                                     ui::LoadQString(res::kIdsAppName));
}

}  // namespace

ProfileStore::ProfileStore() = default;

ProfileStore::ProfileStore(const QString& iniFilePath) : m_iniFilePath(iniFilePath) {}

QString ProfileStore::CanonicalSection(const QString& section) const {
  const auto settings = OpenSettings(m_iniFilePath);
  for (const QString& group : settings->childGroups()) {
    if (group.compare(section, Qt::CaseInsensitive) == 0) return group;
  }
  return section;
}

int ProfileStore::GetProfileInt(const QString& section, const QString& entry,
                                int defaultValue) const {
  const auto settings = OpenSettings(m_iniFilePath);
  bool ok = false;
  const int value =
      settings->value(CanonicalSection(section) + "/" + entry, defaultValue).toInt(&ok);
  return ok ? value : defaultValue;
}

bool ProfileStore::WriteProfileInt(const QString& section, const QString& entry, int value) {
  const QString key = CanonicalSection(section) + "/" + entry;
  const auto settings = OpenSettings(m_iniFilePath);
  settings->setValue(key, value);
  settings->sync();
  return settings->status() == QSettings::NoError;
}

QString ProfileStore::GetProfileString(const QString& section, const QString& entry,
                                       const QString& defaultValue) const {
  const auto settings = OpenSettings(m_iniFilePath);
  return settings->value(CanonicalSection(section) + "/" + entry, defaultValue).toString();
}

bool ProfileStore::WriteProfileString(const QString& section, const QString& entry,
                                      const QString& value) {
  const QString key = CanonicalSection(section) + "/" + entry;
  const auto settings = OpenSettings(m_iniFilePath);
  // An empty text leaves no empty entry behind.
  if (value.isEmpty()) {
    settings->remove(key);
  } else {
    settings->setValue(key, value);
  }
  settings->sync();
  return settings->status() == QSettings::NoError;
}

QString ProfileStore::FileName() const {
  return OpenSettings(m_iniFilePath)->fileName();
}

}  // namespace tavrel
