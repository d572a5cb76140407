#pragma once
// The progress display of voq-solve: one line on stderr, rewritten in place,
// while a solve has run for more than a second, and only when stderr is a
// terminal. Scripts and pipes see nothing of it; the line is wiped before
// anything else is printed.
#include <cstdint>
#include <functional>
#include <ostream>

#include "platform/host.h"

namespace voq {

class ConsoleProgressView : public ProgressView {
 public:
  // out: where the line goes; terminal: whether out is one; nowMs: a
  // millisecond clock.
  ConsoleProgressView(std::ostream& out, bool terminal, std::function<int64_t()> nowMs);

  void Open() override;
  void Close() override;
  void Present(const TProgressFigures& figures) override;
  void PresentFinal(const TProgressFigures& figures, const std::string& summary) override;

  // Removes the line if one is shown (before other output).
  void Wipe();

 private:
  std::ostream& out_;
  const bool terminal_;
  std::function<int64_t()> nowMs_;
  int64_t openedAt_ = 0;
  bool open_ = false;
  bool shown_ = false;
};

// The line's text for these figures.
std::string ProgressLineText(const TProgressFigures& figures);

}  // namespace voq
