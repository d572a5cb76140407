// File > Print with the Solution window active: the bundled example solved,
// printed to a PDF and read back.
#include <QImage>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "results/solution_form.h"
#include "print_window_fixture.h"

namespace voq {
namespace {

class SolutionPrintWindowTest : public testing::PrintWindowTest {
 protected:
  SolutionPrintWindowTest() : PrintWindowTest("voq_solution_print") {}
};

TEST_F(SolutionPrintWindowTest, FilePrintPrintsTheBundledExamplesSolution) {
  ASSERT_NO_FATAL_FAILURE(SolveBundledExample());
  ShowSolutionWindow();
  QApplication::processEvents();
  ActiveChildWindow = kSolutionWindow;
  const std::string pdf = PrintActiveWindow();
  ASSERT_TRUE(std::filesystem::exists(pdf));

  const std::string page1 = testing::PdfPageText(pdf, 1);
  const std::string words = testing::WithoutBlanks(page1);
  EXPECT_NE(words.find("File:" + testing::WithoutBlanks(window_->FileName)), std::string::npos) << page1;
  EXPECT_NE(words.find("Page1"), std::string::npos) << page1;
  EXPECT_NE(words.find("SOLUTION"), std::string::npos) << page1;
  EXPECT_EQ(words.find("Calculationtime"), std::string::npos) << page1;
  // Every variable of the example is a word of the page, followed by "=".
  std::vector<std::string> pageWords;
  {
    std::istringstream split(page1);
    for (std::string w; split >> w;) pageWords.push_back(w);
  }
  for (const char* name : {"T_room", "T_out", "T_sky", "h_in", "h_out", "epsilon", "sigma", "L_1", "k_1", "L_2",
                           "k_2", "L_3", "k_3", "q", "T_1", "T_2", "T_3", "T_s", "A", "Q_wall", "E_night",
                           "R_wool", "T_s_C"}) {
    int found = 0;
    for (size_t i = 0; i + 1 < pageWords.size(); ++i)
      if (pageWords[i] == name && pageWords[i + 1] == "=") ++found;
    EXPECT_EQ(found, 1) << name << "\n" << page1;
  }

  // The first page as a picture at 100 dots per inch.
  QImage page(QString::fromStdString(testing::RenderPdfPage(pdf, 1, 100, dir_ + "/page")));
  ASSERT_FALSE(page.isNull());
  testing::SaveTestPicture(page, "printed_solution.png");
  const auto darkPixels = [&page](int top, int bottom) {
    int dark = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, page.height()); ++y)
      for (int x = 0; x < page.width(); ++x) dark += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
    return dark;
  };
  const int line = PrintLineHeight * 100 / 300;  // the line pitch at 100 dots per inch
  EXPECT_GT(darkPixels(2 * line, 4 * line), 100) << "the header";
  EXPECT_GT(darkPixels(5 * line, page.height()), 1000) << "the listing below the header";
}

}  // namespace
}  // namespace voq
