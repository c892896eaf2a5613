// One camera model on a virtual camera on a pseudo-terminal, with the control
// panel over it set up as at start-up. The panel tests build on it.
#pragma once

#include <QLabel>
#include <QTemporaryDir>
#include <QtGlobal>
#include <memory>
#include <utility>

#include "model/camera_unit.h"
#include "model/parameter_document.h"
#include "model/parameter_table.h"
#include "panel/tavrel_view.h"
#include "sim/pty_camera.h"
#include "tests/support/recording_prompt.h"
#include "ui/dialog_layout.h"
#include "ui/profile_store.h"

namespace tavrel::testing {

struct PanelRig {
  // The virtual camera is the model of `type`, otherwise as `options` say; a
  // `serialInProfile` of 0 or more is in the profile before the panel starts.
  explicit PanelRig(int type, sim::CameraOptions options = {}, int serialInProfile = -1)
      : savedCameraType(cameraType) {
    cameraType = type;
    options.model = CameraModelName(type);
    simulator = std::make_unique<sim::PtyCamera>(std::move(options));
    camera.InitTable();
    for (int i = 0; i < kParameterCount; ++i) camera.ResetValue(i);
    camera.SetUserPrompt(&prompt);
    if (camera.OpenSerialDevice(simulator->DevicePath(), 38400) < 0) {
      qFatal("cannot open the virtual camera");
    }
    profile = std::make_unique<ProfileStore>(dir.filePath("profile.ini"));
    if (serialInProfile >= 0) profile->WriteProfileInt("Recent", "LOMIRA-X", serialInProfile);
    view = std::make_unique<CTavrelView>(document, *profile);
    view->OnInitialUpdate();
  }
  ~PanelRig() {
    view.reset();
    camera.Close();
    cameraType = savedCameraType;
  }
  PanelRig(const PanelRig&) = delete;
  PanelRig& operator=(const PanelRig&) = delete;

  QString Text(int id) const { return ui::FindControlAs<QLabel>(view.get(), id)->text(); }
  int Exchanges() const { return static_cast<int>(simulator->ReceivedBodies().size()); }
  // What the camera itself holds for the entry; the table keeps its value.
  int CameraValue(int entry) {
    const int stored = camera.GetValue(entry, false);
    if (camera.ReadEntry(entry) < 0) return -1;
    const int value = camera.GetValue(entry, false);
    camera.SetValue(entry, stored, false);
    return value;
  }

  int savedCameraType;
  QTemporaryDir dir;
  RecordingPrompt prompt;
  std::unique_ptr<sim::PtyCamera> simulator;
  CameraUnit camera;
  ParameterDocument document{camera};
  std::unique_ptr<ProfileStore> profile;
  std::unique_ptr<CTavrelView> view;
};

}  // namespace tavrel::testing
