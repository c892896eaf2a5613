// The string table's texts as Qt strings.
#pragma once

#include <QString>

#include "res/string_table.h"

namespace tavrel::ui {

inline QString LoadQString(res::StringId id) {
  const std::string_view text = res::LoadString(id);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace tavrel::ui
