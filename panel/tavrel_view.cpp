#include "panel/tavrel_view.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTimerEvent>
#include <array>
#include <optional>

#include "link/user_prompt.h"
#include "model/camera_unit.h"
#include "model/parameter_document.h"
#include "model/program_message.h"
#include "panel/accessible_panel.h"
#include "panel/panel_form.h"
#include "panel/panel_ids.h"
#include "panel/service_functions.h"
#include "res/string_table.h"
#include "ui/dialog_layout.h"
#include "ui/profile_store.h"

namespace tavrel {

using namespace panel;

namespace {

constexpr RadioGroup kAllGroups[] = {
    RadioGroup::kTriggerMode, RadioGroup::kShutter,     RadioGroup::kTrigA, RadioGroup::kTrigB,
    RadioGroup::kHdReset,     RadioGroup::kDataBit,     RadioGroup::kAccel, RadioGroup::kVdFval,
    RadioGroup::kHdLval,      RadioGroup::kPartialScan,
};

// The two-button groups in the order the update from the document fills them.
constexpr RadioGroup kTwoButtonGroups[] = {
    RadioGroup::kTrigA, RadioGroup::kTrigB,  RadioGroup::kHdReset, RadioGroup::kDataBit,
    RadioGroup::kAccel, RadioGroup::kVdFval, RadioGroup::kHdLval,  RadioGroup::kPartialScan,
};

// The panel's bars move by line, page and thumb only: no desktop setting may
// turn a click into a jump to the clicked position, and there is no menu of
// jumps either.
class SteppingBarStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    switch (hint) {
      case SH_ScrollBar_LeftClickAbsolutePosition:
      case SH_ScrollBar_MiddleClickAbsolutePosition:
      case SH_ScrollBar_ContextMenu:
        return 0;
      default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
  }
};

std::optional<ScrollRequest> RequestOf(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      return ScrollRequest::kLineUp;
    case QAbstractSlider::SliderSingleStepAdd:
      return ScrollRequest::kLineDown;
    case QAbstractSlider::SliderPageStepSub:
      return ScrollRequest::kPageUp;
    case QAbstractSlider::SliderPageStepAdd:
      return ScrollRequest::kPageDown;
    case QAbstractSlider::SliderToMinimum:
      return ScrollRequest::kToTop;
    case QAbstractSlider::SliderToMaximum:
      return ScrollRequest::kToBottom;
    case QAbstractSlider::SliderMove:
      return ScrollRequest::kThumbTrack;
    default:
      return std::nullopt;
  }
}

}  // namespace

CTavrelView::CTavrelView(ParameterDocument& document, ProfileStore& profile, QWidget* parent)
    : CTavrelView(
          document, profile,
          [](QObject& owner, int intervalMs) { return owner.startTimer(intervalMs); }, parent) {}

CTavrelView::CTavrelView(ParameterDocument& document, ProfileStore& profile,
                         TimerStarter startTimer, QWidget* parent)
    : QWidget(parent), m_document(document), m_profile(profile) {
  InstallAccessiblePanel();
  ui::SetControlId(this, kFormTemplateId);
  BuildForm(*this);
  ConnectControls();
  m_service = new PanelServiceFunctions(*this, m_document, m_profile);
  OnCreate(startTimer);
}

CTavrelView::~CTavrelView() {
  if (m_timerId != 0) killTimer(m_timerId);
}

void CTavrelView::OnCreate(const TimerStarter& startTimer) {
  m_timerId = startTimer ? startTimer(*this, kTimerIntervalMs) : 0;
  if (m_timerId != 0) return;
  // The panel works without its timer; the user is told once.
  if (UserPrompt* prompt = m_document.Camera().GetUserPrompt()) {
    prompt->ShowMessage(ProgramMessage(std::string(res::LoadString(res::kIdsTimerCreationFailed))));
  }
}

