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
#include <QClipboard>
#include <QMimeData>
#include <QTimer>
#include <array>
#include <cstdio>
#include <filesystem>

#include "../shell/qt_app.h"
#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/program_flags.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "language/reader_state.h"
#include "output/equation_typesetter.h"
#include "output/formatted_offsets.h"
#include "output/print_engine.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "results/qt_canvas.h"
#include "shell/main_window.h"
#include "shell/print_command.h"
#include "shell/equations_form.h"
#include "tables/tables_state.h"
#include "pdf_text.h"
#include <fstream>

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

// A model with a comment, a MODULE and its CALL, a range argument and a
// comment beside a statement: the window, its copy (picture and text) and
// its printed page.
const char* const kModelWithComments =
    "{Heat balance of the wall: q_dot in W}\r\n"
    "MODULE sq(a : b)\r\n"
    "  b = a^2 + 1\r\n"
    "END\r\n"
    "DUPLICATE i=1,3\r\n"
    "  x[i] = i/2\r\n"
    "END\r\n"
    "m = MAX(x[1..3])  {the largest}\r\n"
    "CALL sq(m : s)\r\n"
    "q = SUM(x[i]^2, i=1, 3) + INTEGRAL(t^2, t, 0, m)\r\n";

TEST_F(FormattedEquationsWindowTest, ScreenshotOfCommentsModulesAndRanges) {
  TFormattedEquationsForm* form = Open(kModelWithComments);
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(CalcErrorCode, 0);
  const QImage shot = form->grab().toImage();
  const std::string path = testing::SaveTestPicture(shot, "formatted_equations_comments.png");
  SCOPED_TRACE(path);
  TFormattedEquations& page = form->Page();
  ASSERT_EQ(page.CommentHits.size(), 2u);
  const QPoint origin = form->View()->viewport()->mapTo(form, QPoint(0, 0));
  auto onShot = [&](const TRect& r) { return QRect(origin.x() + r.Left, origin.y() + r.Top, r.Right - r.Left, r.Bottom - r.Top); };
  // The first comment heads the page; the second stands right of MAX.
  const TRect head = page.CommentHits[0].Rect;
  EXPECT_TRUE(HasInk(shot, onShot(head)));
  const TFormatRecord* unitHeader = nullptr;
  const TFormatRecord* maxLine = nullptr;
  for (const TFormatRecord& r : page.FormatRecordList) {
    if (r.UnitIndex > 0) unitHeader = &r;
    if (r.Statement != nullptr && r.Statement->TextStart >= 0 &&
        Equations().GetText().compare(static_cast<size_t>(r.Statement->TextStart), 1, "m") == 0) {
      maxLine = &r;
    }
  }
  ASSERT_NE(unitHeader, nullptr);
  ASSERT_NE(maxLine, nullptr);
  EXPECT_GT(unitHeader->HitRect.Top, head.Top);
  EXPECT_TRUE(HasInk(shot, onShot(unitHeader->HitRect)));
  const TRect beside = page.CommentHits[1].Rect;
  EXPECT_EQ(beside.Left, maxLine->HitRect.Right - 3 + 15);
  EXPECT_LT(beside.Top, maxLine->HitRect.Bottom);
  EXPECT_TRUE(HasInk(shot, onShot(beside)));
  EXPECT_LT(onShot(beside).right(), shot.width());

  // Copy: the picture and the text of every item, in page order.
  form->CopytoClip();
  const QMimeData* copied = QApplication::clipboard()->mimeData();
  ASSERT_NE(copied, nullptr);
  EXPECT_TRUE(copied->hasImage());
  const std::string text = copied->text().toStdString();
  EXPECT_NE(text.find("Heat balance of the wall: q_dot in W\r\nMODULE sq(a : b)\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("m = MAX(x[1..3])\tthe largest"), std::string::npos) << text;
  EXPECT_NE(text.find("CALL sq(m : s)"), std::string::npos) << text;
}

TEST_F(FormattedEquationsWindowTest, FilePrintPrintsThePage) {
  TFormattedEquationsForm* form = Open(kModelWithComments);
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(CalcErrorCode, 0);
  ActiveChildWindow = kFormattedEquationsWindow;
  window_->FileName = dir_ + "/wall.VOQ";
  window_->Action("Print1")->trigger();
  const std::string pdf = PrintPdfPath(window_->FileName);
  ASSERT_TRUE(std::filesystem::exists(pdf));
  const std::string words = testing::WithoutBlanks(testing::PdfPageText(pdf, 1));
  EXPECT_NE(words.find("Page1"), std::string::npos) << words;
  EXPECT_NE(words.find("MODULE"), std::string::npos) << words;
  EXPECT_NE(words.find("Heatbalance"), std::string::npos) << words;
  EXPECT_NE(words.find("Callsq"), std::string::npos) << words;
  const std::string prefix = dir_ + "/page";
  QImage printed(QString::fromStdString(testing::RenderPdfPage(pdf, 1, 100, prefix)));
  ASSERT_FALSE(printed.isNull());
  testing::SaveTestPicture(printed, "printed_formatted_equations.png");
  const int line = PrintLineHeight * 100 / 300;
  int dark = 0;
  for (int y = 5 * line; y < printed.height(); ++y) {
    for (int x = 0; x < printed.width(); ++x) dark += qGray(printed.pixel(x, y)) < 128 ? 1 : 0;
  }
  EXPECT_GT(dark, 1000) << "the statements below the header";
  // The window lays its page out for the screen again.
  EXPECT_EQ(PixelScaleX, 1);
  EXPECT_FALSE(Printing);
}

// A lookup file that is no longer loaded when the window lays the call
// out: error 66 on the statement, which is selected in the Equations
// window, and the Formatted Equations window closes.
TEST_F(FormattedEquationsWindowTest, ALookupFileGoneShowsError66AndCloses) {
  const std::string path = dir_ + "/data.txt";
  std::ofstream(path) << "-1 -2\nF3 x\nF3 y\n1 2\n3 4\n";
  const std::string statement = "y = Lookup('" + path + "', 1, 2)";
  TFormattedEquationsForm* form = Open("a = 1\r\n" + statement + "\r\nb = 2");
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_TRUE(form->isVisible());
  ASSERT_EQ(form->Page().FormatRecordList.size(), 3u);

  bool answered = false;
  std::string message;
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      answered = true;
      message = box->text().toStdString();
      poll.stop();
      QTest::keyClick(box, Qt::Key_Return);
    }
  });
  poll.start();
  platform_.SetScriptedAnswer(0);  // the real message box
  LookupFileList.clear();  // the file is gone from memory
  form->Relayout();
  form->View()->viewport()->repaint();
  for (int k = 0; k < 300 && form->isVisible(); ++k) QTest::qWait(10);
  poll.stop();
  EXPECT_TRUE(answered);
  EXPECT_NE(message.find("ookup"), std::string::npos) << message;
  EXPECT_FALSE(form->isVisible());
  TEquationForm* equations = window_->EquationForm();
  ASSERT_NE(equations, nullptr);
  const std::string text = equations->GetText();
  const int32_t start = equations->Memo->EngineSelStart();
  ASSERT_GE(start, 0);
  EXPECT_EQ(text.substr(size_t(start), size_t(equations->Memo->EngineSelLength())), statement);
}

