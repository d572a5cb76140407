#include "shell/unit_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/program_flags.h"
#include "platform/qt/qt_platform.h"
#include "shell/calculate_menu.h"
#include "shell/equations_form.h"
#include "shell/main_window.h"
#include "shell/shell_state.h"

namespace voq {

namespace {

QString Text(const std::string& bytes) { return QString::fromStdString(Cp1252ToUtf8(bytes)); }
std::string Bytes(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

// Sizes in pixels at 96 dots per inch grow with the screen's.
double ScreenScale(const QWidget* widget) {
  const QScreen* screen = widget->screen() != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
  const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
  return dpi > 0 ? dpi / 96.0 : 1.0;
}

int Scaled(int pixels, double scale) { return static_cast<int>(pixels * scale + 0.5); }

}  // namespace

// --- Specify Unit System --------------------------------------------------------------

TUnitSysDlg::TUnitSysDlg(CalculateWindows& windows, MacroRecorder& recorder, QWidget* owner)
    : QDialog(owner), model_(windows, recorder) {
  setObjectName(QStringLiteral("UnitSysDlg"));
  setWindowTitle(QStringLiteral("Specify Unit System"));
  setProperty("helpContext", 37);
  scale_ = ScreenScale(this);
  // Group boxes in two columns, the buttons beside them; the rows inside a
  // box are as far apart as a radio button is high.
  const int rowHeight = std::max(18, fontMetrics().height() + 4);
  const int boxHeight = 2 * rowHeight + Scaled(20, scale_);
  const int boxWidth = Scaled(132, scale_);
  const int margin = Scaled(8, scale_);
  const struct {
    TUnitSysGroup group;
    int column;
    int row;
  } places[] = {{kUnitSystemGroup, 0, 0},  {kSpecificPropertiesGroup, 0, 1}, {kTrigFunctionsGroup, 0, 2},
                {kTemperatureGroup, 1, 0}, {kPressureGroup, 1, 1},           {kEnergyGroup, 1, 2}};
  for (const auto& p : places) {
    auto* box = new QGroupBox(QString::fromLatin1(TUnitSysModel::GroupCaption(p.group)), this);
    box->setGeometry(margin + p.column * (boxWidth + margin), margin + p.row * (boxHeight + margin), boxWidth,
                     boxHeight);
    groups_[p.group] = box;
  }
  groups_[kEnergyGroup]->setObjectName(QStringLiteral("EnergyBox"));
  static constexpr const char* kNames[kUnitSysButtonCount] = {
      "SIbutton", "EngButton", "MassButton", "MolarButton", "DegButton", "Radiansbutton", "CFbutton",
      "KRbutton", "PaButton",  "baratmbutton", "kPbutton", "MPaButton", "JButton",     "kJButton"};
  for (int b = 0; b < kUnitSysButtonCount; ++b) {
    const TUnitSysRadio& radio = model_.Buttons[static_cast<size_t>(b)];
    auto* button = new QRadioButton(groups_[radio.Group]);
    button->setObjectName(QString::fromLatin1(kNames[b]));
    // The model keeps each group to one checked button.
    button->setAutoExclusive(false);
    buttons_[static_cast<size_t>(b)] = button;
    connect(button, &QRadioButton::clicked, this, [this, b] {
      model_.Click(static_cast<TUnitSysButton>(b));
      Refresh();
    });
  }
  const int buttonLeft = margin + 2 * (boxWidth + margin);
  const int buttonWidth = Scaled(75, scale_);
  const int buttonHeight = std::max(Scaled(25, scale_), fontMetrics().height() + 10);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  store_ = new QPushButton(QStringLiteral("Store"), this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  ok_->setObjectName(QStringLiteral("OKBtn"));
  store_->setObjectName(QStringLiteral("Store"));
  cancel_->setObjectName(QStringLiteral("CancelBtn"));
  store_->setVisible(model_.StoreVisible());
  // Cancel moves up when Store is not offered.
  int top = margin + Scaled(6, scale_);
  for (QPushButton* button : {ok_, store_, cancel_}) {
    if (button == store_ && !model_.StoreVisible()) continue;
    button->setGeometry(buttonLeft, top, buttonWidth, buttonHeight);
    top += buttonHeight + Scaled(8, scale_);
  }
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, [this] {
    model_.OKBtnClick();
    accept();
  });
  connect(store_, &QPushButton::clicked, this, [this] {
    model_.StoreClick();
    accept();
  });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  setFixedSize(buttonLeft + buttonWidth + margin, margin + 3 * (boxHeight + margin));
  Refresh();
}

void TUnitSysDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (activated_) return;
  activated_ = true;
  model_.FormActivate();
  Refresh();
}

void TUnitSysDlg::reject() {
  model_.CancelBtnClick();
  QDialog::reject();
}

void TUnitSysDlg::Refresh() {
  const int rowHeight = std::max(18, fontMetrics().height() + 4);
  // The first row sits below the box's caption.
  const int captionHeight = std::max(Scaled(16, scale_), fontMetrics().height() + 2);
  for (int b = 0; b < kUnitSysButtonCount; ++b) {
    const TUnitSysRadio& radio = model_.Buttons[static_cast<size_t>(b)];
    QRadioButton* button = buttons_[static_cast<size_t>(b)];
    button->setText(QString::fromLatin1(radio.Caption.c_str()));
    const int row = radio.Top > 16 ? 1 : 0;
    const int left = Scaled(radio.Left, scale_);
    const int width = groups_[radio.Group]->width() - left - Scaled(4, scale_);
    // Two buttons share a row only in the pressure box.
    const int columnWidth = radio.Group == kPressureGroup && model_.Buttons[PaButton].Visible
                                ? Scaled(56, scale_)
                                : width;
    button->setGeometry(left, captionHeight + row * rowHeight, std::min(width, columnWidth), rowHeight);
    button->setVisible(radio.Visible);
    button->setChecked(radio.Checked);
  }
  groups_[kEnergyGroup]->setVisible(model_.EnergyBoxVisible);
}

// --- Unit Conversion Information ------------------------------------------------------

TConvertInfoDlg::TConvertInfoDlg(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("ConvertInfoDlg"));
  setWindowTitle(QStringLiteral("Unit Conversion Information"));
  setProperty("helpContext", 182);
  const double scale = ScreenScale(this);
  auto* column = new QVBoxLayout(this);
  auto* lists = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  left->addWidget(new QLabel(QStringLiteral("Dimension:"), this));
  dimensionBox_ = new QListWidget(this);
  dimensionBox_->setObjectName(QStringLiteral("DimensionBox"));
  left->addWidget(dimensionBox_);
  right->addWidget(new QLabel(QStringLiteral("Defined Units:"), this));
  unitsBox_ = new QListWidget(this);
  unitsBox_->setObjectName(QStringLiteral("UnitsBox"));
  right->addWidget(unitsBox_);
  lists->addLayout(left, 3);
  lists->addLayout(right, 2);
  column->addLayout(lists);
  convValue_ = new QLabel(this);
  convValue_->setObjectName(QStringLiteral("ConvValue"));
  QFont bold = convValue_->font();
  bold.setBold(true);
  convValue_->setFont(bold);
  QPalette red = convValue_->palette();
  red.setColor(QPalette::WindowText, QColor(255, 0, 0));
  convValue_->setPalette(red);
  convValue_->setWordWrap(true);
  convValue_->setMinimumHeight(2 * convValue_->fontMetrics().height() + 4);
  column->addWidget(convValue_);
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKBtn"));
  ok->setDefault(true);
  auto* help = new QPushButton(QStringLiteral("Help"), this);
  help->setObjectName(QStringLiteral("HelpBtn"));
  help->setVisible(false);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(help);
  buttons->addStretch();
  column->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(dimensionBox_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (model_.DimensionBoxClick(row)) FillUnits();
    convValue_->setText(QString());
  });
  connect(unitsBox_, &QListWidget::currentRowChanged, this, [this](int row) {
    model_.UnitsBoxClick(row);
    convValue_->setText(Text(model_.ConvValue));
  });
  resize(Scaled(470, scale), Scaled(340, scale));
}

void TConvertInfoDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TConvertInfoDlg::FormActivate() {
  model_.FormActivate();
  QSignalBlocker block(dimensionBox_);
  dimensionBox_->clear();
  for (const std::string& name : model_.Dimensions) dimensionBox_->addItem(Text(name));
  dimensionBox_->setCurrentRow(model_.DimensionIndex);
  FillUnits();
  convValue_->setText(QString());
}

void TConvertInfoDlg::FillUnits() {
  QSignalBlocker block(unitsBox_);
  unitsBox_->clear();
  for (const std::string& unit : model_.Units) unitsBox_->addItem(Text(unit));
}

// --- Add New Constant -----------------------------------------------------------------

TNewConstDlg::TNewConstDlg(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("NewConstDlg"));
  setWindowTitle(QStringLiteral("Add New Constant"));
  setProperty("helpContext", 307);
  const double scale = ScreenScale(this);
  auto* column = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  const struct {
    TNewConstField field;
    const char* name;
    const char* label;
    int row;
    int col;
    int length;
  } edits[] = {
      {TNewConstField::Name, "NameE", "Name", 0, 0, static_cast<int>(kConstantNameLength)},
      {TNewConstField::Description, "DescriptE", "Description", 2, 0, static_cast<int>(kConstantDescriptionLength)},
      {TNewConstField::SIValue, "SIValueE", "SI value", 4, 0, static_cast<int>(kConstantFieldLength)},
      {TNewConstField::SIUnits, "SIUnitsE", "SI units", 4, 1, static_cast<int>(kConstantFieldLength)},
      {TNewConstField::EngValue, "EngValueE", "English value", 6, 0, static_cast<int>(kConstantFieldLength)},
      {TNewConstField::EngUnits, "EngUnitsE", "English units", 6, 1, static_cast<int>(kConstantFieldLength)},
  };
  for (const auto& e : edits) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(e.name));
    edit->setMaxLength(e.length);
    const int span = e.field == TNewConstField::Name || e.field == TNewConstField::Description ? 2 : 1;
    grid->addWidget(new QLabel(QString::fromLatin1(e.label), this), e.row, e.col, 1, span);
    grid->addWidget(edit, e.row + 1, e.col, 1, span);
    fields_[static_cast<size_t>(e.field)] = edit;
  }
  column->addLayout(grid);
  auto* buttons = new QHBoxLayout;
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setObjectName(QStringLiteral("OKBtn"));
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("CancelBtn"));
  convert_ = new QPushButton(QStringLiteral("Convert"), this);
  convert_->setObjectName(QStringLiteral("ConvertBtn"));
  ok_->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);
  buttons->addWidget(convert_);
  buttons->addStretch();
  column->addLayout(buttons);
  for (TNewConstField f : {TNewConstField::SIValue, TNewConstField::EngValue}) {
    connect(Field(f), &QLineEdit::textChanged, this, [this] {
      ReadFields();
      model_.ValueChanged();
      convert_->setEnabled(model_.ConvertEnabled);
    });
  }
  connect(convert_, &QPushButton::clicked, this, [this] {
    ReadFields();
    if (model_.ConvertBtnClick()) {
      Field(TNewConstField::SIValue)->setText(Text(model_.SIValueE));
      Field(TNewConstField::EngValue)->setText(Text(model_.EngValueE));
    } else {
      FocusRefused();
    }
  });
  connect(ok_, &QPushButton::clicked, this, [this] {
    ReadFields();
    if (model_.OKBtnClick()) {
      accept();
    } else {
      FocusRefused();
    }
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  resize(Scaled(400, scale), sizeHint().height());
}

QLineEdit* TNewConstDlg::Field(TNewConstField field) const { return fields_[static_cast<size_t>(field)]; }

void TNewConstDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  model_.FormActivate();
  convert_->setEnabled(false);
}

