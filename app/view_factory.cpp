#include "app/view_factory.h"

#include "app/tavrel_doc.h"
#include "panel/tavrel_view.h"

namespace tavrel {

QWidget* CreateView(CTavrelDoc& document, ProfileStore& profile, QWidget* parent) {
  auto* view = new CTavrelView(document, profile, parent);
  QObject::connect(&document, &CTavrelDoc::initialUpdate, view, &CTavrelView::OnInitialUpdate);
  QObject::connect(&document, &CTavrelDoc::updateAllViews, view, &CTavrelView::OnUpdate);
  return view;
}

}  // namespace tavrel