// Dragging a routine's header draws a dotted outline where it would go
// while the button is held; the release moves the header there.
TEST_F(FormattedEquationsWindowTest, DraggingAHeaderShowsItsOutlineAndMovesIt) {
  TFormattedEquationsForm* form = Open("FUNCTION f(a)\r\n$COMMON g\r\n f := a*g\r\nEND\r\ng = 3\r\nz = f(2)");
  ASSERT_NE(form, nullptr);
  TFormattedEquations& page = form->Page();
  ASSERT_FALSE(page.FormatRecordList.empty());
  const TRect header = page.FormatRecordList[0].HitRect;
  ASSERT_EQ(page.FormatRecordList[0].RoutineIndex, 1);
  QWidget* viewport = form->View()->viewport();
  const QPoint from(header.Left + 6, header.Top + 6);
  const QPoint delta(60, 90);
  QTest::mousePress(viewport, Qt::LeftButton, {}, from);
  for (int k = 1; k <= 3; ++k) QTest::mouseMove(viewport, from + delta * k / 3);
  viewport->repaint();
  const QImage held = viewport->grab().toImage();
  const std::string path = testing::SaveTestPicture(held, "formatted_header_drag_outline.png");
  SCOPED_TRACE(path);
  // The outline's top edge: dotted black pixels along it, on white paper
  // below the page's items.
  const int top = header.Top + delta.y();
  int dark = 0;
  for (int x = header.Left + delta.x(); x < header.Right + delta.x(); ++x)
    if (qGray(held.pixel(x, top)) < 100) ++dark;
  const int width = header.Right - header.Left;
  EXPECT_GT(dark, width / 4);
  EXPECT_LT(dark, width) << "a dotted line, not a solid one";
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, from + delta);
  EXPECT_EQ(HeaderOffset(kRoutineHeaderLine, "F"), (std::pair<int32_t, int32_t>{60, 90}));
  viewport->repaint();
  const QImage moved = viewport->grab().toImage();
  testing::SaveTestPicture(moved, "formatted_header_moved.png");
  EXPECT_TRUE(HasInk(moved, QRect(header.Left + delta.x() + 4, header.Top + delta.y() + 4, 40, 10)));
  EXPECT_FALSE(HasInk(moved, QRect(header.Left + 4, header.Top + 4, 60, 10))) << "the old place is empty";
  ResetFormattedOffsets();
}

}  // namespace
}  // namespace voq
