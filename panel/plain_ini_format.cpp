#include "panel/plain_ini_format.h"

#include <QIODevice>
#include <string>

#include "model/profile_ini.h"

namespace tavrel {
namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(QStringView text) {
  return text.toUtf8().toStdString();
}

// Entries outside any section (or in the framework's "General") are top-level
// keys.
QString KeyPrefix(const std::string& section) {
  const QString name = FromUtf8(section);
  if (name.isEmpty() || name.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
    return {};
  }
  return name + u'/';
}

bool ReadPlainIni(QIODevice& device, QSettings::SettingsMap& map) {
  const QByteArray bytes = device.readAll();
  const ProfileIni ini = ProfileIni::Parse(std::string_view(bytes.constData(), bytes.size()));
  for (const ProfileSection& section : ini.Sections()) {
    const QString prefix = KeyPrefix(section.name);
    for (const ProfileEntry& entry : section.entries) {
      map.insert(prefix + FromUtf8(entry.name), FromUtf8(entry.value));
    }
  }
  return true;
}

bool WritePlainIni(QIODevice& device, const QSettings::SettingsMap& map) {
  ProfileIni ini;
  for (auto it = map.cbegin(); it != map.cend(); ++it) {
    const QStringView key = it.key();
    const qsizetype slash = key.indexOf(u'/');
    const QStringView section = slash < 0 ? QStringView() : key.left(slash);
    const QStringView name = slash < 0 ? key : key.mid(slash + 1);
    ini.Set(ToUtf8(section), ToUtf8(name), ToUtf8(it.value().toString()));
  }
  const std::string text = ini.Serialize();
  return device.write(text.data(), static_cast<qint64>(text.size())) ==
         static_cast<qint64>(text.size());
}

}  // namespace

QSettings::Format PlainIniFormat() {
  static const QSettings::Format format =
      QSettings::registerFormat(QStringLiteral("ini"), ReadPlainIni, WritePlainIni);
  return format;
}

}  // namespace tavrel
