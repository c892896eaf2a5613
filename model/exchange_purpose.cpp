#include "model/exchange_purpose.h"

#include "model/camera_unit.h"

namespace tavrel {

ExchangePurposeScope::ExchangePurposeScope(CameraUnit& camera, ExchangePurpose purpose)
    : camera_(camera), earlier_(camera.CurrentPurpose()) {
  camera_.SetPurpose(std::move(purpose));
}

ExchangePurposeScope::~ExchangePurposeScope() {
  camera_.SetPurpose(std::move(earlier_));
}

}  // namespace tavrel