void TNewConstDlg::ReadFields() {
  model_.NameE = Bytes(Field(TNewConstField::Name)->text());
  model_.DescriptE = Bytes(Field(TNewConstField::Description)->text());
  model_.SIValueE = Bytes(Field(TNewConstField::SIValue)->text());
  model_.SIUnitsE = Bytes(Field(TNewConstField::SIUnits)->text());
  model_.EngValueE = Bytes(Field(TNewConstField::EngValue)->text());
  model_.EngUnitsE = Bytes(Field(TNewConstField::EngUnits)->text());
}

void TNewConstDlg::FocusRefused() {
  if (model_.FocusField == TNewConstField::None) return;
  QLineEdit* edit = Field(model_.FocusField);
  edit->setFocus();
  edit->selectAll();
}

// --- Constants ------------------------------------------------------------------------

TConstantDlg::TConstantDlg(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("ConstantDlg"));
  setWindowTitle(QStringLiteral("Constants"));
  setProperty("helpContext", 306);
  grid_ = new QTableWidget(this);
  grid_->setObjectName(QStringLiteral("Grid"));
  grid_->setColumnCount(TConstantDlgModel::kColumnCount);
  grid_->verticalHeader()->setVisible(false);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setWordWrap(false);
  // Rows as tight as a grid of text lines.
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  QHeaderView* header = grid_->horizontalHeader();
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->setSortIndicatorShown(false);
  QFont bold = header->font();
  bold.setBold(true);
  header->setFont(bold);
  header->setDefaultAlignment(Qt::AlignCenter);
  // Column 3 takes what the grid has left.
  header->setStretchLastSection(true);
  for (int c = 0; c < TConstantDlgModel::kColumnCount; ++c) {
    auto* item = new QTableWidgetItem(QString::fromLatin1(TConstantDlgModel::HeaderText(c)));
    item->setFont(bold);
    grid_->setHorizontalHeaderItem(c, item);
  }
  connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
    if (model_.GridMouseDown(column, 0)) FillGrid();
  });
  paste_ = new QPushButton(QStringLiteral("Paste"), this);
  paste_->setObjectName(QStringLiteral("PasteBtn"));
  add_ = new QPushButton(QStringLiteral("Add"), this);
  add_->setObjectName(QStringLiteral("AddBtn"));
  store_ = new QPushButton(QStringLiteral("Store"), this);
  store_->setObjectName(QStringLiteral("StoreBtn"));
  cancel_ = new QPushButton(QStringLiteral("Done"), this);
  cancel_->setObjectName(QStringLiteral("CancelBtn"));
  store_->setVisible(false);
  paste_->setDefault(true);
  connect(paste_, &QPushButton::clicked, this, [this] {
    if (model_.PasteBtnClick(grid_->currentRow() + 1)) accept();
  });
  connect(add_, &QPushButton::clicked, this, [this] { AddBtnClick(); });
  connect(store_, &QPushButton::clicked, this, [this] {
    model_.StoreBtnClick();
    accept();
  });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  RunNewConstDialog = [](TNewConstDlg& dialog) { return dialog.exec() == QDialog::Accepted; };

  const double scale = ScreenScale(this);
  if (ConstantDlgGeometry.Saved) {
    resize(ConstantDlgGeometry.Width, ConstantDlgGeometry.Height);
    for (int c = 0; c < 3; ++c) grid_->setColumnWidth(c, ConstantDlgGeometry.ColumnWidths[c]);
  } else {
    resize(Scaled(640, scale), Scaled(304, scale));
  }
  FillGrid();
  if (!ConstantDlgGeometry.Saved) {
    // The name and value columns widen where the screen's font needs more
    // room than they are given for their longest text.
    static constexpr int kWidths[3] = {100, 280, 95};
    for (int c = 0; c < 3; ++c) {
      int width = Scaled(kWidths[c], scale);
      if (c == 1) {
        grid_->setColumnWidth(c, width);
        continue;
      }
      for (int row = 0; row < grid_->rowCount(); ++row) {
        width = std::max(width, grid_->fontMetrics().horizontalAdvance(grid_->item(row, c)->text()) + 12);
      }
      grid_->setColumnWidth(c, width);
    }
  }
  if (grid_->rowCount() > 0) grid_->setCurrentCell(0, 0);
  FormResize();
}

