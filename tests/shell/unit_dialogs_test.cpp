#include "shell/unit_dialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "model/document_settings.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "platform/scripted_platform.h"
#include "shell/main_window.h"
#include "tables/tables_state.h"
#include "units/constants.h"
#include "qt_app.h"
#include "unit_dialog_fakes.h"

namespace voq {
namespace {

// --- The dialogs on the offscreen platform ---

// Distinct colours in a band of the picture: a blank band has one or two.
int ColoursIn(const QImage& image, const QRect& band) {
  std::set<QRgb> colours;
  const QRect r = band.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) colours.insert(image.pixel(x, y));
  }
  return static_cast<int>(colours.size());
}

class UnitDialogsViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    SetPlatform(&platform);
  }
  void TearDown() override { RestoreInstalledHost(); }
  ScriptedPlatform platform;
  testing::UnitsFakeWindows windows;
  testing::UnitsMacroRecorder recorder;
};

TEST_F(UnitDialogsViewTest, UnitSystemDialogShowsTheCheckedButtons) {
  DocumentSettings.PressureUnit = 3;
  TUnitSysDlg dialog(windows, recorder);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Specify Unit System"));
  EXPECT_TRUE(dialog.Button(MPaButton)->isChecked());
  EXPECT_TRUE(dialog.Button(SIbutton)->isChecked());
  const QImage si = dialog.grab().toImage();
  testing::SaveTestPicture(si, "unit_system_si.png");
  QTest::mouseClick(dialog.Button(EngButton), Qt::LeftButton);
  EXPECT_EQ(DocumentSettings.UnitSystem, 1);
  EXPECT_TRUE(dialog.Button(baratmbutton)->isChecked());
  EXPECT_EQ(dialog.Button(baratmbutton)->text(), QStringLiteral("atm"));
  EXPECT_FALSE(dialog.Button(MPaButton)->isVisible());
  EXPECT_FALSE(dialog.Group(kEnergyGroup)->isVisible());
  const QImage english = dialog.grab().toImage();
  testing::SaveTestPicture(english, "unit_system_english.png");
  // Every radio button lies inside its box, below the box's caption, and
  // no two shown buttons overlap.
  for (int b = 0; b < kUnitSysButtonCount; ++b) {
    QRadioButton* button = dialog.Button(static_cast<TUnitSysButton>(b));
    if (!button->isVisible()) continue;
    const QRect box = button->parentWidget()->rect();
    EXPECT_TRUE(box.contains(button->geometry())) << b;
    EXPECT_GE(button->y(), button->fontMetrics().height()) << b;
    EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
    for (int o = b + 1; o < kUnitSysButtonCount; ++o) {
      QRadioButton* other = dialog.Button(static_cast<TUnitSysButton>(o));
      if (other->isVisible() && other->parentWidget() == button->parentWidget()) {
        EXPECT_FALSE(button->geometry().intersects(other->geometry())) << b << " " << o;
      }
    }
  }
  // The energy box is gone from the English picture: its place is plain.
  const QRect energy = dialog.Group(kEnergyGroup)->geometry();
  EXPECT_GT(ColoursIn(si, energy), 3);
  EXPECT_LE(ColoursIn(english, energy), 2);
  QTest::mouseClick(dialog.CancelBtn(), Qt::LeftButton);
  EXPECT_EQ(DocumentSettings.UnitSystem, 0);
  EXPECT_EQ(DocumentSettings.PressureUnit, 3);
}

