// A settings file of KESTRA-P/S holding every entry's default value, for
// tests that start the window program with a file. Selects that model
// (cameraType) as a side effect, as filling the table needs it.
#pragma once

#include <QString>
#include <functional>

#include "model/camera_unit.h"
#include "model/settings_file.h"

namespace tavrel::testing {

// `adjust` may change values before the file is written. False when the file
// could not be saved.
inline bool SaveDefaultSettingsFile(const QString& path,
                                    const std::function<void(CameraUnit&)>& adjust = {}) {
  CameraUnit source;
  cameraType = 4;
  source.InitTable();
  for (int i = 0; i < kParameterCount; ++i) source.ResetValue(i);
  if (adjust) adjust(source);
  return SaveSettingsFile(source, path.toStdString()).saved;
}

}  // namespace tavrel::testing
