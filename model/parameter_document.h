// The settings document's parameter operations, without any window system:
// every read and write the user interface makes goes through here, and the
// modified flag follows the values that changed. The Qt document inherits it.
#pragma once

#include <cstdint>
#include <string>

#include "model/settings_file.h"

namespace tavrel {

class CameraUnit;

class ParameterDocument {
 public:
  // `camera` is not owned and must outlive the document.
  explicit ParameterDocument(CameraUnit& camera) : camera_(camera) {}
  virtual ~ParameterDocument() = default;

  // Results: negative = failed (already shown in an error box), 0 = value
  // unchanged, 1 = changed (and the document is then marked modified).
  std::int32_t WriteParameter(int index, std::int32_t value);
  std::int32_t ReadParameter(int index);
  std::int32_t ReadAllParameters();
  // Does not touch the modified flag.
  std::int32_t WriteAllParameters();
  // The stored value in program form; no camera traffic.
  std::int32_t GetParameter(int index) const;

  // Loads a settings file into the table and, when it is complete, writes the
  // table to the camera (settings_file.h). Afterwards the document counts as
  // unmodified unless the file could not be read at all: a loaded or foreign
  // file becomes the document's file, and one that ended early leaves a new,
  // untitled document. Which of these happened is the caller's to show. Only
  // regular files are loaded (settings_file.h).
  SettingsLoadOutcome LoadFromFile(const std::string& path);
  // Saves the current values; a successful save clears the modified flag.
  SettingsSaveOutcome SaveToFile(const std::string& path);

  bool IsModified() const { return modified_; }
  virtual void SetModifiedFlag(bool modified) { modified_ = modified; }

  CameraUnit& Camera() const { return camera_; }

 private:
  CameraUnit& camera_;
  bool modified_ = false;
};

}  // namespace tavrel
