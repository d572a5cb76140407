#include "voq_solve/console_progress.h"

#include <string>
#include <utility>

namespace voq {

namespace {

// A solve shorter than this shows nothing: a line that flashes for a moment
// only disturbs.
constexpr int64_t kQuietMs = 1000;

std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

std::string ProgressLineText(const TProgressFigures& f) {
  std::string line = "voq-solve: ";
  if (!f.SubProgram.empty()) line += f.SubProgram + " ";
  line += "block " + Trimmed(f.Block) + ", iteration " + Trimmed(f.Iteration) + ", residual " +
          Trimmed(f.Residual) + ", " + Trimmed(f.Seconds);
  return line;
}

ConsoleProgressView::ConsoleProgressView(std::ostream& out, bool terminal, std::function<int64_t()> nowMs)
    : out_(out), terminal_(terminal), nowMs_(std::move(nowMs)) {}

void ConsoleProgressView::Open() {
  open_ = true;
  shown_ = false;
  openedAt_ = nowMs_();
}

void ConsoleProgressView::Close() {
  Wipe();
  open_ = false;
}

void ConsoleProgressView::Present(const TProgressFigures& figures) {
  if (!terminal_ || !open_ || nowMs_() - openedAt_ < kQuietMs) return;
  // Carriage return, the line, and erase to the end of the line: a shorter
  // line leaves nothing of the longer one before it.
  out_ << '\r' << ProgressLineText(figures) << "\x1b[K" << std::flush;
  shown_ = true;
}

void ConsoleProgressView::PresentFinal(const TProgressFigures& /*figures*/, const std::string& /*summary*/) {
  Wipe();
}

void ConsoleProgressView::Wipe() {
  if (!shown_) return;
  out_ << "\r\x1b[K" << std::flush;
  shown_ = false;
}

}  // namespace voq
