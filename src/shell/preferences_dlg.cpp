#include "shell/preferences_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include <sstream>

#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "documents/defaults_file.h"
#include "documents/file_commands.h"
#include "language/statement_preparation.h"
#include "model/display_fonts.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "output/palette.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "shell/equations_form.h"
#include "shell/gform.h"
#include "shell/main_window.h"
#include "shell/preferences_fields.h"
#include "shell/shell_state.h"
#include "tables/qt/table_window.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

// The entries of the lists, in the order of the stored indices.
const QStringList kScreenFonts = {"MS Sans Serif", "Arial",        "Times New Roman",   "Courier New",
                                  "MS LineDraw",   "Century SchoolBk", "Bookman Old Style", "System"};
const QStringList kScreenSizes = {"Default", "8", "10", "12", "14", "18", "24"};
const QStringList kPrinterFonts = {"Default", "Arial",            "Times New Roman",   "Courier New",
                                   "Symbol",  "Century Schoolbook", "Bookman Old Style", "MS Sans Serif"};
const QStringList kPlotFonts = {"Default", "Arial",          "Times New Roman",   "Courier New",
                                "Symbol",  "Century SchoolBk", "Bookman Old Style", "MS Sans Serif"};
const QStringList kPrinterSizes = {"Default", "9", "10", "11", "12", "14", "16"};
const QStringList kSpacings = {"Single", "1.5", "Double"};
const QStringList kCases = {"as typed", "in lower case", "in upper case"};
const QStringList kScreenCommentStyles = {"plain", "italic", "bold", "underline"};
const QStringList kPrintedCommentStyles = {"plain", "bold", "italic", "underline"};
const QStringList kScreenTableStyles = {"plain", "italic", "bold"};
const QStringList kPrintedTableStyles = {"plain", "bold", "italic"};
constexpr int kPaletteEntries = 16;
const char* const kFolderTitles[3] = {"Select Default File Folder", "Select User Library Folder",
                                      "Select Macro File Folder"};
const char* const kFolderCaptions[3] = {"Default file folder", "Additional user library folder",
                                        "Default macro folder"};

QString Text(const std::string& bytes) { return QString::fromStdString(Cp1252ToUtf8(bytes)); }
std::string Bytes(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

QComboBox* MakeList(QWidget* parent, const QStringList& entries) {
  auto* box = new QComboBox(parent);
  box->addItems(entries);
  return box;
}

// A list of the sixteen palette colours, each entry a filled rectangle
// framed in white.
QComboBox* MakeColorList(QWidget* parent) {
  auto* box = new QComboBox(parent);
  const QSize swatch(56, 14);
  box->setIconSize(swatch);
  for (int i = 0; i < kPaletteEntries; ++i) {
    QPixmap pixmap(swatch);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    const TRgb rgb = PaletteColorRGB(i);
    painter.fillRect(QRect(QPoint(2, 2), swatch - QSize(4, 4)), QColor(int(RedOf(rgb)), int(GreenOf(rgb)), int(BlueOf(rgb))));
    painter.end();
    box->addItem(QIcon(pixmap), QString());
  }
  box->setMinimumWidth(swatch.width() + 40);
  return box;
}

void SetIndex(QComboBox* box, int index) { box->setCurrentIndex(index >= 0 && index < box->count() ? index : 0); }
int16_t IndexOf(const QComboBox* box) { return static_cast<int16_t>(std::max(0, box->currentIndex())); }
uint8_t Flag(const QCheckBox* box) { return box->isChecked() ? 1 : 0; }

QSpinBox* MakeSpin(QWidget* parent, const TSpinRange& range) {
  auto* spin = new QSpinBox(parent);
  spin->setRange(range.Low, range.High);
  spin->setSingleStep(range.Step);
  spin->setMinimumWidth(70);
  return spin;
}

// The clipboard resolution's spin box shows its text, not its index.
class TResolutionSpin : public QSpinBox {
 public:
  explicit TResolutionSpin(QWidget* parent) : QSpinBox(parent) {
    setRange(kResolutionRange.Low, kResolutionRange.High);
    setMinimumWidth(100);
  }

 protected:
  QString textFromValue(int value) const override { return QString::fromLatin1(ResolutionText(value).c_str()); }
  int valueFromText(const QString& text) const override {
    for (int i = kResolutionRange.Low; i <= kResolutionRange.High; ++i)
      if (text == QString::fromLatin1(ResolutionText(i).c_str())) return i;
    return value();
  }
  QValidator::State validate(QString& text, int&) const override {
    for (int i = kResolutionRange.Low; i <= kResolutionRange.High; ++i)
      if (text == QString::fromLatin1(ResolutionText(i).c_str())) return QValidator::Acceptable;
    return QValidator::Intermediate;
  }
};

QWidget* Page(QStackedWidget* notebook) {
  auto* page = new QWidget;
  notebook->addWidget(page);
  return page;
}

bool RunFolderDialog(QWidget* owner, const std::string& title, std::string& folder) {
  const QString chosen = QFileDialog::getExistingDirectory(owner, Text(title), Text(folder));
  if (chosen.isEmpty()) return false;
  folder = Bytes(chosen);
  return true;
}

}  // namespace

