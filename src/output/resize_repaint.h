#pragma once
// The repaint rule of the Solution and Residuals windows while they are
// resized: their listings are long to lay out, so a resize repaints at once
// only when more than 20 ms have passed since the last paint; a resize
// within that time leaves the repaint to a deferred one.
#include <cstdint>
#include <functional>

namespace voq {

class TResizeRepaintRule {
 public:
  static constexpr int32_t kMinimumInterval = 20;  // milliseconds

  // The clock in milliseconds (tests install their own).
  std::function<int32_t()> Clock;

  // A resize happened: true when it repaints now; false when the repaint
  // waits (Pending()).
  bool Resized();
  // A paint was made.
  void Painted();
  bool Pending() const { return pending_; }
  // A repaint is waiting and the interval since the last paint is not over:
  // a paint now would come too soon.
  bool Waiting() const;
  int32_t Paints() const { return paints_; }

 private:
  int32_t Now() const;
  bool painted_ = false;
  int32_t lastPaint_ = 0;
  bool pending_ = false;
  int32_t paints_ = 0;
};

}  // namespace voq
