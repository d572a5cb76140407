#pragma once
// TPreferencesDlg, "Preferences": the program-wide display and program
// options of Preferences on seven pages ("Options", "General", "Equations",
// "Printer", "Plots", "Complex", "Directories") with the tab strip under
// them. The values that are not plain copies go through the Qt-free
// conversions of preferences_fields.h; OK writes the controls back and
// applies them to the open windows, Store also makes them the stored
// defaults and rewrites "VOQ.DFT".
#include <QAbstractSpinBox>
#include <QDialog>
#include <functional>
#include <string>

#include "model/document_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTabBar;

namespace voq {

// A spin box whose text the dialog reads itself: any text may be typed
// (it is checked when the dialog is confirmed) and the arrows run Step.
class TTextSpin : public QAbstractSpinBox {
 public:
  explicit TTextSpin(QWidget* parent = nullptr);
  std::function<void(int steps)> Step;
  void stepBy(int steps) override;
  using QAbstractSpinBox::lineEdit;
  QString Text() const;
  void SetText(const QString& text);
  // Selects the whole text and takes the focus (a refused entry).
  void SelectForCorrection();

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};

class TPreferencesDlg : public QDialog {
 public:
  explicit TPreferencesDlg(QWidget* parent = nullptr);
  ~TPreferencesDlg() override;

  // Fills every control from Preferences and the folder boxes from
  // DirectorySettings, and keeps a copy of Preferences to see on OK what
  // changed.
  void FormActivate();
  void TabSetClick(int page);
  void WordwrapBClick();
  void MinuteEdExit();
  void Browse1Click();
  void Browse2Click();
  void Browse3Click();
  // Reads the boxes that can refuse their text; false when one did (it is
  // shown, selected and focused, with a beep; the dialog stays open).
  bool CheckEntries();
  // Leaving one of those boxes: a text it refuses keeps the focus, selected,
  // with a beep; unless the focus went to Cancel, which then cancels.
  void BoxExit(TTextSpin* box);
  // Writes the controls back and applies them (the ten steps); false when
  // an entry was refused.
  bool OKBtnClick();
  void StoreClick();
  void CancelBtnClick();
  void reject() override;

  // The folder chooser: the title and the folder shown; false on cancel.
  // The default runs QFileDialog::getExistingDirectory.
  std::function<bool(const std::string& title, std::string& folder)> ChooseFolder;

  // The pages.
  QStackedWidget* Notebook() const { return notebook_; }
  QTabBar* TabSet() const { return tabSet_; }
  // "Options".
  QCheckBox* AllowEqualB() const { return allowEqualB_; }
  QCheckBox* HideSolutionB() const { return hideSolutionB_; }
  QCheckBox* TableSumRowB() const { return tableSumRowB_; }
  QCheckBox* UseArrayWindowB() const { return useArrayWindowB_; }
  QCheckBox* LocalVarsB() const { return localVarsB_; }
  QCheckBox* WarningsB() const { return warningsB_; }
  QCheckBox* ResUnitsCB() const { return resUnitsCB_; }
  QCheckBox* SpeedbarCB() const { return speedbarCB_; }
  QCheckBox* FileListBox() const { return fileListBox_; }
  QCheckBox* AutosaveCB() const { return autosaveCB_; }
  QSpinBox* MinuteEd() const { return minuteEd_; }
  // "General".
  QComboBox* SFontBox() const { return sFontBox_; }
  QComboBox* SizeSBox() const { return sizeSBox_; }
  QCheckBox* SubscriptsB() const { return subscriptsB_; }
  QComboBox* EnteredTableColorBox() const { return enteredTableColorBox_; }
  QComboBox* CalculatedTableColorBox() const { return calculatedTableColorBox_; }
  QComboBox* EnteredTableStyleBox() const { return enteredTableStyleBox_; }
  QComboBox* CalculatedTableStyleBox() const { return calculatedTableStyleBox_; }
  // "Equations".
  QComboBox* FuncNamesBox() const { return funcNamesBox_; }
  QComboBox* KeywordBox() const { return keywordBox_; }
  QCheckBox* UniformcaseB() const { return uniformcaseB_; }
  QCheckBox* WordwrapB() const { return wordwrapB_; }
  QCheckBox* ShowLineBreakB() const { return showLineBreakB_; }
  QComboBox* CommentColorBox1() const { return commentColorBox1_; }
  QComboBox* CommentColorBox2() const { return commentColorBox2_; }
  QComboBox* CommentStyleBox1() const { return commentStyleBox1_; }
  QComboBox* CommentStyleBox2() const { return commentStyleBox2_; }
  TTextSpin* TabWidthSpin() const { return tabWidthSpin_; }
  // "Printer".
  QComboBox* PFontBox() const { return pFontBox_; }
  QComboBox* SizePBox() const { return sizePBox_; }
  QComboBox* PSpacingBox() const { return pSpacingBox_; }
  QComboBox* PCommentsBox1() const { return pCommentsBox1_; }
  QComboBox* PCommentsBox2() const { return pCommentsBox2_; }
  QComboBox* PEnteredHiliteTableBox() const { return pEnteredHiliteTableBox_; }
  QComboBox* PCalcHiliteTableBox() const { return pCalcHiliteTableBox_; }
  QCheckBox* PrintIndentEqnsCB() const { return printIndentEqnsCB_; }
  // "Plots".
  TTextSpin* SpinWidth() const { return spinWidth_; }
  TTextSpin* SpinHeight() const { return spinHeight_; }
  QSpinBox* SpinMajor() const { return spinMajor_; }
  QSpinBox* SpinMinor() const { return spinMinor_; }
  QComboBox* PlotFontBox() const { return plotFontBox_; }
  TTextSpin* PlotFontSize() const { return plotFontSize_; }
  QCheckBox* BoldBox() const { return boldBox_; }
  QCheckBox* ItalicBox() const { return italicBox_; }
  QCheckBox* BorderThick() const { return borderThick_; }
  QCheckBox* GridCheckBox() const { return gridCheckBox_; }
  QCheckBox* ColorCB() const { return colorCB_; }
  QRadioButton* PictureRB() const { return pictureRB_; }
  QRadioButton* BitmapRB() const { return bitmapRB_; }
  QRadioButton* BothRB() const { return bothRB_; }
  QSpinBox* SpinResolution() const { return spinResolution_; }
  // "Complex".
  QCheckBox* DoComplexBox() const { return doComplexBox_; }
  QRadioButton* Ibutton() const { return ibutton_; }
  QRadioButton* Jbutton() const { return jbutton_; }
  // "Directories".
  QLineEdit* FolderBox(int index) const { return folders_[index]; }
  QPushButton* BrowseButton(int index) const { return browse_[index]; }