void CTavrelView::ConnectControls() {
  for (RadioGroup group : kAllGroups) {
    auto* buttonGroup = new QButtonGroup(this);
    for (const RadioBinding& binding : GroupButtons(group)) {
      buttonGroup->addButton(Button(binding.controlId), binding.controlId);
    }
    connect(buttonGroup, &QButtonGroup::idClicked, this, &CTavrelView::handleRadioClicked);
    m_groups.append(buttonGroup);
  }
  connect(Button(kBackUpButton), &QAbstractButton::clicked, this,
          &CTavrelView::handleBackUpClicked);
  auto* barStyle = new SteppingBarStyle(QStyleFactory::create(style()->name()));
  barStyle->setParent(this);
  for (const BarBinding& binding : BarBindings()) {
    QScrollBar* bar = Bar(binding.barId);
    bar->setStyle(barStyle);
    connect(bar, &QAbstractSlider::actionTriggered, this,
            [this, bar](int action) { handleBarAction(bar, action); });
    connect(bar, &QAbstractSlider::sliderReleased, this, [this, bar] { handleBarReleased(bar); });
  }
}

void CTavrelView::OnInitialUpdate() {
  CameraUnit& camera = m_document.Camera();
  for (const BarBinding& binding : BarBindings()) {
    QScrollBar* bar = Bar(binding.barId);
    const QSignalBlocker blocker(bar);
    bar->setRange(camera.GetMinimum(binding.entry, true), camera.GetMaximum(binding.entry, true));
  }
  m_service->SeedSerialNumber(
      m_profile.GetProfileInt(QStringLiteral("Recent"), QStringLiteral("LOMIRA-X"), 0));

  const auto captions = ShutterPresetCaptions(cameraType);
  for (int i = 0; i < 6; ++i) {
    QAbstractButton* button = Button(kShutterFirstPreset + i);
    const QString caption = QString::fromUtf8(captions[i].data(), captions[i].size());
    button->setText(caption);
    button->setAccessibleName(caption);
  }

  Button(kTriggerResetControl)->setEnabled(cameraType == 1 || cameraType == 2);
  const bool accel = cameraType >= 4 && cameraType <= 6;
  for (int id : {kAccelOff, kAccelOn, kAccelGroup}) ui::FindControl(this, id)->setEnabled(accel);

  for (int id : kServiceControls) ui::FindControl(this, id)->hide();

  const std::string model = CameraModelName(cameraType);
  if (!model.empty()) window()->setWindowTitle(QLatin1Char(' ') + QString::fromStdString(model));

  OnUpdate();
}

void CTavrelView::OnUpdate() {
  const int mode = m_document.GetParameter(kEntryTriggerMode);
  CheckGroup(RadioGroup::kTriggerMode, mode >= 0 && mode <= 4 ? kTriggerOff + mode : 0);

  for (RadioGroup group : kTwoButtonGroups) {
    const std::vector<RadioBinding> buttons = GroupButtons(group);
    const int value = m_document.GetParameter(buttons.front().entry);
    int checked = 0;
    for (const RadioBinding& button : buttons) {
      if (button.value == value) checked = button.controlId;
    }
    CheckGroup(group, checked);
  }

  // A stored shutter value without a button of its own leaves all ten clear.
  const int shutter = m_document.GetParameter(kEntryShutter);
  int shutterButton = 0;
  if (shutter == kShutterVariableValue) {
    shutterButton = kShutterVariable;
  } else if (shutter >= 0 && shutter <= kShutterLastPreset - kShutterOff) {
    shutterButton = kShutterOff + shutter;
  }
  CheckGroup(RadioGroup::kShutter, shutterButton);

  for (const BarBinding& binding : BarBindings()) {
    ShowValue(binding.entry, binding.barId, binding.textId, m_document.GetParameter(binding.entry));
  }
  RefreshTiming();
  ApplyAllRules();
}

