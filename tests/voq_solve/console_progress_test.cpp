#include "voq_solve/console_progress.h"

#include <gtest/gtest.h>

#include <sstream>

namespace voq {
namespace {

TProgressFigures Figures() {
  TProgressFigures f;
  f.Block = "3   ";
  f.Iteration = "12";
  f.Residual = "1.2345E-03 ";
  f.VariableChange = "4.0000E-01 ";
  f.Seconds = "2.5 sec";
  return f;
}

TEST(ConsoleProgressTest, LineShowsBlockIterationResidualAndTime) {
  EXPECT_EQ(ProgressLineText(Figures()),
            "voq-solve: block 3, iteration 12, residual 1.2345E-03, 2.5 sec");
}

// Nothing in the first second, one line rewritten in place after it, wiped
// at the end so that the solution follows on a clean line.
TEST(ConsoleProgressTest, OnlyOnATerminalAndOnlyAfterASecond) {
  int64_t now = 0;
  std::ostringstream out;
  ConsoleProgressView view(out, true, [&] { return now; });
  view.Open();
  now = 900;
  view.Present(Figures());
  EXPECT_EQ(out.str(), "");
  now = 1500;
  view.Present(Figures());
  view.Present(Figures());
  EXPECT_EQ(out.str(), "\rvoq-solve: block 3, iteration 12, residual 1.2345E-03, 2.5 sec\x1b[K"
                       "\rvoq-solve: block 3, iteration 12, residual 1.2345E-03, 2.5 sec\x1b[K");
  out.str("");
  view.PresentFinal(Figures(), "2 equations in 1 block");
  view.Close();
  EXPECT_EQ(out.str(), "\r\x1b[K");

  std::ostringstream piped;
  ConsoleProgressView quiet(piped, false, [&] { return now; });
  quiet.Open();
  now = 60000;
  quiet.Present(Figures());
  quiet.Close();
  EXPECT_EQ(piped.str(), "");
}

}  // namespace
}  // namespace voq