TTextSpin::TTextSpin(QWidget* parent) : QAbstractSpinBox(parent) {
  setMinimumWidth(90);
  setKeyboardTracking(true);
}

void TTextSpin::stepBy(int steps) {
  if (Step) Step(steps);
  lineEdit()->selectAll();
}

QString TTextSpin::Text() const { return lineEdit()->text(); }
void TTextSpin::SetText(const QString& text) { lineEdit()->setText(text); }
void TTextSpin::SelectForCorrection() {
  setFocus(Qt::OtherFocusReason);
  lineEdit()->selectAll();
}

TPreferencesDlg::TPreferencesDlg(QWidget* parent) : QDialog(parent) {
  DialogOpen = true;
  setObjectName(QStringLiteral("PreferencesDlg"));
  setWindowTitle(QStringLiteral("Preferences"));
  setModal(true);
  setProperty("helpContext", 41);
  ChooseFolder = [this](const std::string& title, std::string& folder) { return RunFolderDialog(this, title, folder); };

  notebook_ = new QStackedWidget(this);

  // "Options": how the program compiles, solves and runs.
  {
    QWidget* page = Page(notebook_);
    allowEqualB_ = new QCheckBox(QStringLiteral("Allow = in function/procedure equations"), page);
    hideSolutionB_ = new QCheckBox(QStringLiteral("Hide Solution window after change"), page);
    tableSumRowB_ = new QCheckBox(QStringLiteral("Include a Sum row in the Parametric table"), page);
    useArrayWindowB_ = new QCheckBox(QStringLiteral("Place array variables in the Arrays Window"), page);
    localVarsB_ = new QCheckBox(QStringLiteral("Show function/procedure/module values"), page);
    warningsB_ = new QCheckBox(QStringLiteral("Display warning messages"), page);
    resUnitsCB_ = new QCheckBox(QStringLiteral("Check Units automatically"), page);
    speedbarCB_ = new QCheckBox(QStringLiteral("Display menu speedbar"), page);
    fileListBox_ = new QCheckBox(QStringLiteral("Maintain list of most recent files in File menu"), page);
    autosaveCB_ = new QCheckBox(QStringLiteral("Autosave every"), page);
    minuteEd_ = MakeSpin(page, kAutosaveRange);
    auto* autosave = new QHBoxLayout;
    autosave->addWidget(autosaveCB_);
    autosave->addWidget(minuteEd_);
    autosave->addWidget(new QLabel(QStringLiteral("minutes"), page));
    autosave->addStretch();
    auto* layout = new QVBoxLayout(page);
    for (QWidget* w : std::initializer_list<QWidget*>{allowEqualB_, hideSolutionB_, tableSumRowB_, useArrayWindowB_,
                                                      localVarsB_, warningsB_, resUnitsCB_, speedbarCB_, fileListBox_})
      layout->addWidget(w);
    layout->addLayout(autosave);
    layout->addStretch();
  }

  // "General": the screen font and the table values' colours and styles.
  {
    QWidget* page = Page(notebook_);
    auto* fontGroup = new QGroupBox(QStringLiteral("Screen font"), page);
    sFontBox_ = MakeList(fontGroup, kScreenFonts);
    sizeSBox_ = MakeList(fontGroup, kScreenSizes);
    auto* fontForm = new QFormLayout(fontGroup);
    fontForm->addRow(QStringLiteral("Font"), sFontBox_);
    fontForm->addRow(QStringLiteral("Size"), sizeSBox_);
    subscriptsB_ = new QCheckBox(QStringLiteral("Display subscripts and Greek symbols"), page);
    auto* tableGroup = new QGroupBox(QStringLiteral("Table values"), page);
    enteredTableColorBox_ = MakeColorList(tableGroup);
    enteredTableStyleBox_ = MakeList(tableGroup, kScreenTableStyles);
    calculatedTableColorBox_ = MakeColorList(tableGroup);
    calculatedTableStyleBox_ = MakeList(tableGroup, kScreenTableStyles);
    auto* grid = new QGridLayout(tableGroup);
    grid->addWidget(new QLabel(QStringLiteral("Colour"), tableGroup), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Style"), tableGroup), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Entered"), tableGroup), 1, 0);
    grid->addWidget(enteredTableColorBox_, 1, 1);
    grid->addWidget(enteredTableStyleBox_, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Calculated"), tableGroup), 2, 0);
    grid->addWidget(calculatedTableColorBox_, 2, 1);
    grid->addWidget(calculatedTableStyleBox_, 2, 2);
    grid->setColumnStretch(3, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(fontGroup);
    layout->addWidget(subscriptsB_);
    layout->addWidget(tableGroup);
    layout->addStretch();
  }

  // "Equations": case, wrapping, comments and tab stops of the Equations window.
  {
    QWidget* page = Page(notebook_);
    funcNamesBox_ = MakeList(page, kCases);
    keywordBox_ = MakeList(page, kCases);
    auto* caseForm = new QFormLayout;
    caseForm->addRow(QStringLiteral("Display function names"), funcNamesBox_);
    caseForm->addRow(QStringLiteral("Display keywords"), keywordBox_);
    uniformcaseB_ = new QCheckBox(QStringLiteral("Display uniform case for variable names"), page);
    wordwrapB_ = new QCheckBox(QStringLiteral("Wrap long lines in the Equations window"), page);
    showLineBreakB_ = new QCheckBox(QStringLiteral("Display line-break indicator"), page);
    auto* commentGroup = new QGroupBox(QStringLiteral("Comments"), page);
    commentColorBox1_ = MakeColorList(commentGroup);
    commentColorBox2_ = MakeColorList(commentGroup);
    commentStyleBox1_ = MakeList(commentGroup, kScreenCommentStyles);
    commentStyleBox2_ = MakeList(commentGroup, kScreenCommentStyles);
    auto* grid = new QGridLayout(commentGroup);
    grid->addWidget(new QLabel(QStringLiteral("Colour"), commentGroup), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Style"), commentGroup), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("{ } comments"), commentGroup), 1, 0);
    grid->addWidget(commentColorBox1_, 1, 1);
    grid->addWidget(commentStyleBox1_, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("\" \" comments"), commentGroup), 2, 0);
    grid->addWidget(commentColorBox2_, 2, 1);
    grid->addWidget(commentStyleBox2_, 2, 2);
    grid->setColumnStretch(3, 1);
    tabWidthSpin_ = new TTextSpin(page);
    tabWidthSpin_->setObjectName(QStringLiteral("TabWidthSpin"));
    tabUnit_ = new QLabel(page);
    auto* tab = new QHBoxLayout;
    tab->addWidget(new QLabel(QStringLiteral("Tab width"), page));
    tab->addWidget(tabWidthSpin_);
    tab->addWidget(tabUnit_);
    tab->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(caseForm);
    layout->addWidget(uniformcaseB_);
    layout->addWidget(wordwrapB_);
    layout->addWidget(showLineBreakB_);
    layout->addWidget(commentGroup);
    layout->addLayout(tab);
    layout->addStretch();
  }

  // "Printer".
  {
    QWidget* page = Page(notebook_);
    pFontBox_ = MakeList(page, kPrinterFonts);
    sizePBox_ = MakeList(page, kPrinterSizes);
    pSpacingBox_ = MakeList(page, kSpacings);
    pCommentsBox1_ = MakeList(page, kPrintedCommentStyles);
    pCommentsBox2_ = MakeList(page, kPrintedCommentStyles);
    pEnteredHiliteTableBox_ = MakeList(page, kPrintedTableStyles);
    pCalcHiliteTableBox_ = MakeList(page, kPrintedTableStyles);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Printer font"), pFontBox_);
    form->addRow(QStringLiteral("Font size"), sizePBox_);
    form->addRow(QStringLiteral("Line spacing"), pSpacingBox_);
    form->addRow(QStringLiteral("{ } comments"), pCommentsBox1_);
    form->addRow(QStringLiteral("\" \" comments"), pCommentsBox2_);
    form->addRow(QStringLiteral("Entered table values"), pEnteredHiliteTableBox_);
    form->addRow(QStringLiteral("Calculated table values"), pCalcHiliteTableBox_);
    printIndentEqnsCB_ = new QCheckBox(QStringLiteral("Indent long lines in Equations window"), page);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(printIndentEqnsCB_);
    layout->addStretch();
  }

  // "Plots": the defaults of new plots and of their clipboard copies.
  {
    QWidget* page = Page(notebook_);
    auto* sizeGroup = new QGroupBox(QStringLiteral("Plot size"), page);
    spinWidth_ = new TTextSpin(sizeGroup);
    spinHeight_ = new TTextSpin(sizeGroup);
    widthUnit_ = new QLabel(sizeGroup);
    heightUnit_ = new QLabel(sizeGroup);
    auto* sizeGrid = new QGridLayout(sizeGroup);
    sizeGrid->addWidget(new QLabel(QStringLiteral("Width"), sizeGroup), 0, 0);
    sizeGrid->addWidget(spinWidth_, 0, 1);
    sizeGrid->addWidget(widthUnit_, 0, 2);
    sizeGrid->addWidget(new QLabel(QStringLiteral("Height"), sizeGroup), 1, 0);
    sizeGrid->addWidget(spinHeight_, 1, 1);
    sizeGrid->addWidget(heightUnit_, 1, 2);
    sizeGrid->setColumnStretch(3, 1);
    auto* axisGroup = new QGroupBox(QStringLiteral("Axes"), page);
    spinMajor_ = MakeSpin(axisGroup, kTickSizeRange);
    spinMinor_ = MakeSpin(axisGroup, kTickSizeRange);
    plotFontBox_ = MakeList(axisGroup, kPlotFonts);
    plotFontSize_ = new TTextSpin(axisGroup);
    boldBox_ = new QCheckBox(QStringLiteral("Bold"), axisGroup);
    italicBox_ = new QCheckBox(QStringLiteral("Italic"), axisGroup);
    borderThick_ = new QCheckBox(QStringLiteral("Thick border"), axisGroup);
    gridCheckBox_ = new QCheckBox(QStringLiteral("Grid lines"), axisGroup);
    auto* axisGrid = new QGridLayout(axisGroup);
    axisGrid->addWidget(new QLabel(QStringLiteral("Major tick size"), axisGroup), 0, 0);
    axisGrid->addWidget(spinMajor_, 0, 1);
    axisGrid->addWidget(new QLabel(QStringLiteral("Minor tick size"), axisGroup), 1, 0);
    axisGrid->addWidget(spinMinor_, 1, 1);
    axisGrid->addWidget(new QLabel(QStringLiteral("Axis font"), axisGroup), 2, 0);
    axisGrid->addWidget(plotFontBox_, 2, 1);
    axisGrid->addWidget(plotFontSize_, 2, 2);
    axisGrid->addWidget(boldBox_, 3, 1);
    axisGrid->addWidget(italicBox_, 3, 2);
    axisGrid->addWidget(borderThick_, 4, 1);
    axisGrid->addWidget(gridCheckBox_, 4, 2);
    axisGrid->setColumnStretch(3, 1);
    auto* clipGroup = new QGroupBox(QStringLiteral("Clipboard copies"), page);
    colorCB_ = new QCheckBox(QStringLiteral("Copy in color"), clipGroup);
    pictureRB_ = new QRadioButton(QStringLiteral("Picture"), clipGroup);
    bitmapRB_ = new QRadioButton(QStringLiteral("Bitmap"), clipGroup);
    bothRB_ = new QRadioButton(QStringLiteral("Both"), clipGroup);
    spinResolution_ = new TResolutionSpin(clipGroup);
    auto* clipGrid = new QGridLayout(clipGroup);
    clipGrid->addWidget(colorCB_, 0, 0);
    clipGrid->addWidget(pictureRB_, 0, 1);
    clipGrid->addWidget(bitmapRB_, 0, 2);
    clipGrid->addWidget(bothRB_, 0, 3);
    clipGrid->addWidget(new QLabel(QStringLiteral("Resolution"), clipGroup), 1, 0);
    clipGrid->addWidget(spinResolution_, 1, 1, 1, 2);
    clipGrid->setColumnStretch(4, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(sizeGroup);
    layout->addWidget(axisGroup);
    layout->addWidget(clipGroup);
    layout->addStretch();
  }

  // "Complex".
  {
    QWidget* page = Page(notebook_);
    doComplexBox_ = new QCheckBox(QStringLiteral("Do complex algebra"), page);
    auto* symbolGroup = new QGroupBox(QStringLiteral("Imaginary operator"), page);
    ibutton_ = new QRadioButton(QStringLiteral("i"), symbolGroup);
    jbutton_ = new QRadioButton(QStringLiteral("j"), symbolGroup);
    auto* symbols = new QHBoxLayout(symbolGroup);
    symbols->addWidget(ibutton_);
    symbols->addWidget(jbutton_);
    symbols->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(doComplexBox_);
    layout->addWidget(symbolGroup);
    layout->addStretch();
  }

  // "Directories": the three folders of DirectorySettings.
  {
    QWidget* page = Page(notebook_);
    auto* grid = new QGridLayout(page);
    for (int i = 0; i < 3; ++i) {
      folders_[i] = new QLineEdit(page);
      folders_[i]->setMinimumWidth(260);
      browse_[i] = new QPushButton(QStringLiteral("Browse..."), page);
      grid->addWidget(new QLabel(QString::fromLatin1(kFolderCaptions[i]), page), 2 * i, 0, 1, 2);
      grid->addWidget(folders_[i], 2 * i + 1, 0);
      grid->addWidget(browse_[i], 2 * i + 1, 1);
    }
    grid->setRowStretch(6, 1);
  }

  tabSet_ = new QTabBar(this);
  tabSet_->setShape(QTabBar::RoundedSouth);
  tabSet_->setExpanding(false);
  for (const char* name : {"Options", "General", "Equations", "Printer", "Plots", "Complex", "Directories"})
    tabSet_->addTab(QString::fromLatin1(name));

  okBtn_ = new QPushButton(QStringLiteral("OK"), this);
  store_ = new QPushButton(QStringLiteral("Store"), this);
  cancelBtn_ = new QPushButton(QStringLiteral("Cancel"), this);
  okBtn_->setDefault(true);
  // Store rewrites the defaults file, which only a writable one allows.
  store_->setVisible(DefaultsWritable == 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okBtn_);
  buttons->addWidget(store_);
  buttons->addWidget(cancelBtn_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(notebook_);
  layout->addWidget(tabSet_);
  layout->addLayout(buttons);

  // The spin arrows of the boxes that hold text.
  spinWidth_->Step = [this](int steps) {
    widthUnits_ = StepPlotUnits(widthUnits_, steps);
    ShowPlotSizes();
  };
  spinHeight_->Step = [this](int steps) {
    heightUnits_ = StepPlotUnits(heightUnits_, steps);
    ShowPlotSizes();
  };
  plotFontSize_->Step = [this](int steps) {
    int32_t size = Preferences.PlotTextSize[1];
    ReadAxisFontSize(Bytes(plotFontSize_->Text()), size);
    size = ClampToRange(size + steps, kAxisFontSizeRange);
    plotFontSize_->SetText(QString::number(size));
  };
  tabWidthSpin_->Step = [this](int steps) {
    Extended shown = TabWidthShown(saved_.TabWidth, siUnits_, pixelsPerInch_);
    ReadLengthText(Bytes(tabWidthSpin_->Text()), shown);
    tabWidthSpin_->SetText(Text(LengthText(StepTabWidth(shown, steps))));
  };

  connect(tabSet_, &QTabBar::currentChanged, this, [this](int page) { TabSetClick(page); });
  connect(wordwrapB_, &QCheckBox::clicked, this, [this] { WordwrapBClick(); });
  connect(minuteEd_, &QSpinBox::editingFinished, this, [this] { MinuteEdExit(); });
  connect(browse_[0], &QPushButton::clicked, this, [this] { Browse1Click(); });
  connect(browse_[1], &QPushButton::clicked, this, [this] { Browse2Click(); });
  connect(browse_[2], &QPushButton::clicked, this, [this] { Browse3Click(); });
  for (TTextSpin* box : {spinWidth_, spinHeight_, plotFontSize_, tabWidthSpin_})
    connect(box, &QAbstractSpinBox::editingFinished, this, [this, box] { BoxExit(box); });
  connect(okBtn_, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(store_, &QPushButton::clicked, this, [this] { StoreClick(); });
  connect(cancelBtn_, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
  FormActivate();
}

TPreferencesDlg::~TPreferencesDlg() { DialogOpen = false; }

void TPreferencesDlg::FormActivate() {
  const TPreferencesRecord& p = Preferences;
  saved_ = p;
  siUnits_ = DocumentSettings.UnitSystem == 0;
  pixelsPerInch_ = DirectiveWindowServices().ScreenPixelsPerInch();
  TabSetClick(tabSet_->currentIndex() < 0 ? 0 : tabSet_->currentIndex());

  // "Options".
  allowEqualB_->setChecked(p.AllowEqualInFunctions != 0);
  hideSolutionB_->setChecked(p.HideSolutionAfterChange != 0);
  tableSumRowB_->setChecked(p.TableSumRow != 0);
  useArrayWindowB_->setChecked(p.UseArraysWindow != 0);
  localVarsB_->setChecked(p.ShowLocalVariables != 0);
  warningsB_->setChecked(p.WarningsB != 0);
  resUnitsCB_->setChecked(p.CheckUnitsAutomatically != 0);
  speedbarCB_->setChecked(p.SpeedBarHidden == 0);
  fileListBox_->setChecked(p.RecentFileCount > 0);
  const TAutosaveField autosave = AutosaveFieldOf(p.AutosaveMinutes);
  autosaveCB_->setChecked(autosave.Ticked);
  minuteEd_->setValue(autosave.Minutes);

  // "General".
  SetIndex(sFontBox_, p.DisplayFont);
  SetIndex(sizeSBox_, p.DisplayFontSize);
  subscriptsB_->setChecked(p.ShowSubscripts != 0);
  SetIndex(enteredTableColorBox_, p.EnteredTableColor);
  SetIndex(calculatedTableColorBox_, p.CalculatedTableColor);
  SetIndex(enteredTableStyleBox_, p.EnteredTableStyle);
  SetIndex(calculatedTableStyleBox_, p.CalculatedTableStyle);

  // "Equations".
  SetIndex(funcNamesBox_, p.FunctionNameCase);
  SetIndex(keywordBox_, p.KeywordCase);
  uniformcaseB_->setChecked(p.UniformVariableCase != 0);
  wordwrapB_->setChecked(p.WrapLongLines != 0);
  showLineBreakB_->setChecked(p.ShowLineBreak != 0);
  WordwrapBClick();
  SetIndex(commentColorBox1_, p.CommentColor1);
  SetIndex(commentColorBox2_, p.CommentColor2);
  SetIndex(commentStyleBox1_, p.CommentStyle1);
  SetIndex(commentStyleBox2_, p.CommentStyle2);
  shownTabWidth_ = Text(LengthText(TabWidthShown(p.TabWidth, siUnits_, pixelsPerInch_)));
  tabWidthSpin_->SetText(shownTabWidth_);
  tabUnit_->setText(QString::fromLatin1(LengthUnitLabel(siUnits_)));

  // "Printer".
  SetIndex(pFontBox_, p.PrinterFont);
  SetIndex(sizePBox_, p.PrinterFontSize);
  SetIndex(pSpacingBox_, p.PrintLineSpacing);
  SetIndex(pCommentsBox1_, p.PrintCommentStyle1);
  SetIndex(pCommentsBox2_, p.PrintCommentStyle2);
  SetIndex(pEnteredHiliteTableBox_, p.PrintEnteredTableStyle);
  SetIndex(pCalcHiliteTableBox_, p.PrintCalculatedTableStyle);
  printIndentEqnsCB_->setChecked(p.PrintIndentEquations != 0);

  // "Plots".
  widthUnits_ = p.PlotWidth;
  heightUnits_ = p.PlotHeight;
  ShowPlotSizes();
  shownWidth_ = spinWidth_->Text();
  shownHeight_ = spinHeight_->Text();
  spinMajor_->setValue(ClampToRange(p.PlotMajorTickSize, kTickSizeRange));
  spinMinor_->setValue(ClampToRange(p.PlotMinorTickSize, kTickSizeRange));
  SetIndex(plotFontBox_, p.PlotTextFont[1]);
  plotFontSize_->SetText(QString::number(p.PlotTextSize[1]));
  bool bold = false;
  bool italic = false;
  bool underline = false;
  UnpackTextStyle(p.PlotTextStyle[1], bold, italic, underline);
  boldBox_->setChecked(bold);
  italicBox_->setChecked(italic);
  borderThick_->setChecked(p.PlotBorderThick != 0);
  gridCheckBox_->setChecked(p.PlotGridLines == 0);
  colorCB_->setChecked(p.PlotCopyInColor != 0);
  pictureRB_->setChecked(p.PlotCopyFormat == 0);
  bitmapRB_->setChecked(p.PlotCopyFormat == 1);
  bothRB_->setChecked(p.PlotCopyFormat >= 2);
  spinResolution_->setValue(ClampToRange(p.ClipboardResolution, kResolutionRange));

  // "Complex".
  doComplexBox_->setChecked(p.ComplexMode != 0);
  ibutton_->setChecked(p.ImaginaryJ == 0);
  jbutton_->setChecked(p.ImaginaryJ != 0);

  // "Directories": the list is padded to its three entries first.
  while (DirectorySettings.size() < 3) DirectorySettings.emplace_back();
  for (int i = 0; i < 3; ++i) folders_[i]->setText(Text(DirectorySettings[size_t(i)]));
}

void TPreferencesDlg::ShowPlotSizes() {
  spinWidth_->SetText(Text(LengthText(LengthOfPlotUnits(widthUnits_, siUnits_, pixelsPerInch_))));
  spinHeight_->SetText(Text(LengthText(LengthOfPlotUnits(heightUnits_, siUnits_, pixelsPerInch_))));
  const QString unit = QString::fromLatin1(LengthUnitLabel(siUnits_));
  widthUnit_->setText(unit);
  heightUnit_->setText(unit);
}

void TPreferencesDlg::TabSetClick(int page) {
  if (page < 0 || page >= notebook_->count()) return;
  notebook_->setCurrentIndex(page);
  if (tabSet_->currentIndex() != page) tabSet_->setCurrentIndex(page);
}

void TPreferencesDlg::WordwrapBClick() { showLineBreakB_->setEnabled(wordwrapB_->isChecked()); }

void TPreferencesDlg::MinuteEdExit() { autosaveCB_->setChecked(minuteEd_->value() > 0); }

void TPreferencesDlg::Browse1Click() {
  std::string folder = Bytes(folders_[0]->text());
  if (ChooseFolder && ChooseFolder(kFolderTitles[0], folder)) folders_[0]->setText(Text(folder));
}

void TPreferencesDlg::Browse2Click() {
  std::string folder = Bytes(folders_[1]->text());
  if (ChooseFolder && ChooseFolder(kFolderTitles[1], folder)) folders_[1]->setText(Text(folder));
}

void TPreferencesDlg::Browse3Click() {
  std::string folder = Bytes(folders_[2]->text());
  if (ChooseFolder && ChooseFolder(kFolderTitles[2], folder)) folders_[2]->setText(Text(folder));
}

void TPreferencesDlg::Refuse(QWidget* field) {
  // Bring the field's page into view, then select it for correction.
  for (int page = 0; page < notebook_->count(); ++page) {
    if (notebook_->widget(page)->isAncestorOf(field)) TabSetClick(page);
  }
  ThrottledBeep();
  if (auto* spin = dynamic_cast<TTextSpin*>(field)) spin->SelectForCorrection();
}

bool TPreferencesDlg::BoxAccepts(TTextSpin* box) {
  // A box left as it was shown keeps its stored value exactly.
  if (box == spinWidth_ || box == spinHeight_) {
    const bool width = box == spinWidth_;
    int32_t& units = width ? widthUnits_ : heightUnits_;
    if (box->Text() == (width ? shownWidth_ : shownHeight_)) return true;
    int32_t read = units;
    if (!ReadPlotLength(Bytes(box->Text()), siUnits_, pixelsPerInch_, read)) return false;
    units = read;
    return true;
  }
  if (box == plotFontSize_) {
    int32_t size = 0;
    return ReadAxisFontSize(Bytes(box->Text()), size);
  }
  if (box == tabWidthSpin_) {
    int16_t tab = 0;
    return box->Text() == shownTabWidth_ || ReadTabWidth(Bytes(box->Text()), siUnits_, pixelsPerInch_, tab);
  }
  return true;
}

bool TPreferencesDlg::CheckEntries() {
  for (TTextSpin* box : {spinWidth_, spinHeight_, plotFontSize_, tabWidthSpin_}) {
    if (!BoxAccepts(box)) {
      Refuse(box);
      return false;
    }
  }
  return true;
}

void TPreferencesDlg::BoxExit(TTextSpin* box) {
  if (!isVisible() || QApplication::focusWidget() == cancelBtn_) return;
  if (!BoxAccepts(box)) Refuse(box);
}

void TPreferencesDlg::ApplyPlotSettings() {
  TPreferencesRecord& p = Preferences;
  p.PlotMajorTickSize = static_cast<int16_t>(spinMajor_->value());
  p.PlotMinorTickSize = static_cast<int16_t>(spinMinor_->value());
  p.PlotWidth = static_cast<int16_t>(widthUnits_);
  p.PlotHeight = static_cast<int16_t>(heightUnits_);
  p.PlotCopyInColor = Flag(colorCB_);
  p.ClipboardResolution = static_cast<int16_t>(spinResolution_->value());
  p.PlotCopyFormat = pictureRB_->isChecked() ? 0 : bitmapRB_->isChecked() ? 1 : 2;
  p.PlotBorderThick = Flag(borderThick_);
  int32_t size = p.PlotTextSize[1];
  ReadAxisFontSize(Bytes(plotFontSize_->Text()), size);
  int16_t style = 0;
  PackTextStyle(style, boldBox_->isChecked(), italicBox_->isChecked(), false);
  // One axis font for all four kinds of plot text.
  for (size_t k = 0; k < 4; ++k) {
    p.PlotTextFont[k] = IndexOf(plotFontBox_);
    p.PlotTextSize[k] = static_cast<int16_t>(size);
    p.PlotTextStyle[k] = style;
  }
  p.PlotGridLines = gridCheckBox_->isChecked() ? 0 : -1;
}

void TPreferencesDlg::ApplyDisplaySettings() {
  TPreferencesRecord& p = Preferences;
  p.CommentColor1 = IndexOf(commentColorBox1_);
  p.CommentColor2 = IndexOf(commentColorBox2_);
  p.CommentStyle1 = IndexOf(commentStyleBox1_);
  p.CommentStyle2 = IndexOf(commentStyleBox2_);
  p.WrapLongLines = Flag(wordwrapB_);
  p.ShowLineBreak = Flag(showLineBreakB_);
  p.EnteredTableColor = IndexOf(enteredTableColorBox_);
  p.CalculatedTableColor = IndexOf(calculatedTableColorBox_);
  p.EnteredTableStyle = IndexOf(enteredTableStyleBox_);
  p.CalculatedTableStyle = IndexOf(calculatedTableStyleBox_);
  p.DisplayFont = IndexOf(sFontBox_);
  p.DisplayFontSize = IndexOf(sizeSBox_);
  // The dialog has no Richardson box: the stored integration settings'
  // flag starts cleared again.
  p.IntegrationRichardson = 0;
  if (tabWidthSpin_->Text() != shownTabWidth_) {
    int16_t tab = p.TabWidth;
    if (ReadTabWidth(Bytes(tabWidthSpin_->Text()), siUnits_, pixelsPerInch_, tab)) p.TabWidth = tab;
  }
  CreateDisplayFonts();
}

void TPreferencesDlg::ApplyPrinterSettings() {
  TPreferencesRecord& p = Preferences;
  p.PrinterFont = IndexOf(pFontBox_);
  p.PrinterFontSize = IndexOf(sizePBox_);
  p.PrintLineSpacing = IndexOf(pSpacingBox_);
  p.PrintCommentStyle1 = IndexOf(pCommentsBox1_);
  p.PrintCommentStyle2 = IndexOf(pCommentsBox2_);
  p.PrintEnteredTableStyle = IndexOf(pEnteredHiliteTableBox_);
  p.PrintCalculatedTableStyle = IndexOf(pCalcHiliteTableBox_);
  p.PrintIndentEquations = Flag(printIndentEqnsCB_);
}

void TPreferencesDlg::ApplyAutosave() {
  TAutosaveField field;
  field.Ticked = autosaveCB_->isChecked();
  field.Minutes = minuteEd_->value();
  Preferences.AutosaveMinutes = AutosaveMinutesOf(field);
  TVOQ_D* window = MainWindow();
  if (window == nullptr) return;
  const int32_t interval = DistributableMode ? 0 : AutoSaveInterval(Preferences.AutosaveMinutes);
  if (interval > 0) {
    window->AutoSaveTimer.setInterval(interval);
    window->AutoSaveTimer.start();
  } else {
    window->AutoSaveTimer.stop();
  }
}

void TPreferencesDlg::ApplyProgramOptions() {
  TPreferencesRecord& p = Preferences;
  p.SpeedBarHidden = SpeedBarHiddenOf(speedbarCB_->isChecked());
  p.AllowEqualInFunctions = Flag(allowEqualB_);
  p.ShowLocalVariables = Flag(localVarsB_);
  p.HideSolutionAfterChange = Flag(hideSolutionB_);
  p.TableSumRow = Flag(tableSumRowB_);
  // An open Parametric table gains or loses its sum row at once.
  if (p.TableSumRow != saved_.TableSumRow && TableForms[size_t(kParametricTableKind)] != nullptr)
    DirectiveWindowServices().ApplyTableSumRow(p.TableSumRow != 0);
  p.UseArraysWindow = Flag(useArrayWindowB_);
  p.WarningsB = Flag(warningsB_);
  ShowWarningMessages = p.WarningsB != 0;
  p.CheckUnitsAutomatically = Flag(resUnitsCB_);
  p.RecentFileCount = RecentFileCountOf(fileListBox_->isChecked());
  p.FunctionNameCase = static_cast<uint8_t>(IndexOf(funcNamesBox_));
  p.KeywordCase = static_cast<uint8_t>(IndexOf(keywordBox_));
  p.UniformVariableCase = Flag(uniformcaseB_);
  p.ShowSubscripts = Flag(subscriptsB_);
}

void TPreferencesDlg::ApplyComplexAlgebra() {
  TPreferencesRecord& p = Preferences;
  p.ComplexMode = Flag(doComplexBox_);
  if (p.ComplexMode != 0 && DocumentSettings.AngleUnit == 0 &&
      ShowAlert(GetMessageText(kMsgComplexRadiansQuestion), kAlertWarningYesNo, true) == kResultYes) {
    SetAngleUnit(DocumentSettings, 1);
  }
  if (MainProgramUnit != nullptr) MainProgramUnit->UnitComplexMode = p.ComplexMode;
  p.ImaginaryJ = jbutton_->isChecked() ? 1 : 0;
  ComplexLetter = p.ImaginaryJ != 0 ? 'j' : 'i';
}

void TPreferencesDlg::ApplyDirectories() {
  DirectorySettings.clear();
  for (QLineEdit* folder : folders_) DirectorySettings.push_back(Bytes(folder->text()));
}

void TPreferencesDlg::RefreshWindows() {
  auto repaint = [](TGForm* form) {
    if (form == nullptr) return;
    form->update();
    for (QWidget* w : form->findChildren<QWidget*>()) w->update();
  };
  // The result listings are laid out again at their next paint, in the new fonts.
  for (int slot : {kSolutionWindow, kResidualsWindow, kFormattedEquationsWindow, kDiagramWindow, kPlotWindow})
    repaint(WindowList[size_t(slot)]);
  // The Arrays window goes when array variables no longer belong there.
  if (Preferences.UseArraysWindow == 0) {
    if (auto* arrays = dynamic_cast<TTableWindow*>(WindowList[kArraysTableWindow])) {
      WindowList[kArraysTableWindow] = nullptr;
      delete arrays;
    }
  }
  for (int32_t kind = 1; kind <= 4; ++kind) {
    const int32_t tag = TableKindToWindowTag(kind);
    if (tag <= 0) continue;
    if (auto* table = dynamic_cast<TTableWindow*>(WindowList[size_t(tag)])) {
      table->Grid().SetFont(table->logicalDpiX() > 0 ? table->logicalDpiX() : 96);
      table->Refresh();
    }
  }
  if (TVOQ_D* window = MainWindow()) {
    if (TEquationForm* equations = window->EquationForm()) {
      equations->SetFontInfo();
      equations->update();
    }
  }
}

bool TPreferencesDlg::OKBtnClick() {
  if (!CheckEntries()) return false;
  ApplyPlotSettings();
  ApplyDisplaySettings();
  ApplyPrinterSettings();
  ApplyAutosave();
  ApplyProgramOptions();
  ApplyComplexAlgebra();
  ApplyDirectories();
  RefreshWindows();
  DocumentUnchanged = false;
  accept();
  return true;
}

void TPreferencesDlg::StoreClick() {
  if (!OKBtnClick()) return;
  StoredPreferences = Preferences;
  std::ostringstream unused;
  SaveDefaultsFile(false, unused);
}

void TPreferencesDlg::CancelBtnClick() { QDialog::reject(); }

void TPreferencesDlg::reject() { CancelBtnClick(); }

}  // namespace voq
