// The panel's service functions, kept out of sight in normal use: the
// identification read (READ 1129), the unlock (command 1147), the serial-
// number write (WRITE 1126) and the up-down control 1127 on edit 1125. They
// keep the texts they show; the panel seeds the serial-number text.
#pragma once

#include <QObject>
#include <QString>

#include "model/adjustment_log.h"

class QWidget;

namespace tavrel {

class ParameterDocument;
class ProfileStore;

class PanelServiceFunctions : public QObject {
  Q_OBJECT

 public:
  // Connects the service controls of the panel's form, which outlives this
  // object.
  PanelServiceFunctions(QWidget& form, ParameterDocument& document, ProfileStore& profile);

  // The serial-number text the panel starts from: the last serial number
  // written, put into edit 1125 as seven digits.
  void SeedSerialNumber(int lastWritten);

  // Command 1147: the access value to entry 49 on its own.
  void OnUnlock();
  void OnIdentRead();
  void OnSerialWrite();
  void OnSerialDeltaPos(int delta);

  // The clock of the log records (tests fix it).
  void SetClock(LocalClock clock) { m_clock = std::move(clock); }

  // The serial-number text bound to edit 1125 and the model name last read
  // from the camera (empty until the first identification read).
  QString m_strSerialNumber;
  QString m_strModelName;

 private:
  QString EditText() const;
  void SetEditText(const QString& text);

  QWidget& m_form;
  ParameterDocument& m_document;
  ProfileStore& m_profile;
  LocalClock m_clock = SystemLocalTime;
};

}  // namespace tavrel