  QPushButton* OKBtn() const { return okBtn_; }
  QPushButton* Store() const { return store_; }
  QPushButton* CancelBtn() const { return cancelBtn_; }

 private:
  void ApplyPlotSettings();
  void ApplyDisplaySettings();
  void ApplyPrinterSettings();
  void ApplyAutosave();
  void ApplyProgramOptions();
  void ApplyComplexAlgebra();
  void ApplyDirectories();
  void RefreshWindows();
  void ShowPlotSizes();
  void Refuse(QWidget* field);
  // Whether box's text reads (width, height, axis font size, tab width).
  bool BoxAccepts(TTextSpin* box);

  // Preferences when the dialog was shown.
  TPreferencesRecord saved_;
  bool siUnits_ = false;
  int32_t pixelsPerInch_ = 96;
  int32_t widthUnits_ = 0;
  int32_t heightUnits_ = 0;
  // The texts the size boxes were filled with: an untouched box keeps its
  // stored value exactly.
  QString shownWidth_;
  QString shownHeight_;
  QString shownTabWidth_;

  QStackedWidget* notebook_;
  QTabBar* tabSet_;
  QCheckBox* allowEqualB_;
  QCheckBox* hideSolutionB_;
  QCheckBox* tableSumRowB_;
  QCheckBox* useArrayWindowB_;
  QCheckBox* localVarsB_;
  QCheckBox* warningsB_;
  QCheckBox* resUnitsCB_;
  QCheckBox* speedbarCB_;
  QCheckBox* fileListBox_;
  QCheckBox* autosaveCB_;
  QSpinBox* minuteEd_;
  QComboBox* sFontBox_;
  QComboBox* sizeSBox_;
  QCheckBox* subscriptsB_;
  QComboBox* enteredTableColorBox_;
  QComboBox* calculatedTableColorBox_;
  QComboBox* enteredTableStyleBox_;
  QComboBox* calculatedTableStyleBox_;
  QComboBox* funcNamesBox_;
  QComboBox* keywordBox_;
  QCheckBox* uniformcaseB_;
  QCheckBox* wordwrapB_;
  QCheckBox* showLineBreakB_;
  QComboBox* commentColorBox1_;
  QComboBox* commentColorBox2_;
  QComboBox* commentStyleBox1_;
  QComboBox* commentStyleBox2_;
  TTextSpin* tabWidthSpin_;
  QLabel* tabUnit_;
  QComboBox* pFontBox_;
  QComboBox* sizePBox_;
  QComboBox* pSpacingBox_;
  QComboBox* pCommentsBox1_;
  QComboBox* pCommentsBox2_;
  QComboBox* pEnteredHiliteTableBox_;
  QComboBox* pCalcHiliteTableBox_;
  QCheckBox* printIndentEqnsCB_;
  TTextSpin* spinWidth_;
  TTextSpin* spinHeight_;
  QLabel* widthUnit_;
  QLabel* heightUnit_;
  QSpinBox* spinMajor_;
  QSpinBox* spinMinor_;
  QComboBox* plotFontBox_;
  TTextSpin* plotFontSize_;
  QCheckBox* boldBox_;
  QCheckBox* italicBox_;
  QCheckBox* borderThick_;
  QCheckBox* gridCheckBox_;
  QCheckBox* colorCB_;
  QRadioButton* pictureRB_;
  QRadioButton* bitmapRB_;
  QRadioButton* bothRB_;
  QSpinBox* spinResolution_;
  QCheckBox* doComplexBox_;
  QRadioButton* ibutton_;
  QRadioButton* jbutton_;
  QLineEdit* folders_[3];
  QPushButton* browse_[3];
  QPushButton* okBtn_;
  QPushButton* store_;
  QPushButton* cancelBtn_;
};

}  // namespace voq