TConstantDlg::~TConstantDlg() {
  ConstantDlgGeometry.Saved = true;
  ConstantDlgGeometry.Width = width();
  ConstantDlgGeometry.Height = height();
  for (int c = 0; c < 3; ++c) ConstantDlgGeometry.ColumnWidths[c] = grid_->columnWidth(c);
}

void TConstantDlg::FillGrid() {
  const int current = grid_->currentRow();
  grid_->setRowCount(model_.RowCount() - 1);
  for (int32_t row = 1; row < model_.RowCount(); ++row) {
    for (int c = 0; c < TConstantDlgModel::kColumnCount; ++c) {
      auto* item = new QTableWidgetItem(Text(model_.CellText(c, row)));
      item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      grid_->setItem(row - 1, c, item);
    }
  }
  if (current >= 0 && current < grid_->rowCount()) grid_->setCurrentCell(current, 0);
}

void TConstantDlg::FormResize() {
  const double scale = ScreenScale(this);
  const int buttonHeight = std::max(Scaled(25, scale), fontMetrics().height() + 10);
  const int buttonWidth = Scaled(75, scale);
  const int bottom = Scaled(10, scale);
  grid_->setGeometry(0, 0, width(), height() - buttonHeight - 2 * bottom);
  const int top = height() - buttonHeight - bottom;
  paste_->setGeometry(Scaled(30, scale), top, buttonWidth, buttonHeight);
  store_->setGeometry(Scaled(30, scale), top, buttonWidth, buttonHeight);
  add_->setGeometry((width() - buttonWidth) / 2, top, buttonWidth, buttonHeight);
  cancel_->setGeometry(width() - buttonWidth - Scaled(30, scale), top, buttonWidth, buttonHeight);
}

void TConstantDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

void TConstantDlg::reject() {
  model_.CancelBtnClick();
  QDialog::reject();
}

void TConstantDlg::AddBtnClick() {
  TNewConstDlg dialog(this);
  if (!RunNewConstDialog(dialog)) return;
  model_.AddConstant(dialog.Model().NewRecord);
  FillGrid();
  grid_->setCurrentCell(grid_->rowCount() - 1, 0);
  paste_->setVisible(model_.PasteVisible());
  store_->setVisible(model_.StoreVisible());
  cancel_->setText(QString::fromLatin1(model_.CancelCaption().c_str()));
  store_->setDefault(true);
}

// --- The commands ---------------------------------------------------------------------

namespace {

// What OK of the unit system reaches in the main window.
class UnitSystemWindows : public CalculateWindows {
 public:
  explicit UnitSystemWindows(TVOQ_D& window) : window_(window) {}
  bool IsShown(int w) override { return window_.CalculateMenu()->IsShown(w); }
  void CloseWindow(int w) override { window_.CalculateMenu()->CloseWindow(w); }
  void InvalidateEquationResults() override { window_.EquationForm()->InvalidateResults(); }

 private:
  TVOQ_D& window_;
};

struct TUnitCommands {
  explicit TUnitCommands(TVOQ_D& window) : windows(window) {}
  UnitSystemWindows windows;
  TablesMacroRecorder recorder;
};

}  // namespace

void InstallUnitCommands(TVOQ_D& window) {
  auto commands = std::make_shared<TUnitCommands>(window);
  auto unitSystem = [&window, commands] {
    TUnitSysDlg dialog(commands->windows, commands->recorder, &window);
    dialog.exec();
  };
  window.SetHandler("UnitSystem1", unitSystem);
  window.SetHandler("UnitSystemButton1", unitSystem);
  window.SetHandler("UnitConversionInfo1", [&window] {
    TConvertInfoDlg dialog(&window);
    dialog.exec();
  });
  window.SetHandler("Constants1", [&window] {
    TConstantDlg dialog(&window);
    dialog.exec();
  });
}

}  // namespace voq