void CTavrelView::handleRadioClicked(int controlId) {
  const RadioBinding* binding = FindRadioBinding(controlId);
  if (binding == nullptr || !IsChecked(controlId)) return;
  const bool partialScan = binding->group == RadioGroup::kPartialScan;
  if (binding->group == RadioGroup::kTriggerMode || binding->group == RadioGroup::kShutter ||
      partialScan) {
    ApplyRules(binding->group);
  }
  const std::int32_t result = m_document.WriteParameter(binding->entry, binding->value);
  if (result < 0 || (partialScan && result != 0)) RefreshAllViews();
  if (partialScan) RefreshTiming();
}

void CTavrelView::handleBackUpClicked() {
  if (m_document.WriteParameter(kEntryBackUp, 1) < 0) RefreshAllViews();
}

void CTavrelView::handleBarAction(QScrollBar* bar, int action) {
  // Qt has already moved the thumb for the action; undo that, so the bar
  // only ever shows what the camera accepted.
  const int carried = bar->sliderPosition();
  bar->setSliderPosition(bar->value());
  if (m_scrolling) {
    // The bar repeated its action inside the box that reports a refused
    // write: that click is over.
    EndPress(bar);
    return;
  }
  // The wheel moves the thumb without it being held: not a thumb request.
  const bool thumbHeld = bar->isSliderDown();
  const auto request = RequestOf(action);
  if (request && (*request != ScrollRequest::kThumbTrack || thumbHeld)) {
    m_scrolling = true;
    const bool accepted = HandleScroll(ui::ControlId(bar), *request, carried);
    m_scrolling = false;
    // One click, one write: a refused one ends the press, so the bar neither
    // repeats nor writes again when the mouse moves or lets go.
    if (!accepted) EndPress(bar);
  }
  bar->setSliderPosition(bar->value());
}

void CTavrelView::handleBarReleased(QScrollBar* bar) {
  HandleScroll(ui::ControlId(bar), ScrollRequest::kThumbPosition, bar->sliderPosition());
}

