#pragma once
// The Qt side of the resize rule the listing windows share: a resize paints
// at once when the rule allows it, otherwise one repaint waits `delayMs`.
#include <QAbstractScrollArea>
#include <QTimer>

#include "output/resize_repaint.h"

namespace voq {

// `deferred` is the view's own flag (a member, so it lives as long as the
// view the timer is bound to): set while a repaint waits, so a burst of
// resizes leaves one.
inline void RepaintAfterResize(QAbstractScrollArea* view, TResizeRepaintRule& rule, bool& deferred,
                               int delayMs) {
  if (rule.Resized()) {
    deferred = false;
    view->viewport()->update();
  } else if (!deferred) {
    deferred = true;
    QTimer::singleShot(delayMs, view, [view, &deferred] {
      deferred = false;
      view->viewport()->update();
    });
  }
}

}  // namespace voq
