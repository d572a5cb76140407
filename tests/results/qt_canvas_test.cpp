#include "results/qt_canvas.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "../shell/qt_app.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "output/entry_text.h"
#include "output/format_codes.h"
#include "output/symbol_font.h"

namespace voq {
namespace {

// The Qt canvas that also notes where each text went, so the test can look
// at those pixels.
class NotingCanvas : public QtCanvas {
 public:
  using QtCanvas::QtCanvas;
  struct Placed {
    std::string Text;
    bool Symbol;
    QRect Box;
  };
  void TextOut(int32_t x, int32_t y, const std::string& text) override {
    placed.push_back(Placed{text, IsSymbolFace(Font()), QRect(x, y, TextWidth(text), TextHeight(text))});
    QtCanvas::TextOut(x, y, text);
  }
  std::vector<Placed> placed;
};

bool HasInk(const QImage& image, const QRect& box) {
  const QRect inside = box.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      if (image.pixelColor(x, y) != QColor(Qt::white)) return true;
    }
  }
  return false;
}

int32_t AddValue(const std::string& name, Extended value, const std::string& units) {
  AddVariable(name);
  const int32_t index = FindVariable(name);
  TVariableRecord* v = CurrentProgramUnit->Variable(index);
  v->Value = value;
  v->Style = kStyleAutomatic;
  v->Units = units;
  v->UnknownPosition = 1;
  return index;
}

TEST(QtCanvasTest, SymbolCodesHaveGlyphsInTheSubstitutedFaces) {
  testing::EnsureApplication();
  InstallFontSubstitutions();
  TCanvasFont symbol;
  symbol.Face = "Symbol";
  symbol.Height = 16;
  const QFontMetrics metrics(QtCanvas::ToQFont(symbol));
  for (int code : {int{'a'}, int{'q'}, int{'D'}, int{'W'}, 165, 176, 177, 182, 183, 208, 242}) {
    const uint32_t u = SymbolToUnicode(static_cast<uint8_t>(code));
    EXPECT_TRUE(metrics.inFont(QChar(static_cast<char16_t>(u)))) << code;
  }
  // A Windows face reaches an installed face.
  TCanvasFont arial;
  arial.Face = "Arial";
  const QFontInfo info(QtCanvas::ToQFont(arial));
  EXPECT_TRUE(info.family().startsWith(QStringLiteral("DejaVu")) ||
              info.family().startsWith(QStringLiteral("Liberation")))
      << info.family().toStdString();
}

TEST(QtCanvasTest, ScreenshotOfSolutionEntries) {
  testing::EnsureApplication();
  Preferences.ShowSubscripts = 1;
  Preferences.DisplayFontSize = 3;  // 12 points
  QImage image(520, 130, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  NotingCanvas canvas(painter);
  TEntryPage page = MakeEntryPage(canvas);
  page.TopOffset = 6;
  page.Scale = 1;

  const int32_t alpha = AddValue("alpha", 0.5L, "rad");
  const int32_t t12 = AddValue("T_1_2", 25, "kJ/kg-K");
  const int32_t area = AddValue("A_pipe", 0.25L, "m^2");
  const int32_t x3 = AddValue("X[3]", 7, "m^(1/2)");
  CurrentProgramUnit->Variable(t12)->DisplayCode = static_cast<int16_t>(PackFormatCode(2, 0, kHiliteBold, 0));
  int32_t column = 1;
  DrawSolutionEntry(page, column, 0, alpha);
  column = 1;
  DrawSolutionEntry(page, column, 1, t12);
  column = 1;
  DrawSolutionEntry(page, column, 2, area);
  column = 1;
  DrawSolutionEntry(page, column, 3, x3);
  // A complex value in polar form, with the angle sign.
  Preferences.ComplexMode = 1;
  const int32_t re = AddValue("Z_r", 3, "V");
  const int32_t im = AddValue("Z_i", 4, "V");
  CurrentProgramUnit->Variable(re)->PartnerVariable = static_cast<int16_t>(im);
  CurrentProgramUnit->Variable(im)->PartnerVariable = static_cast<int16_t>(re);
  CurrentProgramUnit->Variable(im)->ComplexPart = 1;
  CurrentProgramUnit->Variable(re)->DisplayCode = static_cast<int16_t>(PackFormatCode(0, 0, kHiliteNormal, 1));
  column = 1;
  DrawSolutionEntry(page, column, 4, re);
  painter.end();
  const std::string path = testing::SaveTestPicture(image, "solution_entries.png");
  SCOPED_TRACE(path);

  bool sawAlpha = false;
  bool sawAngle = false;
  for (const NotingCanvas::Placed& p : canvas.placed) {
    if (p.Symbol && p.Text == "a") {
      sawAlpha = true;
      EXPECT_TRUE(HasInk(image, p.Box)) << "alpha";
    }
    if (p.Symbol && p.Text == std::string(1, kSymbolAngle)) {
      sawAngle = true;
      EXPECT_TRUE(HasInk(image, p.Box)) << "angle";
    }
  }
  EXPECT_TRUE(sawAlpha);
  EXPECT_TRUE(sawAngle);
  // The units of the second entry are blue.
  bool blue = false;
  for (int y = 0; y < image.height() && !blue; ++y) {
    for (int x = 0; x < image.width() && !blue; ++x) {
      const QColor c = image.pixelColor(x, y);
      blue = c.blue() > 200 && c.red() < 60 && c.green() < 60;
    }
  }
  EXPECT_TRUE(blue);
}

}  // namespace
}  // namespace voq
