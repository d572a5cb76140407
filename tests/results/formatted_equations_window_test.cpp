// The Formatted Equations window in Qt on the offscreen platform, opened
// from the Windows menu of the real main window with the real QtPlatform:
// the page it paints, a click and a drag on a statement, closing, a model
// with an error, and a picture of calls, sums and integrals.
#include "results/formatted_equations_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMessageBox>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "../shell/qt_app.h"
#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/program_flags.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "output/equation_typesetter.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "results/qt_canvas.h"
#include "shell/main_window.h"

namespace voq {
namespace {

bool HasInk(const QImage& image, const QRect& box) {
  const QRect inside = box.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      if (image.pixelColor(x, y).lightness() < 160) return true;
    }
  }
  return false;
}

// The Qt canvas that also notes each text it drew and its face.
class NotingCanvas : public QtCanvas {
 public:
  using QtCanvas::QtCanvas;
  void TextOut(int32_t x, int32_t y, const std::string& text) override {
    placed.emplace_back(text, IsSymbolFace(Font()));
    QtCanvas::TextOut(x, y, text);
  }
  std::vector<std::pair<std::string, bool>> placed;
};

TEquationRecord* Statement(int n) {
  TEquationRecord* e = MainProgramUnit->FirstEquation;
  while (n-- > 0 && e != nullptr) e = e->Next;
  return e;
}

QPoint Inside(const TEquationRecord* e) {
  return QPoint(e->DisplayRect.Left + e->OffsetX + 6, (e->DisplayRect.Top + e->DisplayRect.Bottom) / 2 + e->OffsetY);
}

class FormattedEquationsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    dir_ = testing::MakeTempFolder("voq_formatted");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    platform_.SetScriptedAnswer(kResultOk);
    window_->FormCreate(dir_);
    window_->resize(1000, 640);
    window_->show();
    Preferences.ShowSubscripts = 1;
  }
  void TearDown() override {
    window_.reset();
    RestoreInstalledHost();
    std::filesystem::remove_all(dir_);
  }
  TFormattedEquationsForm* Open(const std::string& text) {
    Equations().SetText(text);
    window_->Action("FormattedEquations1")->trigger();
    QApplication::processEvents();
    auto* form = dynamic_cast<TFormattedEquationsForm*>(WindowList[kFormattedEquationsWindow]);
    if (form != nullptr) {
      form->move(0, 0);
      form->resize(640, 420);
      form->View()->viewport()->repaint();
      QApplication::processEvents();
    }
    return form;
  }

  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
};

TEST_F(FormattedEquationsWindowTest, OpensFromTheMenuSelectsDragsAndHidesOnClose) {
  TFormattedEquationsForm* form =
      Open(std::string("a = 1") + StatementSeparator + " b = 2*a\r\nc = a/b");
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->windowTitle(), "Formatted Equations");
  EXPECT_EQ(form->Tag, kFormattedEquationsWindow);
  ASSERT_EQ(form->Page().FormatRecordList.size(), 3u);
  // Two statements of one text line side by side.
  EXPECT_EQ(Statement(1)->DisplayRect.Left, Statement(0)->DisplayRect.Right + 20);

  // A click selects; a drag of 6 px moves the statement.
  QWidget* viewport = form->View()->viewport();
  QTest::mouseClick(viewport, Qt::LeftButton, {}, Inside(Statement(2)));
  EXPECT_EQ(Statement(2)->Selected, 1);
  EXPECT_TRUE(form->IsSelected());
  const QPoint from = Inside(Statement(0));
  QTest::mousePress(viewport, Qt::LeftButton, {}, from);
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, from + QPoint(6, 4));
  EXPECT_EQ(Statement(0)->OffsetX, 6);
  EXPECT_EQ(Statement(0)->OffsetY, 4);
  EXPECT_EQ(Statement(0)->Selected, 0);

  // Closing hides the window; it stays in its slot.
  form->close();
  QApplication::processEvents();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(WindowList[kFormattedEquationsWindow], form);
}

TEST_F(FormattedEquationsWindowTest, AModelWithAnErrorShowsTheMessageAndNoWindow) {
  // The real message box is answered by its Enter key once it is up.
  bool answered = false;
  QTimer poll;
  poll.setInterval(50);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      answered = true;
      poll.stop();
      QTest::keyClick(box, Qt::Key_Return);
    }
  });
  poll.start();
  platform_.SetScriptedAnswer(0);
  TFormattedEquationsForm* form = Open("y = (2 + ");
  EXPECT_NE(CalcErrorCode, 0);
  EXPECT_TRUE(form == nullptr || !form->isVisible());
  EXPECT_TRUE(answered);
}

TEST_F(FormattedEquationsWindowTest, ScreenshotOfCallsSumsAndIntegrals) {
  const std::string text =
      "y = (a + b)/(2*c) + x^2\r\n"
      "s = SUM(x[i], i=1, 10)\r\n"
      "w = INTEGRAL(t^2, t, 0, 1)\r\n"
      "h_1 = Enthalpy(Steam, T=300, P=100)\r\n"
      "z = CONVERT(ft, m)";
  TFormattedEquationsForm* form = Open(text);
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(CalcErrorCode, 0);
  const QImage shot = form->grab().toImage();
  const std::string path = testing::SaveTestPicture(shot, "formatted_equations_window.png");
  SCOPED_TRACE(path);
  ASSERT_EQ(form->Page().FormatRecordList.size(), 5u);
  const QPoint origin = form->View()->viewport()->mapTo(form, QPoint(0, 0));
  for (int k = 0; k < 5; ++k) {
    const TScreenRect& r = Statement(k)->DisplayRect;
    const QRect place(origin.x() + r.Left, origin.y() + r.Top, r.Right - r.Left, r.Bottom - r.Top);
    EXPECT_TRUE(HasInk(shot, place)) << "statement " << k;
    EXPECT_LT(place.right(), shot.width()) << "statement " << k;
  }

  // The same page on a noting canvas: the sum's sign and the integral sign
  // are drawn in the Symbol face, and the sign's place is not blank.
  QImage image(640, 420, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  NotingCanvas canvas(painter);
  TFormattedForm layout(canvas);
  layout.SetupFonts();
  TFormattedEquations page(layout);
  page.DrawFormatEqns(5, 0, 420);
  painter.end();
  bool sigma = false;
  bool integral = false;
  for (const auto& [t, symbol] : canvas.placed) {
    sigma = sigma || (symbol && t == "S");
    integral = integral || (symbol && t == std::string(1, static_cast<char>(0xF2)));
  }
  EXPECT_TRUE(sigma);
  EXPECT_TRUE(integral);
  TFormatBox* sum = doFormatEqn(layout, Statement(1), Statement(1)->DisplayRect.Top, 0);
  ASSERT_NE(sum, nullptr);
  const TFormatBox* sign = sum;
  while (sign != nullptr && sign->Role != kRoleSumSign) sign = sign->Next;
  ASSERT_NE(sign, nullptr);
  const int32_t dx = Statement(1)->DisplayRect.Left - sum->Rect.Left;
  EXPECT_TRUE(HasInk(image, QRect(sign->Rect.Left + dx, sign->Rect.Top, sign->Width, sign->Rect.Bottom - sign->Rect.Top)));
  DisposeFormatEqn(sum);
}

}  // namespace
}  // namespace voq
