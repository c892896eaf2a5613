#include "panel/plain_ini_format.h"

#include <QHash>
#include <QIODevice>
#include <QStringList>

namespace tavrel {
namespace {

bool IsHexDigit(QChar c) {
  return (c >= u'0' && c <= u'9') || (c.toLower() >= u'a' && c.toLower() <= u'f');
}

// "%20" and "%U00E9", the escapes earlier versions used in section and entry
// names.
QString PercentDecode(QStringView name) {
  QString decoded;
  QByteArray pending;  // %XX bytes, joined as UTF-8
  auto flush = [&] {
    decoded += QString::fromUtf8(pending);
    pending.clear();
  };
  for (qsizetype i = 0; i < name.size(); ++i) {
    if (name[i] == u'%' && i + 5 < name.size() && name[i + 1] == u'U' && IsHexDigit(name[i + 2]) &&
        IsHexDigit(name[i + 3]) && IsHexDigit(name[i + 4]) && IsHexDigit(name[i + 5])) {
      flush();
      decoded += QChar(static_cast<char16_t>(name.mid(i + 2, 4).toUInt(nullptr, 16)));
      i += 5;
    } else if (name[i] == u'%' && i + 2 < name.size() && IsHexDigit(name[i + 1]) &&
               IsHexDigit(name[i + 2])) {
      pending += static_cast<char>(name.mid(i + 1, 2).toUInt(nullptr, 16));
      i += 2;
    } else {
      flush();
      decoded += name[i];
    }
  }
  flush();
  return decoded;
}

// A value as earlier versions wrote it: quotes around text that needed them,
// backslash escapes, and "@@" for a leading "@".
QString UnescapeEarlierValue(QStringView raw) {
  QString value;
  for (qsizetype i = 0; i < raw.size(); ++i) {
    const QChar c = raw[i];
    if (c == u'"') continue;
    if (c != u'\\' || i + 1 == raw.size()) {
      value += c;
      continue;
    }
    const QChar next = raw[++i];
    switch (next.unicode()) {
      case u'a':
        value += u'\a';
        break;
      case u'b':
        value += u'\b';
        break;
      case u'f':
        value += u'\f';
        break;
      case u'n':
        value += u'\n';
        break;
      case u'r':
        value += u'\r';
        break;
      case u't':
        value += u'\t';
        break;
      case u'v':
        value += u'\v';
        break;
      case u'x': {
        qsizetype end = i + 1;
        while (end < raw.size() && IsHexDigit(raw[end])) ++end;
        value += QChar(static_cast<char16_t>(raw.mid(i + 1, end - i - 1).toUInt(nullptr, 16)));
        i = end - 1;
        break;
      }
      default:
        value += next;
        break;
    }
  }
  if (value.startsWith(QLatin1String("@@"))) value.remove(0, 1);
  return value;
}

struct Line {
  QString section;  // set for a section header
  QString name;     // set for an entry
  QString value;
  bool isSection = false;
};

// Lines that are neither a section header nor an entry (blank lines,
// comments) are passed over.
QList<Line> ParseLines(const QString& text) {
  QList<Line> lines;
  for (QStringView raw : QStringView(text).split(u'\n')) {
    const QStringView line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) continue;
    if (line.startsWith(u'[') && line.endsWith(u']')) {
      lines.append({line.mid(1, line.size() - 2).trimmed().toString(), {}, {}, true});
      continue;
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals <= 0) continue;
    lines.append({{},
                  line.left(equals).trimmed().toString(),
                  line.mid(equals + 1).trimmed().toString(),
                  false});
  }
  return lines;
}

// Earlier versions percent-encoded every blank in a name, and every name the
// program uses has one ("COM Port", "Recent File List").
bool WrittenByEarlierVersion(const QList<Line>& lines) {
  for (const Line& line : lines) {
    if ((line.isSection ? line.section : line.name).contains(u'%')) return true;
  }
  return false;
}

// Which line a value can be written on: none with a line break, nor an empty
// one.
bool Writable(const QString& value) {
  return !value.isEmpty() && !value.contains(u'\n') && !value.contains(u'\r');
}

}  // namespace

bool ReadPlainIni(QIODevice& device, QSettings::SettingsMap& map) {
  const QList<Line> lines = ParseLines(QString::fromUtf8(device.readAll()));
  const bool earlier = WrittenByEarlierVersion(lines);
  QHash<QString, QString> spellings;  // folded name -> first spelling
  QString prefix;
  for (const Line& line : lines) {
    if (line.isSection) {
      const QString name = earlier ? PercentDecode(line.section) : line.section;
      const QString spelling = spellings.value(name.toCaseFolded(), name);
      spellings.insert(name.toCaseFolded(), spelling);
      // Entries outside any section (or in the framework's "General") are
      // top-level keys.
      prefix = spelling.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0
                   ? QString()
                   : spelling + u'/';
      continue;
    }
    const QString name = earlier ? PercentDecode(line.name) : line.name;
    map.insert(prefix + name, earlier ? UnescapeEarlierValue(line.value) : line.value);
  }
  return true;
}

bool WritePlainIni(QIODevice& device, const QSettings::SettingsMap& map) {
  // Sections in the order of their first entry; top-level keys first.
  QStringList sections{QString()};
  QHash<QString, QStringList> entries;
  for (auto it = map.cbegin(); it != map.cend(); ++it) {
    const QString value = it.value().toString();
    if (!Writable(value)) continue;
    const qsizetype slash = it.key().indexOf(u'/');
    const QString section = slash < 0 ? QString() : it.key().left(slash);
    const QString name = slash < 0 ? it.key() : it.key().mid(slash + 1);
    if (!entries.contains(section) && !section.isEmpty()) sections.append(section);
    entries[section].append(name + u'=' + value);
  }
  QString text;
  for (const QString& section : sections) {
    if (!entries.contains(section)) continue;
    if (!text.isEmpty()) text += u'\n';
    if (!section.isEmpty()) text += u'[' + section + QStringLiteral("]\n");
    for (const QString& entry : entries.value(section)) text += entry + u'\n';
  }
  const QByteArray bytes = text.toUtf8();
  return device.write(bytes) == bytes.size();
}

QSettings::Format PlainIniFormat() {
  static const QSettings::Format format =
      QSettings::registerFormat(QStringLiteral("ini"), ReadPlainIni, WritePlainIni);
  return format;
}

}  // namespace tavrel
