#include "output/resize_repaint.h"

#include <chrono>

namespace voq {

int32_t TResizeRepaintRule::Now() const {
  if (Clock) return Clock();
  using namespace std::chrono;
  return int32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() & 0x3FFFFFFF);
}

bool TResizeRepaintRule::Resized() {
  const bool now = !painted_ || Now() - lastPaint_ > kMinimumInterval;
  pending_ = !now;
  return now;
}

bool TResizeRepaintRule::Waiting() const { return pending_ && painted_ && Now() - lastPaint_ <= kMinimumInterval; }

void TResizeRepaintRule::Painted() {
  painted_ = true;
  lastPaint_ = Now();
  pending_ = false;
  ++paints_;
}

}  // namespace voq