void CTavrelView::EndPress(QScrollBar* bar) {
  // A box shown during the press keeps the button's release from the bar; the
  // bar is told that the button is up, which stops its auto-repeat. That
  // release is the panel's, not the user's: it lets go of a held thumb
  // without a thumb request.
  const QSignalBlocker quiet(bar);
  const QPointF at = bar->mapFromGlobal(QCursor::pos());
  QMouseEvent release(QEvent::MouseButtonRelease, at, QCursor::pos(), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(bar, &release);
}

bool CTavrelView::HandleScroll(int barId, ScrollRequest request, int carried) {
  const BarBinding* binding = FindBarBinding(barId);
  if (binding == nullptr) return true;
  const QScrollBar* bar = Bar(barId);
  const auto position =
      NextScrollPosition(request, bar->value(), bar->minimum(), bar->maximum(), carried);
  if (!position) return true;
  if (binding->vertical) return HandleVerticalScroll(*binding, *position);
  return HandleHorizontalScroll(*binding, *position);
}

bool CTavrelView::HandleHorizontalScroll(const BarBinding& binding, int position) {
  if (m_document.WriteParameter(binding.entry, position) < 0) return false;
  ShowValue(binding.entry, binding.barId, binding.textId, position);
  return true;
}

bool CTavrelView::HandleVerticalScroll(const BarBinding& binding, int position) {
  // START + WIDTH stays within the sensor: the other bar gives way first.
  // When the camera refuses that, the moved bar is not written either: the
  // scan window would leave the sensor, and the user has had the one box.
  const BarBinding& other = *FindBarBinding(binding.barId == kStartBar ? kWidthBar : kStartBar);
  const int room = LineLimit(cameraType) - position;
  bool accepted = true;
  if (room < Bar(other.barId)->value()) {
    accepted = m_document.WriteParameter(other.entry, room) >= 0;
    if (accepted) ShowValue(other.entry, other.barId, other.textId, room);
  }
  if (accepted) {
    accepted = m_document.WriteParameter(binding.entry, position) >= 0;
    if (accepted) ShowValue(binding.entry, binding.barId, binding.textId, position);
  }
  RefreshTiming();
  return accepted;
}

void CTavrelView::ShowValue(int entry, int barId, int textId, int value) {
  Bar(barId)->setValue(value);
  std::string text;
  if (barId == kVariableShutterBar) {
    text = VariableShutterText(value);
  } else if (barId == kGainBar) {
    text = GainText(cameraType, value);
  } else {
    text = PlainValueText(m_document.Camera().ToCamera(entry, value));
  }
  SetText(textId, QString::fromStdString(text));
}

void CTavrelView::RefreshTiming() {
  const TimingFigures horizontal = HorizontalTiming(cameraType);
  const TimingFigures vertical = VerticalTiming(cameraType, IsChecked(kPartialScanOn),
                                                Bar(kStartBar)->value(), Bar(kWidthBar)->value());
  const auto show = [this](int id, int value) {
    SetText(id, QString::fromStdString(PlainValueText(value)));
  };
  show(kHorizontalSyncText, horizontal.sync);
  show(kHorizontalBporchText, horizontal.bporch);
  show(kHorizontalActiveText, horizontal.active);
  show(kHorizontalFporchText, horizontal.fporch);
  show(kHorizontalTotalText, horizontal.total);
  show(kVerticalSyncText, vertical.sync);
  show(kVerticalBporchText, vertical.bporch);
  show(kVerticalActiveText, vertical.active);
  show(kVerticalFporchText, vertical.fporch);
  show(kVerticalTotalText, vertical.total);
}

// The panel is the document's only view.
void CTavrelView::RefreshAllViews() {
  OnUpdate();
}

void CTavrelView::ApplyRules(RadioGroup group) {
  switch (group) {
    case RadioGroup::kTriggerMode: {
      int checked = 0;
      for (const RadioBinding& binding : GroupButtons(RadioGroup::kTriggerMode)) {
        if (IsChecked(binding.controlId)) checked = binding.controlId;
      }
      Apply(TriggerModeRules(checked, IsChecked(kShutterVariable), cameraType));
      break;
    }
    case RadioGroup::kShutter:
      Apply(ShutterRules(IsChecked(kShutterVariable)));
      break;
    case RadioGroup::kPartialScan:
      Apply(PartialScanRules(IsChecked(kPartialScanOn)));
      break;
    default:
      break;
  }
}

void CTavrelView::ApplyAllRules() {
  ApplyRules(RadioGroup::kTriggerMode);
  ApplyRules(RadioGroup::kShutter);
  ApplyRules(RadioGroup::kPartialScan);
}

void CTavrelView::Apply(const EnableList& list) {
  for (const auto& [id, enabled] : list) ui::FindControl(this, id)->setEnabled(enabled);
}

void CTavrelView::CheckGroup(RadioGroup group, int checkedId) {
  QButtonGroup* buttonGroup = m_groups[static_cast<int>(group)];
  // An exclusive group cannot clear its last checked button.
  buttonGroup->setExclusive(false);
  for (QAbstractButton* button : buttonGroup->buttons()) {
    button->setChecked(buttonGroup->id(button) == checkedId);
  }
  buttonGroup->setExclusive(true);
}

void CTavrelView::timerEvent(QTimerEvent* event) {
  // The tick has nothing to do; it only keeps the panel's timer alive.
  if (event->timerId() != m_timerId) QWidget::timerEvent(event);
}

QAbstractButton* CTavrelView::Button(int id) const {
  return ui::FindControlAs<QAbstractButton>(this, id);
}

QScrollBar* CTavrelView::Bar(int id) const {
  return ui::FindControlAs<QScrollBar>(this, id);
}

bool CTavrelView::IsChecked(int id) const {
  return Button(id)->isChecked();
}

void CTavrelView::SetText(int id, const QString& text) {
  ui::FindControlAs<QLabel>(this, id)->setText(text);
}

}  // namespace tavrel