TEST_F(UnitDialogsViewTest, ConstantsDialogListsTheConstantsSortedByDescription) {
  TConstantDlg dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTableWidget* grid = dialog.Grid();
  ASSERT_GT(grid->rowCount(), 1);
  EXPECT_EQ(dialog.width(), 640);
  EXPECT_EQ(grid->columnWidth(1), 280);
  EXPECT_EQ(grid->item(0, 1)->text().toStdString(), dialog.Model().CellText(1, 1));
  EXPECT_EQ(grid->item(0, 0)->text().toStdString(), ConstantsList[0].Name);
  EXPECT_EQ(grid->horizontalHeaderItem(2)->text(), QStringLiteral("Value"));
  EXPECT_TRUE(dialog.PasteBtn()->isVisible());
  EXPECT_FALSE(dialog.StoreBtn()->isVisible());
  const QImage picture = dialog.grab().toImage();
  testing::SaveTestPicture(picture, "constants.png");
  // The first data row holds text in its name and description cells.
  const QRect row = grid->visualItemRect(grid->item(0, 1)).united(grid->visualItemRect(grid->item(0, 0)));
  const QRect band = row.translated(grid->viewport()->mapTo(&dialog, QPoint(0, 0)));
  EXPECT_GT(ColoursIn(picture, band), 3);
  // The header's Description click sorts descending.
  const std::string last = ConstantsList.back().Description;
  QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                    QPoint(grid->columnViewportPosition(1) + 20, 5));
  EXPECT_EQ(grid->item(0, 1)->text().toStdString(), last);
  // Add through a scripted "Add New Constant": Store and Cancel trade places.
  dialog.RunNewConstDialog = [](TNewConstDlg& add) {
    add.Model().NameE = "w#";
    add.Model().SIValueE = "1";
    return add.Model().OKBtnClick();
  };
  QTest::mouseClick(dialog.AddBtn(), Qt::LeftButton);
  EXPECT_EQ(grid->rowCount(), static_cast<int>(ConstantsList.size()));
  EXPECT_EQ(grid->currentRow(), grid->rowCount() - 1);
  EXPECT_EQ(grid->item(grid->rowCount() - 1, 0)->text(), QStringLiteral("w#"));
  EXPECT_TRUE(dialog.StoreBtn()->isVisible());
  EXPECT_FALSE(dialog.PasteBtn()->isVisible());
  EXPECT_EQ(dialog.CancelBtn()->text(), QStringLiteral("Cancel"));
  QTest::mouseClick(dialog.CancelBtn(), Qt::LeftButton);
  EXPECT_EQ(FindConstantPosition("w#"), -1);
}

TEST_F(UnitDialogsViewTest, ConstantsDialogKeepsItsGeometryWhileTheProgramRuns) {
  {
    TConstantDlg dialog;
    dialog.resize(700, 350);
    dialog.Grid()->setColumnWidth(0, 130);
  }
  TConstantDlg again;
  EXPECT_EQ(again.size(), QSize(700, 350));
  EXPECT_EQ(again.Grid()->columnWidth(0), 130);
  EXPECT_EQ(again.Grid()->columnWidth(1), 280);
}

TEST_F(UnitDialogsViewTest, ConversionDialogShowsTheLineInRed) {
  TConvertInfoDlg dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  // Dimension names keep the blank before their formula in the file.
  const auto row = [](QListWidget* list, const char* text) {
    for (int i = 0; i < list->count(); ++i) {
      if (list->item(i)->text().trimmed() == QString::fromLatin1(text)) return i;
    }
    return -1;
  };
  dialog.DimensionBox()->setCurrentRow(row(dialog.DimensionBox(), "Energy"));
  EXPECT_EQ(dialog.UnitsBox()->item(0)->text(), QStringLiteral("(L^2-M/T^2)"));
  dialog.UnitsBox()->setCurrentRow(row(dialog.UnitsBox(), "Btu"));
  EXPECT_EQ(dialog.ConvValue()->text(), QStringLiteral("1 Btu = 1055.06 m^2-kg/sec^2"));
  const QImage picture = dialog.grab().toImage();
  testing::SaveTestPicture(picture, "unit_conversion_info.png");
  int red = 0;
  const QRect line = dialog.ConvValue()->geometry();
  for (int y = line.top(); y <= line.bottom(); ++y) {
    for (int x = line.left(); x <= line.right(); ++x) {
      const QColor c = picture.pixelColor(x, y);
      red += c.red() > 200 && c.green() < 80 && c.blue() < 80;
    }
  }
  EXPECT_GT(red, 20);
  EXPECT_LE(dialog.ConvValue()->fontMetrics().horizontalAdvance(dialog.ConvValue()->text()), line.width());
  dialog.accept();
  // It opens again on Energy.
  TConvertInfoDlg again;
  again.show();
  EXPECT_EQ(again.DimensionBox()->currentItem()->text().trimmed(), QStringLiteral("Energy"));
}

TEST_F(UnitDialogsViewTest, NewConstantDialogOffersConvertForOneValue) {
  TNewConstDlg dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_FALSE(dialog.ConvertBtn()->isEnabled());
  QTest::keyClicks(dialog.Field(TNewConstField::Name), QStringLiteral("g_moon#"));
  QTest::keyClicks(dialog.Field(TNewConstField::Description), QStringLiteral("Gravity on the Moon"));
  QTest::keyClicks(dialog.Field(TNewConstField::SIValue), QStringLiteral("1.62"));
  QTest::keyClicks(dialog.Field(TNewConstField::SIUnits), QStringLiteral("m/s^2"));
  QTest::keyClicks(dialog.Field(TNewConstField::EngUnits), QStringLiteral("ft/s^2"));
  EXPECT_TRUE(dialog.ConvertBtn()->isEnabled());
  QTest::mouseClick(dialog.ConvertBtn(), Qt::LeftButton);
  // 1.62 / 0.3048 = 5.314961 (ft = 0.3048 m exactly, NIST SP 811).
  EXPECT_EQ(dialog.Field(TNewConstField::EngValue)->text(), QStringLiteral("5.314961E+00"));
  EXPECT_FALSE(dialog.ConvertBtn()->isEnabled());
  const QImage picture = dialog.grab().toImage();
  testing::SaveTestPicture(picture, "add_new_constant.png");
  const QRect field = dialog.Field(TNewConstField::EngValue)->geometry();
  EXPECT_GT(ColoursIn(picture, field), 3);
  QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Model().NewRecord.Name, "g_moon#");
}

