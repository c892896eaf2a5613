// Sets the global camera type for one test and puts the old one back.
#pragma once

#include "model/parameter_table.h"

namespace tavrel::testing {

class CameraTypeScope {
 public:
  explicit CameraTypeScope(int type) : saved_(cameraType) { cameraType = type; }
  ~CameraTypeScope() { cameraType = saved_; }
  CameraTypeScope(const CameraTypeScope&) = delete;
  CameraTypeScope& operator=(const CameraTypeScope&) = delete;

 private:
  int saved_;
};

}  // namespace tavrel::testing
