// File > Print with the Residuals window active: the bundled example solved,
// printed to a PDF and read back.
#include <QImage>

#include <string>

#include "core/messages.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/residual_listing.h"
#include "print_window_fixture.h"

namespace voq {
namespace {

class ResidualPrintWindowTest : public testing::PrintWindowTest {
 protected:
  ResidualPrintWindowTest() : PrintWindowTest("voq_residual_print") {}
};

TEST_F(ResidualPrintWindowTest, FilePrintPrintsTheBundledExamplesResiduals) {
  Preferences.PrintInColor = 1;
  ASSERT_NO_FATAL_FAILURE(SolveBundledExample());
  SolutionAvailable = true;
  window_->Action("Residuals1")->trigger();
  ASSERT_NE(WindowList[kResidualsWindow], nullptr);
  QApplication::processEvents();
  ASSERT_EQ(ActiveChildWindow, kResidualsWindow);
  const std::string pdf = PrintActiveWindow();
  ASSERT_TRUE(std::filesystem::exists(pdf));

  const std::string page1 = testing::PdfPageText(pdf, 1);
  const std::string words = testing::WithoutBlanks(page1);
  EXPECT_NE(words.find("File:" + testing::WithoutBlanks(window_->FileName)), std::string::npos) << page1;
  EXPECT_NE(words.find("Page1"), std::string::npos) << page1;
  EXPECT_NE(words.find(testing::WithoutBlanks(ResidualTotalsLine(*MainProgramUnit))), std::string::npos) << page1;
  EXPECT_NE(words.find("BlockRel.Res.Abs.Res.UnitsEquation"), std::string::npos) << page1;
  EXPECT_NE(words.find(testing::WithoutBlanks(GetMessageText(471))), std::string::npos) << page1;
  // Every equation's text is on the page (the example fits on one).
  for (const TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) {
    std::string source = e->Text.value_or("");
    if (source.find_first_of("@\xFE") != std::string::npos) continue;
    while (!source.empty() && source[0] == '~') source.erase(0, 1);
    EXPECT_NE(words.find(testing::WithoutBlanks(source)), std::string::npos) << source << "\n" << page1;
  }

  // The first page as a picture at 100 dots per inch: the header, then the
  // blue totals line and the red titles of the listing.
  QImage page(QString::fromStdString(testing::RenderPdfPage(pdf, 1, 100, dir_ + "/page")));
  ASSERT_FALSE(page.isNull());
  page = page.convertToFormat(QImage::Format_RGB32);
  testing::SaveTestPicture(page, "printed_residuals.png");
  int blue = 0, red = 0, dark = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      const QRgb p = page.pixel(x, y);
      if (qBlue(p) > 150 && qRed(p) < 100 && qGreen(p) < 100) ++blue;
      if (qRed(p) > 150 && qBlue(p) < 100 && qGreen(p) < 100) ++red;
      if (qGray(p) < 100) ++dark;
    }
  EXPECT_GT(blue, 30) << "the totals line";
  EXPECT_GT(red, 30) << "the column titles";
  EXPECT_GT(dark, 1000) << "the rows";
}

}  // namespace
}  // namespace voq
