// The panel's service functions, kept out of sight in normal use: the
// identification read (READ 1129), the unlock (command 1147), the serial-
// number write (WRITE 1126) and the up-down control 1127 on edit 1125.
#pragma once

#include <QObject>
#include <QString>

#include "model/adjustment_log.h"

namespace tavrel {

class CTavrelView;
class ParameterDocument;
class ProfileStore;

class PanelServiceFunctions : public QObject {
  Q_OBJECT

 public:
  // Connects the view's service controls; the view outlives this object.
  PanelServiceFunctions(CTavrelView& view, ParameterDocument& document, ProfileStore& profile);

  // Command 1147: the access value to entry 49 on its own.
  void OnUnlock();
  void OnIdentRead();
  void OnSerialWrite();
  void OnSerialDeltaPos(int delta);

  // The clock of the log records (tests fix it).
  void SetClock(LocalClock clock) { m_clock = std::move(clock); }

 private:
  QString EditText() const;
  void SetEditText(const QString& text);
  void ShowMessage(const std::string& text, const std::string& caption);

  CTavrelView& m_view;
  ParameterDocument& m_document;
  ProfileStore& m_profile;
  LocalClock m_clock = SystemLocalTime;
};

}  // namespace tavrel
