#include "panel/panel_form.h"
#include "ui/qt_strings.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "panel/panel_ids.h"
#include "panel/stepping_scroll_bar.h"
#include "panel/up_down_control.h"
#include "panel/value_text.h"
#include "res/string_table.h"
#include "ui/dialog_layout.h"

namespace tavrel::panel {
namespace {

using K = ControlKind;

constexpr res::StringId Caption(int id) {
  return res::kIdsPanelControlBase + id;
}

// Created in this order, so group boxes lie behind what they hold.
constexpr FormControl kForm[] = {
    // Trigger.
    {0, K::kGroupBox, res::kIdsPanelTrigger, 7, 7, 160, 115},
    {0, K::kGroupBox, res::kIdsPanelMode, 11, 17, 71, 91},
    {kTriggerOff, K::kPushRadio, Caption(kTriggerOff), 16, 28, 61, 14},
    {kTriggerFixedShutter, K::kPushRadio, Caption(kTriggerFixedShutter), 16, 43, 61, 14},
    {kTrigger1Trigger, K::kPushRadio, Caption(kTrigger1Trigger), 16, 58, 61, 14},
    {kTriggerResetControl, K::kPushRadio, Caption(kTriggerResetControl), 16, 73, 61, 14},
    {kTriggerVdReset, K::kPushRadio, Caption(kTriggerVdReset), 16, 88, 61, 14},
    {kPolarityGroup, K::kGroupBox, Caption(kPolarityGroup), 86, 17, 77, 56},
    {kTrigAGroup, K::kGroupBox, Caption(kTrigAGroup), 90, 26, 33, 42},
    {kTrigAPosi, K::kPushRadio, Caption(kTrigAPosi), 93, 37, 27, 13},
    {kTrigANega, K::kPushRadio, Caption(kTrigANega), 93, 52, 27, 13},
    {kTrigBGroup, K::kGroupBox, Caption(kTrigBGroup), 126, 26, 33, 42},
    {kTrigBPosi, K::kPushRadio, Caption(kTrigBPosi), 129, 37, 27, 13},
    {kTrigBNega, K::kPushRadio, Caption(kTrigBNega), 129, 52, 27, 13},
    {kHdResetGroup, K::kGroupBox, Caption(kHdResetGroup), 86, 75, 77, 43},
    {kHdNonReset, K::kPushRadio, Caption(kHdNonReset), 91, 86, 67, 13},
    {kHdReset, K::kPushRadio, Caption(kHdReset), 91, 101, 67, 13},
    // Shutter speed.
    {kShutterGroup, K::kGroupBox, Caption(kShutterGroup), 171, 7, 106, 115},
    {1005, K::kRadio, Caption(1005), 177, 18, 46, 10},
    {1006, K::kRadio, Caption(1006), 177, 30, 46, 10},
    {1007, K::kRadio, Caption(1007), 177, 42, 46, 10},
    {1008, K::kRadio, Caption(1008), 177, 54, 46, 10},
    {1009, K::kRadio, Caption(1009), 177, 66, 46, 10},
    {1010, K::kRadio, Caption(1010), 225, 18, 48, 10},
    {1011, K::kRadio, Caption(1011), 225, 30, 48, 10},
    {1012, K::kRadio, Caption(1012), 225, 42, 48, 10},
    {1013, K::kRadio, Caption(1013), 225, 54, 48, 10},
    {kShutterVariable, K::kRadio, Caption(kShutterVariable), 225, 66, 48, 10},
    {kVariableValueLabel, K::kLabel, Caption(kVariableValueLabel), 177, 80, 95, 8},
    {kVariableShutterText, K::kValueText, 0, 177, 90, 95, 11},
    {kVariableShutterBar, K::kHorizontalBar, 0, 177, 105, 95, 10},
    // Partial scan.
    {kPartialScanGroup, K::kGroupBox, Caption(kPartialScanGroup), 281, 7, 62, 139},
    {kPartialScanOff, K::kRadio, Caption(kPartialScanOff), 287, 18, 50, 10},
    {kPartialScanOn, K::kRadio, Caption(kPartialScanOn), 287, 30, 50, 10},
    {kStartLabel, K::kLabel, Caption(kStartLabel), 285, 42, 27, 8},
    {kStartText, K::kValueText, 0, 285, 50, 27, 10},
    {kStartBar, K::kVerticalBar, 0, 293, 61, 11, 81},
    {kWidthLabel, K::kLabel, Caption(kWidthLabel), 313, 42, 27, 8},
    {kWidthText, K::kValueText, 0, 313, 50, 27, 10},
    {kWidthBar, K::kVerticalBar, 0, 320, 61, 11, 81},
    // Back-up, kept out of sight.
    {0, K::kGroupBox, res::kIdsPanelBackUp, 344, 97, 38, 26, false},
    {kBackUpButton, K::kPushButton, Caption(kBackUpButton), 348, 106, 30, 13, false},
    // Two-button groups.
    {0, K::kGroupBox, res::kIdsPanelDataBit, 7, 128, 39, 44},
    {kDataBit8, K::kPushRadio, Caption(kDataBit8), 11, 139, 31, 13},
    {kDataBit10, K::kPushRadio, Caption(kDataBit10), 11, 155, 31, 13},
    {kAccelGroup, K::kGroupBox, Caption(kAccelGroup), 47, 128, 39, 44},
    {kAccelOff, K::kPushRadio, Caption(kAccelOff), 51, 139, 31, 13},
    {kAccelOn, K::kPushRadio, Caption(kAccelOn), 51, 155, 31, 13},
    {0, K::kGroupBox, res::kIdsPanelVdFval, 87, 128, 39, 44},
    {kVd, K::kPushRadio, Caption(kVd), 91, 139, 31, 13},
    {kFval, K::kPushRadio, Caption(kFval), 91, 155, 31, 13},
    {0, K::kGroupBox, res::kIdsPanelHdLval, 127, 128, 39, 44},
    {kHd, K::kPushRadio, Caption(kHd), 131, 139, 31, 13},
    {kLval, K::kPushRadio, Caption(kLval), 131, 155, 31, 13},
    // Gain, black level, adjust gain.
    {0, K::kLabel, res::kIdsPanelGain, 177, 131, 40, 8},
    {kGainText, K::kValueText, 0, 222, 129, 50, 10},
    {kGainBar, K::kHorizontalBar, 0, 177, 141, 95, 10},
    {kBlackLevelLabel, K::kLabel, Caption(kBlackLevelLabel), 177, 157, 60, 8},
    {kBlackLevelText, K::kValueTextLeft, 0, 242, 155, 30, 10},
    {kBlackLevelBar, K::kHorizontalBar, 0, 177, 167, 95, 10},
    {kAdjustGainLabel, K::kLabel, Caption(kAdjustGainLabel), 177, 183, 60, 8},
    {kAdjustGainText, K::kValueTextLeft, 0, 242, 181, 30, 10},
    {kAdjustGainBar, K::kHorizontalBar, 0, 177, 193, 95, 10},
    // Serial number (service).
    {kSerialGroup, K::kGroupBox, Caption(kSerialGroup), 171, 208, 106, 29},
    {kSerialNumberEdit, K::kEdit, 0, 177, 219, 48, 12},
    {kSerialSpin, K::kUpDown, 0, 225, 219, 10, 12},
    {kSerialWriteButton, K::kPushButton, Caption(kSerialWriteButton), 240, 218, 32, 14},
    // Identification (service).
    {kIdentGroup, K::kGroupBox, Caption(kIdentGroup), 7, 181, 160, 56},
    // The captions' column is as wide as "SERIAL NUMBER :" needs.
    {kVendorNameLabel, K::kLabel, Caption(kVendorNameLabel), 12, 192, 60, 8},
    {kModelNameLabel, K::kLabel, Caption(kModelNameLabel), 12, 201, 60, 8},
    {kSerialNumberLabel, K::kLabel, Caption(kSerialNumberLabel), 12, 210, 60, 8},
    {kVersionLabel, K::kLabel, Caption(kVersionLabel), 12, 219, 60, 8},
    {kVendorNameText, K::kPlainText, Caption(kVendorNameText), 74, 192, 56, 8},
    {kModelNameText, K::kPlainText, Caption(kModelNameText), 74, 201, 56, 8},
    {kSerialNumberText, K::kPlainText, Caption(kSerialNumberText), 74, 210, 56, 8},
    {kVersionText, K::kPlainText, Caption(kVersionText), 74, 219, 56, 8},
    {kIdentReadButton, K::kPushButton, Caption(kIdentReadButton), 132, 218, 30, 14},
    // Camera timing.
    {0, K::kGroupBox, res::kIdsPanelCameraTiming, 281, 150, 95, 87},
    {0, K::kLabel, res::kIdsPanelHorizontal, 311, 160, 35, 8},
    {0, K::kLabel, res::kIdsPanelVertical, 346, 160, 27, 8},
    {0, K::kLabel, res::kIdsPanelSync, 285, 172, 27, 8},
    {0, K::kLabel, res::kIdsPanelBporch, 285, 184, 27, 8},
    {0, K::kLabel, res::kIdsPanelActive, 285, 196, 27, 8},
    {0, K::kLabel, res::kIdsPanelFporch, 285, 208, 27, 8},
    {0, K::kLabel, res::kIdsPanelTotal, 285, 220, 27, 8},
    {kHorizontalSyncText, K::kValueText, 0, 314, 171, 29, 10},
    {kHorizontalBporchText, K::kValueText, 0, 314, 183, 29, 10},
    {kHorizontalActiveText, K::kValueText, 0, 314, 195, 29, 10},
    {kHorizontalFporchText, K::kValueText, 0, 314, 207, 29, 10},
    {kHorizontalTotalText, K::kValueText, 0, 314, 219, 29, 10},
    {kVerticalSyncText, K::kValueText, 0, 346, 171, 26, 10},
    {kVerticalBporchText, K::kValueText, 0, 346, 183, 26, 10},
    {kVerticalActiveText, K::kValueText, 0, 346, 195, 26, 10},
    {kVerticalFporchText, K::kValueText, 0, 346, 207, 26, 10},
    {kVerticalTotalText, K::kValueText, 0, 346, 219, 26, 10},
};

// The controls without a caption of their own, named for screen readers
// after the caption they belong to; a timing figure after its column and row.
struct SpokenName {
  int id;
  res::StringId caption;
  res::StringId row = 0;
};
constexpr SpokenName kSpokenNames[] = {
    {kVariableShutterText, Caption(kVariableValueLabel)},
    {kVariableShutterBar, Caption(kVariableValueLabel)},
    {kStartText, Caption(kStartLabel)},
    {kStartBar, Caption(kStartLabel)},
    {kWidthText, Caption(kWidthLabel)},
    {kWidthBar, Caption(kWidthLabel)},
    {kGainText, res::kIdsPanelGain},
    {kGainBar, res::kIdsPanelGain},
    {kBlackLevelText, Caption(kBlackLevelLabel)},
    {kBlackLevelBar, Caption(kBlackLevelLabel)},
    {kAdjustGainText, Caption(kAdjustGainLabel)},
    {kAdjustGainBar, Caption(kAdjustGainLabel)},
    {kSerialNumberEdit, Caption(kSerialGroup)},
    {kSerialSpin, Caption(kSerialGroup)},
    {kVendorNameText, Caption(kVendorNameLabel)},
    {kModelNameText, Caption(kModelNameLabel)},
    {kSerialNumberText, Caption(kSerialNumberLabel)},
    {kVersionText, Caption(kVersionLabel)},
    {kHorizontalSyncText, res::kIdsPanelHorizontal, res::kIdsPanelSync},
    {kHorizontalBporchText, res::kIdsPanelHorizontal, res::kIdsPanelBporch},
    {kHorizontalActiveText, res::kIdsPanelHorizontal, res::kIdsPanelActive},
    {kHorizontalFporchText, res::kIdsPanelHorizontal, res::kIdsPanelFporch},
    {kHorizontalTotalText, res::kIdsPanelHorizontal, res::kIdsPanelTotal},
    {kVerticalSyncText, res::kIdsPanelVertical, res::kIdsPanelSync},
    {kVerticalBporchText, res::kIdsPanelVertical, res::kIdsPanelBporch},
    {kVerticalActiveText, res::kIdsPanelVertical, res::kIdsPanelActive},
    {kVerticalFporchText, res::kIdsPanelVertical, res::kIdsPanelFporch},
    {kVerticalTotalText, res::kIdsPanelVertical, res::kIdsPanelTotal},
};

// A caption as a name: "VENDOR NAME :" is "VENDOR NAME".
QString NameOf(res::StringId caption) {
  QString name = ui::LoadQString(caption).trimmed();
  if (name.endsWith(QLatin1Char(':'))) name.chop(1);
  return name.trimmed();
}

QWidget* CreateControl(const FormControl& control, const QString& text, QWidget& form) {
  switch (control.kind) {
    case K::kGroupBox:
      return new QGroupBox(text, &form);
    case K::kPushRadio: {
      auto* button = new QPushButton(text, &form);
      button->setCheckable(true);
      button->setAutoDefault(false);
      return button;
    }
    case K::kRadio:
      return new QRadioButton(text, &form);
    case K::kHorizontalBar:
    case K::kVerticalBar: {
      auto* bar = new SteppingScrollBar(
          control.kind == K::kVerticalBar ? Qt::Vertical : Qt::Horizontal, &form);
      bar->setPageStep(10);
      return bar;
    }
    case K::kValueText:
    case K::kValueTextLeft: {
      auto* label = new ValueText(text, &form);
      label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      label->setAlignment((control.kind == K::kValueText ? Qt::AlignRight : Qt::AlignLeft) |
                          Qt::AlignVCenter);
      return label;
    }
    case K::kPlainText:
      return new ValueText(text, &form);
    case K::kLabel:
      return new QLabel(text, &form);
    case K::kEdit: {
      auto* edit = new QLineEdit(text, &form);
      edit->setAlignment(Qt::AlignRight);
      return edit;
    }
    case K::kUpDown:
      return new UpDownControl(&form);
    case K::kPushButton: {
      auto* button = new QPushButton(text, &form);
      button->setAutoDefault(false);
      return button;
    }
  }
  return nullptr;
}

}  // namespace

std::span<const FormControl> FormTemplate() {
  return kForm;
}

void BuildForm(QWidget& form) {
  form.setFixedSize(ui::DialogUnitsToPixels(kFormWidthUnits, kFormHeightUnits));
  form.setFont(ui::DialogFont(form.font()));
  for (const FormControl& control : kForm) {
    const QString text = control.textId != 0 ? ui::LoadQString(control.textId) : QString();
    QWidget* widget = CreateControl(control, text, form);
    ui::PlaceInDialogUnits(widget, control.x, control.y, control.width, control.height);
    if (control.id != 0) {
      ui::SetControlId(widget, control.id, text);
    } else {
      widget->setAccessibleName(text);
    }
    widget->setVisible(control.visible);
  }
  for (const SpokenName& spoken : kSpokenNames) {
    QString name = NameOf(spoken.caption);
    if (spoken.row != 0) name += QLatin1Char(' ') + NameOf(spoken.row);
    ui::FindControl(&form, spoken.id)->setAccessibleName(name);
  }
}

}  // namespace tavrel::panel
