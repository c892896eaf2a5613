#include "panel/panel_form.h"

#include <QFrame>
#include <QLabel>

#include "panel/panel_ids.h"
#include "panel/stepping_scroll_bar.h"
#include "panel/up_down_control.h"
#include "panel/value_text.h"
#include "res/string_table.h"
#include "ui/dialog_layout.h"
#include "ui/qt_strings.h"

namespace tavrel::panel {
namespace {

using ui::GroupBox;
using ui::Label;
using ui::NumberEdit;
using ui::PushButton;
using ui::PushRadio;
using ui::Radio;

// The panel's own controls.
QWidget* Bar(Qt::Orientation orientation, QWidget* form) {
  auto* bar = new SteppingScrollBar(orientation, form);
  bar->setPageStep(10);
  return bar;
}
QWidget* HorizontalBar(const QString& /*caption*/, QWidget* form) {
  return Bar(Qt::Horizontal, form);
}
QWidget* VerticalBar(const QString& /*caption*/, QWidget* form) {
  return Bar(Qt::Vertical, form);
}
// A value text framed and sunken, aligned as given.
QWidget* FramedValueText(const QString& caption, QWidget* form, Qt::Alignment alignment) {
  auto* label = new ValueText(caption, form);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(alignment | Qt::AlignVCenter);
  return label;
}
QWidget* ValueTextRight(const QString& caption, QWidget* form) {
  return FramedValueText(caption, form, Qt::AlignRight);
}
QWidget* ValueTextLeft(const QString& caption, QWidget* form) {
  return FramedValueText(caption, form, Qt::AlignLeft);
}
// Right-aligned, without a frame: over a column of right-aligned figures.
QWidget* ColumnHeading(const QString& caption, QWidget* form) {
  auto* heading = new QLabel(caption, form);
  heading->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return heading;
}
// Left-aligned, without a frame.
QWidget* PlainText(const QString& caption, QWidget* form) {
  return new ValueText(caption, form);
}
QWidget* UpDown(const QString& /*caption*/, QWidget* form) {
  return new UpDownControl(form);
}

constexpr res::StringId Caption(int id) {
  return res::kIdsPanelControlBase + id;
}

// Created in this order, so group boxes lie behind what they hold.
constexpr FormControl kForm[] = {
    // Trigger.
    {0, GroupBox, res::kIdsPanelTrigger, 7, 7, 160, 115},
    {0, GroupBox, res::kIdsPanelMode, 11, 17, 71, 91},
    {kTriggerOff, PushRadio, Caption(kTriggerOff), 16, 28, 61, 14},
    {kTriggerFixedShutter, PushRadio, Caption(kTriggerFixedShutter), 16, 43, 61, 14},
    {kTrigger1Trigger, PushRadio, Caption(kTrigger1Trigger), 16, 58, 61, 14},
    {kTriggerResetControl, PushRadio, Caption(kTriggerResetControl), 16, 73, 61, 14},
    {kTriggerVdReset, PushRadio, Caption(kTriggerVdReset), 16, 88, 61, 14},
    {kPolarityGroup, GroupBox, Caption(kPolarityGroup), 86, 17, 77, 56},
    {kTrigAGroup, GroupBox, Caption(kTrigAGroup), 90, 26, 33, 42},
    {kTrigAPosi, PushRadio, Caption(kTrigAPosi), 93, 37, 27, 13},
    {kTrigANega, PushRadio, Caption(kTrigANega), 93, 52, 27, 13},
    {kTrigBGroup, GroupBox, Caption(kTrigBGroup), 126, 26, 33, 42},
    {kTrigBPosi, PushRadio, Caption(kTrigBPosi), 129, 37, 27, 13},
    {kTrigBNega, PushRadio, Caption(kTrigBNega), 129, 52, 27, 13},
    {kHdResetGroup, GroupBox, Caption(kHdResetGroup), 86, 75, 77, 43},
    {kHdNonReset, PushRadio, Caption(kHdNonReset), 91, 86, 67, 13},
    {kHdReset, PushRadio, Caption(kHdReset), 91, 101, 67, 13},
    // Shutter speed.
    {kShutterGroup, GroupBox, Caption(kShutterGroup), 171, 7, 106, 115},
    {1005, Radio, Caption(1005), 177, 18, 46, 10},
    {1006, Radio, Caption(1006), 177, 30, 46, 10},
    {1007, Radio, Caption(1007), 177, 42, 46, 10},
    {1008, Radio, Caption(1008), 177, 54, 46, 10},
    {1009, Radio, Caption(1009), 177, 66, 46, 10},
    {1010, Radio, Caption(1010), 225, 18, 48, 10},
    {1011, Radio, Caption(1011), 225, 30, 48, 10},
    {1012, Radio, Caption(1012), 225, 42, 48, 10},
    {1013, Radio, Caption(1013), 225, 54, 48, 10},
    {kShutterVariable, Radio, Caption(kShutterVariable), 225, 66, 48, 10},
    {kVariableValueLabel, Label, Caption(kVariableValueLabel), 177, 80, 95, 8},
    {kVariableShutterText, ValueTextRight, 0, 177, 90, 95, 11},
    {kVariableShutterBar, HorizontalBar, 0, 177, 105, 95, 10},
    // Partial scan.
    {kPartialScanGroup, GroupBox, Caption(kPartialScanGroup), 281, 7, 62, 139},
    {kPartialScanOff, Radio, Caption(kPartialScanOff), 287, 18, 50, 10},
    {kPartialScanOn, Radio, Caption(kPartialScanOn), 287, 30, 50, 10},
    {kStartLabel, Label, Caption(kStartLabel), 285, 42, 27, 8},
    {kStartText, ValueTextRight, 0, 285, 50, 27, 10},
    {kStartBar, VerticalBar, 0, 293, 61, 11, 81},
    {kWidthLabel, Label, Caption(kWidthLabel), 313, 42, 27, 8},
    {kWidthText, ValueTextRight, 0, 313, 50, 27, 10},
    {kWidthBar, VerticalBar, 0, 320, 61, 11, 81},
    // Back-up, kept out of sight.
    {0, GroupBox, res::kIdsPanelBackUp, 344, 97, 38, 26, false},
    {kBackUpButton, PushButton, Caption(kBackUpButton), 348, 106, 30, 13, false},
    // Two-button groups.
    {0, GroupBox, res::kIdsPanelDataBit, 7, 128, 39, 44},
    {kDataBit8, PushRadio, Caption(kDataBit8), 11, 139, 31, 13},
    {kDataBit10, PushRadio, Caption(kDataBit10), 11, 155, 31, 13},
    {kAccelGroup, GroupBox, Caption(kAccelGroup), 47, 128, 39, 44},
    {kAccelOff, PushRadio, Caption(kAccelOff), 51, 139, 31, 13},
    {kAccelOn, PushRadio, Caption(kAccelOn), 51, 155, 31, 13},
    {0, GroupBox, res::kIdsPanelVdFval, 87, 128, 39, 44},
    {kVd, PushRadio, Caption(kVd), 91, 139, 31, 13},
    {kFval, PushRadio, Caption(kFval), 91, 155, 31, 13},
    {0, GroupBox, res::kIdsPanelHdLval, 127, 128, 39, 44},
    {kHd, PushRadio, Caption(kHd), 131, 139, 31, 13},
    {kLval, PushRadio, Caption(kLval), 131, 155, 31, 13},
    // Gain, black level, adjust gain.
    {0, Label, res::kIdsPanelGain, 177, 131, 40, 8},
    {kGainText, ValueTextRight, 0, 222, 129, 50, 10},
    {kGainBar, HorizontalBar, 0, 177, 141, 95, 10},
    {kBlackLevelLabel, Label, Caption(kBlackLevelLabel), 177, 157, 60, 8},
    {kBlackLevelText, ValueTextLeft, 0, 242, 155, 30, 10},
    {kBlackLevelBar, HorizontalBar, 0, 177, 167, 95, 10},
    {kAdjustGainLabel, Label, Caption(kAdjustGainLabel), 177, 183, 60, 8},
    {kAdjustGainText, ValueTextLeft, 0, 242, 181, 30, 10},
    {kAdjustGainBar, HorizontalBar, 0, 177, 193, 95, 10},
    // Serial number (service).
    {kSerialGroup, GroupBox, Caption(kSerialGroup), 171, 208, 106, 29},
    {kSerialNumberEdit, NumberEdit, 0, 177, 219, 48, 12},
    {kSerialSpin, UpDown, 0, 225, 219, 10, 12},
    {kSerialWriteButton, PushButton, Caption(kSerialWriteButton), 240, 218, 32, 14},
    // Identification (service).
    {kIdentGroup, GroupBox, Caption(kIdentGroup), 7, 181, 160, 56},
    // The captions' column is as wide as "SERIAL NUMBER :" needs.
    {kVendorNameLabel, Label, Caption(kVendorNameLabel), 12, 192, 60, 8},
    {kModelNameLabel, Label, Caption(kModelNameLabel), 12, 201, 60, 8},
    {kSerialNumberLabel, Label, Caption(kSerialNumberLabel), 12, 210, 60, 8},
    {kVersionLabel, Label, Caption(kVersionLabel), 12, 219, 60, 8},
    {kVendorNameText, PlainText, Caption(kVendorNameText), 74, 192, 56, 8},
    {kModelNameText, PlainText, Caption(kModelNameText), 74, 201, 56, 8},
    {kSerialNumberText, PlainText, Caption(kSerialNumberText), 74, 210, 56, 8},
    {kVersionText, PlainText, Caption(kVersionText), 74, 219, 56, 8},
    {kIdentReadButton, PushButton, Caption(kIdentReadButton), 132, 218, 30, 14},
    // Camera timing.
    {0, GroupBox, res::kIdsPanelCameraTiming, 281, 150, 95, 87},
    // Each heading ends where its column's figures end, so the two stand
    // apart.
    {0, ColumnHeading, res::kIdsPanelHorizontal, 303, 160, 40, 8},
    {0, ColumnHeading, res::kIdsPanelVertical, 344, 160, 28, 8},
    {0, Label, res::kIdsPanelSync, 285, 172, 27, 8},
    {0, Label, res::kIdsPanelBporch, 285, 184, 27, 8},
    {0, Label, res::kIdsPanelActive, 285, 196, 27, 8},
    {0, Label, res::kIdsPanelFporch, 285, 208, 27, 8},
    {0, Label, res::kIdsPanelTotal, 285, 220, 27, 8},
    {kHorizontalSyncText, ValueTextRight, 0, 314, 171, 29, 10},
    {kHorizontalBporchText, ValueTextRight, 0, 314, 183, 29, 10},
    {kHorizontalActiveText, ValueTextRight, 0, 314, 195, 29, 10},
    {kHorizontalFporchText, ValueTextRight, 0, 314, 207, 29, 10},
    {kHorizontalTotalText, ValueTextRight, 0, 314, 219, 29, 10},
    {kVerticalSyncText, ValueTextRight, 0, 346, 171, 26, 10},
    {kVerticalBporchText, ValueTextRight, 0, 346, 183, 26, 10},
    {kVerticalActiveText, ValueTextRight, 0, 346, 195, 26, 10},
    {kVerticalFporchText, ValueTextRight, 0, 346, 207, 26, 10},
    {kVerticalTotalText, ValueTextRight, 0, 346, 219, 26, 10},
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

}  // namespace

std::span<const FormControl> FormTemplate() {
  return kForm;
}

void BuildForm(QWidget& form) {
  form.setFixedSize(ui::DialogUnitsToPixels(kFormWidthUnits, kFormHeightUnits));
  form.setFont(ui::DialogFont(form.font()));
  ui::BuildForm(form, kForm);
  for (const SpokenName& spoken : kSpokenNames) {
    QString name = NameOf(spoken.caption);
    if (spoken.row != 0) name += QLatin1Char(' ') + NameOf(spoken.row);
    ui::FindControl(&form, spoken.id)->setAccessibleName(name);
  }
}

}  // namespace tavrel::panel
