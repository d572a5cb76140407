#pragma once
// The Options menu's unit dialogs: "Specify Unit System" (TUnitSysDlg),
// "Unit Conversion Information" (TConvertInfoDlg), "Constants"
// (TConstantDlg) and "Add New Constant" (TNewConstDlg). Each draws its
// Qt-free model (shell/unit_system_model.h, units/unit_conversion_info.h,
// units/constant_dialogs.h) and forwards the user's clicks to it.
#include <QDialog>
#include <array>
#include <functional>
#include <memory>

#include "shell/unit_system_model.h"
#include "units/constant_dialogs.h"
#include "units/unit_conversion_info.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace voq {

class TVOQ_D;

class TUnitSysDlg : public QDialog {
 public:
  TUnitSysDlg(CalculateWindows& windows, MacroRecorder& recorder, QWidget* owner = nullptr);

  TUnitSysModel& Model() { return model_; }
  QRadioButton* Button(TUnitSysButton button) const { return buttons_[button]; }
  QGroupBox* Group(TUnitSysGroup group) const { return groups_[group]; }
  QPushButton* OKBtn() const { return ok_; }
  QPushButton* StoreBtn() const { return store_; }
  QPushButton* CancelBtn() const { return cancel_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  // Draws the model: captions, places, visibility and checks.
  void Refresh();

  TUnitSysModel model_;
  bool activated_ = false;
  double scale_ = 1.0;
  std::array<QGroupBox*, kUnitSysGroupCount> groups_{};
  std::array<QRadioButton*, kUnitSysButtonCount> buttons_{};
  QPushButton* ok_;
  QPushButton* store_;
  QPushButton* cancel_;
};

class TConvertInfoDlg : public QDialog {
 public:
  explicit TConvertInfoDlg(QWidget* owner = nullptr);

  TConvertInfoModel& Model() { return model_; }
  QListWidget* DimensionBox() const { return dimensionBox_; }
  QListWidget* UnitsBox() const { return unitsBox_; }
  QLabel* ConvValue() const { return convValue_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormActivate();
  void FillUnits();

  TConvertInfoModel model_;
  QListWidget* dimensionBox_;
  QListWidget* unitsBox_;
  QLabel* convValue_;
};

class TNewConstDlg : public QDialog {
 public:
  explicit TNewConstDlg(QWidget* owner = nullptr);

  TNewConstDlgModel& Model() { return model_; }
  QLineEdit* Field(TNewConstField field) const;
  QPushButton* ConvertBtn() const { return convert_; }
  QPushButton* OKBtn() const { return ok_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The fields into the model and back.
  void ReadFields();
  void FocusRefused();

  TNewConstDlgModel model_;
  std::array<QLineEdit*, 7> fields_{};  // by TNewConstField
  QPushButton* convert_;
  QPushButton* ok_;
};

class TConstantDlg : public QDialog {
 public:
  explicit TConstantDlg(QWidget* owner = nullptr);
  ~TConstantDlg() override;

  TConstantDlgModel& Model() { return model_; }
  QTableWidget* Grid() const { return grid_; }
  QPushButton* PasteBtn() const { return paste_; }
  QPushButton* AddBtn() const { return add_; }
  QPushButton* StoreBtn() const { return store_; }
  QPushButton* CancelBtn() const { return cancel_; }
  // Opens "Add New Constant"; a test replaces the modal run.
  std::function<bool(TNewConstDlg&)> RunNewConstDialog;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void reject() override;

 private:
  void FillGrid();
  void FormResize();
  void AddBtnClick();

  TConstantDlgModel model_;
  QTableWidget* grid_;
  QPushButton* paste_;
  QPushButton* add_;
  QPushButton* store_;
  QPushButton* cancel_;
};

// Wires Unit System (menu item and tool button), Unit Conversion Info and
// Constants to the main window.
void InstallUnitCommands(TVOQ_D& window);

}  // namespace voq
