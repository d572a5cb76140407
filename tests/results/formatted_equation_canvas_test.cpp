// Formatted equations drawn by the Qt canvas: box texts with their markup
// and whole typeset statements, on an offscreen image written as a PNG.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "../shell/qt_app.h"
#include "core/calc_state.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "output/equation_typesetter.h"
#include "output/format_box.h"
#include "platform/host.h"
#include "results/qt_canvas.h"
#include "session/compile_driver.h"

namespace voq {
namespace {

// The Qt canvas that also notes each text it drew and its face.
class NotingCanvas : public QtCanvas {
 public:
  using QtCanvas::QtCanvas;
  struct Placed {
    std::string Text;
    bool Symbol;
  };
  void TextOut(int32_t x, int32_t y, const std::string& text) override {
    placed.push_back(Placed{text, IsSymbolFace(Font())});
    QtCanvas::TextOut(x, y, text);
  }
  std::vector<Placed> placed;
};

bool HasInk(const QImage& image, const QRect& box) {
  const QRect inside = box.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      if (image.pixelColor(x, y).lightness() < 160) return true;
    }
  }
  return false;
}

QRect BoxRect(const TFormatBox& b, int32_t dx, int32_t dy) {
  return QRect(b.Rect.Left + dx, b.Rect.Top + dy, std::max(1, b.Width), std::max(1, b.Rect.Bottom - b.Rect.Top));
}

class FormattedEquationCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    InstallFontSubstitutions();
    Preferences.ShowSubscripts = 1;
    Preferences.DisplayFontSize = 3;  // 12 points: 16 px
  }
  void TearDown() override { Preferences = TPreferencesRecord{}; }
};

TEST_F(FormattedEquationCanvasTest, ScreenshotOfBoxTextsAndEquations) {
  QImage image(560, 330, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  NotingCanvas canvas(painter);
  TFormattedForm form(canvas);
  form.SetupFonts();

  // A row of box texts: T_1, alpha_beta, x with a bar, a-b with its en
  // dash, and a constant in the x10 form.
  std::vector<TFormatBox*> boxes;
  boxes.push_back(form.NewBox("T_1", form.BaseFontSize, 0));
  boxes.push_back(form.NewBox("a_b", form.BaseFontSize, 5));
  boxes.back()->GreekSubscript = 1;
  boxes.push_back(form.NewBox("x\\_", form.BaseFontSize, 0));
  boxes.push_back(form.NewBox("a-b", form.BaseFontSize, 0));
  boxes.push_back(FormatConstant(form, 1.5E-7L));
  ASSERT_EQ(boxes.back()->Role, kRoleExponentNumber);
  const int32_t rowY = 14;
  int32_t x = 12;
  std::vector<QRect> places;
  for (TFormatBox* b : boxes) {
    form.DrawFormattedEqn(b, x, rowY);
    places.push_back(BoxRect(*b, x, rowY));
    x += b->Width + 28;
  }

  // Typeset statements, one under the other.
  InMemoryEquationsEditor editor;
  SetEquationsEditor(&editor);
  CheckOnlyMode = true;
  EquationsCompiled = false;
  editor.SetText(
      "y = (a + b)/(2*c)\r\n"
      "E = m*c^2 + x^(a+b) - 1/2\r\n"
      "x_1 = sqrt(alpha^2 + beta_2) - abs(T_1)\r\n"
      "z = sin(theta)^2 + 1.5E-7*v_bar/rho\r\n"
      "A = 3.14159265359*D^2/4");
  CompileEquations(false, false);
  SetEquationsEditor(nullptr);
  CheckOnlyMode = false;
  ASSERT_EQ(CalcErrorCode, 0);
  int32_t top = 60;
  std::vector<TFormatBox*> statements;
  std::vector<QRect> statementPlaces;
  std::vector<int32_t> offsets;
  for (TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) {
    TFormatBox* list = doFormatEqn(form, e, 0, 0);
    ASSERT_NE(list, nullptr) << CalcErrorCode;
    const int32_t dy = top - list->Rect.Top;
    form.DrawFormattedEqn(list, 12, dy);
    statements.push_back(list);
    offsets.push_back(dy);
    statementPlaces.push_back(QRect(12 + list->Rect.Left, top, list->Rect.Right - list->Rect.Left,
                                    list->Rect.Bottom - list->Rect.Top));
    top += list->Rect.Bottom - list->Rect.Top + 14;
  }
  painter.end();
  const std::string path = testing::SaveTestPicture(image, "formatted_equations.png");
  SCOPED_TRACE(path);

  for (size_t k = 0; k < places.size(); ++k) EXPECT_TRUE(HasInk(image, places[k])) << "box " << k;
  ASSERT_EQ(statements.size(), 5u);
  for (size_t k = 0; k < statementPlaces.size(); ++k) {
    EXPECT_TRUE(HasInk(image, statementPlaces[k])) << "statement " << k;
    EXPECT_LT(statementPlaces[k].right(), image.width()) << "statement " << k;
  }
  EXPECT_LT(top, image.height());

  // The fraction bar of the first statement is drawn across its width, on
  // the line LineToSK draws at.
  const TFormatBox* bar = statements[0];
  while (bar != nullptr && bar->Role != kRoleWidestFractionBar) bar = bar->Next;
  ASSERT_NE(bar, nullptr);
  const int32_t barY = offsets[0] + bar->Rect.Top - 3 + form.LineHeight * 3 / 4;
  EXPECT_TRUE(HasInk(image, QRect(12 + bar->Rect.Left + bar->Width / 2, barY, 1, 1)));

  // The en dash and the Greek letters exist in the faces that stand for
  // Arial and Symbol, and were drawn in them.
  TCanvasFont arial;
  arial.Height = 16;
  EXPECT_TRUE(QFontMetrics(QtCanvas::ToQFont(arial)).inFont(QChar(0x2013)));
  TCanvasFont symbol = arial;
  symbol.Face = "Symbol";
  const QFontMetrics greek(QtCanvas::ToQFont(symbol));
  for (char16_t c : {u'\u03B1', u'\u03B2', u'\u03B8', u'\u03C1', u'\u03C0'}) EXPECT_TRUE(greek.inFont(QChar(c)));
  bool dash = false;
  bool alpha = false;
  bool pi = false;
  for (const NotingCanvas::Placed& p : canvas.placed) {
    dash = dash || (!p.Symbol && p.Text == std::string(1, kCodeEnDash));
    alpha = alpha || (p.Symbol && p.Text == "a");
    pi = pi || (p.Symbol && p.Text == "p");
  }
  EXPECT_TRUE(dash);
  EXPECT_TRUE(alpha);
  EXPECT_TRUE(pi);

  for (TFormatBox*& b : boxes) DisposeFormatEqn(b);
  for (TFormatBox*& s : statements) DisposeFormatEqn(s);
}

}  // namespace
}  // namespace voq
