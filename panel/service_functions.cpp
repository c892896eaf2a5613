#include "panel/service_functions.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

#include "link/user_prompt.h"
#include "model/camera_unit.h"
#include "model/identification_read.h"
#include "model/parameter_document.h"
#include "model/program_message.h"
#include "model/serial_number.h"
#include "model/serial_number_write.h"
#include "panel/panel_ids.h"
#include "panel/up_down_control.h"
#include "ui/dialog_layout.h"
#include "ui/profile_store.h"

namespace tavrel {

using namespace panel;

namespace {

// Camera texts are plain 8-bit characters; Latin-1 carries every byte through
// the widgets and back unchanged.
QString FromCameraText(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
std::string ToCameraText(const QString& text) {
  return text.toLatin1().toStdString();
}

class ProfileRecent : public RecentSerialNumberStore {
 public:
  explicit ProfileRecent(ProfileStore& profile) : m_profile(profile) {}
  void StoreSerialNumber(std::int32_t value) override {
    m_profile.WriteProfileInt(QStringLiteral("RECENT"), QStringLiteral("LOMIRA-X"), value);
  }

 private:
  ProfileStore& m_profile;
};

}  // namespace

PanelServiceFunctions::PanelServiceFunctions(QWidget& form, ParameterDocument& document,
                                             ProfileStore& profile)
    : QObject(&form), m_form(form), m_document(document), m_profile(profile) {
  auto* upDown = ui::FindControlAs<UpDownControl>(&m_form, kSerialSpin);
  upDown->SetBuddy(ui::FindControlAs<QLineEdit>(&m_form, kSerialNumberEdit));
  connect(upDown, &UpDownControl::deltaPos, this, &PanelServiceFunctions::OnSerialDeltaPos);
  connect(ui::FindControlAs<QAbstractButton>(&m_form, kIdentReadButton), &QAbstractButton::clicked,
          this, &PanelServiceFunctions::OnIdentRead);
  connect(ui::FindControlAs<QAbstractButton>(&m_form, kSerialWriteButton),
          &QAbstractButton::clicked, this, &PanelServiceFunctions::OnSerialWrite);
}

void PanelServiceFunctions::SeedSerialNumber(int lastWritten) {
  m_strSerialNumber = QString::asprintf("%07d", lastWritten);
  SetEditText(m_strSerialNumber);
}

void PanelServiceFunctions::OnUnlock() {
  UnlockSerialNumber(m_document);
}

void PanelServiceFunctions::OnIdentRead() {
  const Identification ident = ReadIdentification(m_document);
  m_strModelName = FromCameraText(ident.modelName);
  const auto show = [this](int id, const std::string& text) {
    ui::FindControlAs<QLabel>(&m_form, id)->setText(FromCameraText(text));
  };
  show(kVendorNameText, ident.vendorName);
  show(kModelNameText, ident.modelName);
  show(kSerialNumberText, ident.serialNumber);
  show(kVersionText, ident.version);
}

void PanelServiceFunctions::OnSerialWrite() {
  // A log that cannot take the record stops the write before anything goes
  // to the camera: a number written without its record would be lost.
  if (!CheckAdjustmentLog(m_document, kAdjustmentLogPath)) return;
  // A camera that refuses the unlock is told about; the write is tried anyway.
  UnlockSerialNumber(m_document);
  m_strSerialNumber = EditText();
  // A character outside Latin-1 becomes '?', which is not a digit either.
  const std::string text = ToCameraText(m_strSerialNumber);
  const SerialNumberCheck check = CheckSerialNumberText(text);
  if (check != SerialNumberCheck::kValid) {
    if (UserPrompt* prompt = m_document.Camera().GetUserPrompt()) {
      prompt->ShowMessage(ProgramMessage(std::string(SerialNumberCheckMessage(check))));
    }
    return;
  }
  ProfileRecent recent(m_profile);
  SerialNumberWrite request;
  request.text = text;
  request.modelName = ToCameraText(m_strModelName);
  request.clock = m_clock;
  WriteSerialNumber(m_document, recent, request);
}

void PanelServiceFunctions::OnSerialDeltaPos(int delta) {
  m_strSerialNumber = FromCameraText(StepSerialNumberText(ToCameraText(EditText()), delta > 0));
  SetEditText(m_strSerialNumber);
}

QString PanelServiceFunctions::EditText() const {
  return ui::FindControlAs<QLineEdit>(&m_form, kSerialNumberEdit)->text();
}

void PanelServiceFunctions::SetEditText(const QString& text) {
  ui::FindControlAs<QLineEdit>(&m_form, kSerialNumberEdit)->setText(text);
}

}  // namespace tavrel
