// Creates the control panel that fills the main frame's client area and ties
// it to the document's updates.
#pragma once

class QWidget;

namespace tavrel {

class CTavrelDoc;
class ProfileStore;

QWidget* CreateView(CTavrelDoc& document, ProfileStore& profile, QWidget* parent);

}  // namespace tavrel
