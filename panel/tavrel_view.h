// The control panel: the one view of the settings document. Every change the
// user makes is written to the camera at once through the document; the
// controls are only a view of the document's stored values.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "panel/panel_bindings.h"
#include "panel/panel_values.h"

class QAbstractButton;
class QButtonGroup;
class QScrollBar;
class QTimerEvent;

namespace tavrel {

class PanelServiceFunctions;
class ParameterDocument;
class ProfileStore;

class CTavrelView : public QWidget {
  Q_OBJECT

 public:
  // Starts the panel's timer; returns its id, or 0 when it could not start.
  using TimerStarter = std::function<int(QObject& owner, int intervalMs)>;

  CTavrelView(ParameterDocument& document, ProfileStore& profile, QWidget* parent = nullptr);
  // As above with a different timer source (tests make it fail).
  CTavrelView(ParameterDocument& document, ProfileStore& profile, TimerStarter startTimer,
              QWidget* parent = nullptr);
  ~CTavrelView() override;

  // Sets the form up for the camera model, then fills it from the document.
  void OnInitialUpdate();
  // Fills every control from the document's stored values.
  void OnUpdate();

  // A scroll request on one of the panel's bars (the keyboard, mouse and
  // thumb all arrive here). `carried` is the thumb position for thumb requests.
  // False when a write it made was refused.
  bool HandleScroll(int barId, panel::ScrollRequest request, int carried = 0);

  // Identification read, unlock (command 1147) and serial-number write, with
  // the serial-number and model-name texts they show.
  PanelServiceFunctions& ServiceFunctions() const { return *m_service; }

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  void OnCreate(const TimerStarter& startTimer);
  void ConnectControls();
  void handleRadioClicked(int controlId);
  void handleBackUpClicked();
  void handleBarAction(QScrollBar* bar, int action);
  void handleBarReleased(QScrollBar* bar);
  void EndPress(QScrollBar* bar);
  bool HandleHorizontalScroll(const panel::BarBinding& binding, int position);
  bool HandleVerticalScroll(const panel::BarBinding& binding, int position);

  void ShowValue(int entry, int barId, int textId, int value);
  void RefreshTiming();
  void RefreshAllViews();
  void ApplyRules(panel::RadioGroup group);
  void ApplyAllRules();
  void Apply(const panel::EnableList& list);
  void CheckGroup(panel::RadioGroup group, int checkedId);  // 0 = none checked

  QAbstractButton* Button(int id) const;
  QScrollBar* Bar(int id) const;
  bool IsChecked(int id) const;
  void SetText(int id, const QString& text);

  ParameterDocument& m_document;
  ProfileStore& m_profile;
  int m_timerId = 0;
  QList<QButtonGroup*> m_groups;
  bool m_scrolling = false;                    // a bar's write is under way
  PanelServiceFunctions* m_service = nullptr;  // a child QObject
};

}  // namespace tavrel
