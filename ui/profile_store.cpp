#include "ui/profile_store.h"

#include "model/profile_file.h"

namespace tavrel {
namespace {

std::string Utf8(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace

ProfileStore::ProfileStore() : m_path(ProfileFilePath()) {}

ProfileStore::ProfileStore(const QString& iniFilePath) : m_path(Utf8(iniFilePath)) {}

int ProfileStore::GetProfileInt(const QString& section, const QString& entry,
                                int defaultValue) const {
  return ReadProfileInt(m_path, Utf8(section), Utf8(entry)).value_or(defaultValue);
}

bool ProfileStore::WriteProfileInt(const QString& section, const QString& entry, int value) {
  return WriteProfileString(section, entry, QString::number(value));
}

QString ProfileStore::GetProfileString(const QString& section, const QString& entry,
                                       const QString& defaultValue) const {
  const std::optional<std::string> value = ReadProfileString(m_path, Utf8(section), Utf8(entry));
  return value ? QString::fromStdString(*value) : defaultValue;
}

bool ProfileStore::WriteProfileString(const QString& section, const QString& entry,
                                      const QString& value) {
  return tavrel::WriteProfileString(m_path, Utf8(section), Utf8(entry), Utf8(value)).empty();
}

QString ProfileStore::FileName() const {
  return QString::fromStdString(m_path);
}

}  // namespace tavrel
