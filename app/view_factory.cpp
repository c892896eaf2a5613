#include "app/view_factory.h"

#include <QWidget>

#include "app/tavrel_doc.h"
#include "panel/dialog_layout.h"

namespace tavrel {

QWidget* CreateView(CTavrelDoc& document, ProfileStore& profile, QWidget* parent) {
  (void)document;
  (void)profile;
  // The form of the control panel (dialog 144); its controls come with the
  // panel itself.
  auto* view = new QWidget(parent);
  view->setObjectName(QStringLiteral("id144"));
  view->resize(ui::DialogUnitsToPixels(383, 244));
  return view;
}

}  // namespace tavrel