// --- Through the main window, with real message boxes ---

// Runs step on the modal widget once one of type T is up (polled).
template <class T>
void WhenModal(std::function<void(T*)> step) {
  auto* timer = new QTimer(testing::TestScope());
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, step] {
    if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      step(widget);
    }
  });
  timer->start();
}

class UnitCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    window_->FormCreate(folder_.Path());
    window_->show();
  }
  void TearDown() override {
    window_.reset();
    RestoreInstalledHost();
  }
  testing::TempProgramFolder folder_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
};

TEST_F(UnitCommandsTest, OptionsMenuOpensTheUnitDialogs) {
  QAction* info = window_->Action("UnitConversionInfo1");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->text(), QStringLiteral("Unit &Conversion Info..."));
  EXPECT_TRUE(window_->Menu("Options1")->actions().contains(info));
  bool shown = false;
  WhenModal<QDialog>([&](QDialog* d) {
    shown = d->windowTitle() == QStringLiteral("Unit Conversion Information");
    d->accept();
  });
  info->trigger();
  EXPECT_TRUE(shown);

  MacroRecording = true;
  MacroText.clear();
  WhenModal<QDialog>([](QDialog* d) {
    auto* dialog = dynamic_cast<TUnitSysDlg*>(d);
    ASSERT_NE(dialog, nullptr);
    QTest::mouseClick(dialog->Button(EngButton), Qt::LeftButton);
    QTest::mouseClick(dialog->OKBtn(), Qt::LeftButton);
  });
  window_->Action("UnitSystemButton1")->trigger();
  EXPECT_EQ(DocumentSettings.UnitSystem, 1);
  EXPECT_EQ(MacroText, "UNITS F psia MASS DEG \r\n");
  MacroRecording = false;
  EXPECT_EQ(platform_.AlertCount(), 0);
}

TEST_F(UnitCommandsTest, AddRefusesANameInUseInARealMessageBox) {
  std::string boxText;
  bool stillOpen = false;
  WhenModal<QDialog>([&](QDialog* d) {
    auto* constants = dynamic_cast<TConstantDlg*>(d);
    ASSERT_NE(constants, nullptr);
    WhenModal<QDialog>([&](QDialog* a) {
      auto* add = dynamic_cast<TNewConstDlg*>(a);
      ASSERT_NE(add, nullptr);
      QTest::keyClicks(add->Field(TNewConstField::Name), QStringLiteral("G#"));
      QTest::keyClicks(add->Field(TNewConstField::SIValue), QStringLiteral("2"));
      // The refusal comes up as a real message box; Enter answers it.
      WhenModal<QMessageBox>([&](QMessageBox* box) {
        boxText = box->text().toStdString();
        QTest::keyClick(box, Qt::Key_Return);
      });
      QTest::mouseClick(add->OKBtn(), Qt::LeftButton);
      stillOpen = add->isVisible() && add->Field(TNewConstField::Name)->hasSelectedText();
      add->Field(TNewConstField::Name)->setText(QStringLiteral("w#"));
      QTest::mouseClick(add->OKBtn(), Qt::LeftButton);
      // Back in the Constants dialog, with the constant added: Store.
      auto* poll = new QTimer(testing::TestScope());
      poll->setInterval(20);
      QObject::connect(poll, &QTimer::timeout, [poll, constants] {
        if (QApplication::activeModalWidget() != constants || !constants->StoreBtn()->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        QTest::mouseClick(constants->StoreBtn(), Qt::LeftButton);
      });
      poll->start();
    });
    QTest::mouseClick(constants->AddBtn(), Qt::LeftButton);
  });
  window_->Action("Constants1")->trigger();
  EXPECT_EQ(boxText, "This constant name is already in use.  Choose another.");
  EXPECT_TRUE(stillOpen);
  EXPECT_GE(FindConstantPosition("w#"), 0);
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder_.Path()) / "Constants.txt"));
}

}  // namespace
}  // namespace voq
