#include "results/format_soln_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "model/document_settings.h"
#include "model/store_state.h"
#include "output/format_codes.h"
#include "output/solution_format.h"
#include "platform/qt/qt_platform.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

void FillColourBox(QComboBox* box, TRgb (*colour)(int32_t)) {
  for (int i = 0; i <= 9; ++i) {
    // A rectangle filled with the colour and framed in white.
    QPixmap swatch(48, 14);
    swatch.fill(Qt::white);
    QPainter painter(&swatch);
    painter.fillRect(1, 1, 46, 12, QColor::fromRgb(colour(i)));
    painter.end();
    box->addItem(QIcon(swatch), QString());
  }
  box->setIconSize(QSize(48, 14));
}

void Grey(QWidget* w, bool enabled) {
  w->setEnabled(enabled);
  w->setStyleSheet(enabled ? QStringLiteral("color: black") : QStringLiteral("color: #808080"));
}

}  // namespace

TFormatSolnDlg::TFormatSolnDlg(QWidget* parent, int32_t index, int32_t routine, TLocalVariableRecord* local)
    : QDialog(parent), index_(index), routine_(routine), local_(local) {
  setWindowTitle(QStringLiteral("Format Selected Variables"));
  setModal(true);
  setProperty("helpContext", 170);
  group_ = new QGroupBox(this);
  formatL_ = new QLabel(QStringLiteral("Format:"), group_);
  stylebox_ = new QPushButton(group_);
  digitBox_ = new QPushButton(group_);
  complexBox_ = new QPushButton(group_);
  hiliteBox_ = new QPushButton(group_);
  fColor_ = new QComboBox(group_);
  bColor_ = new QComboBox(group_);
  units_ = new QLineEdit(group_);
  units_->setMaxLength(30);
  FillColourBox(fColor_, ForeColorOfIndex);
  FillColourBox(bColor_, BackColorOfIndex);
  auto* grid = new QGridLayout(group_);
  grid->addWidget(formatL_, 0, 0);
  grid->addWidget(stylebox_, 0, 1);
  grid->addWidget(digitBox_, 0, 2);
  grid->addWidget(complexBox_, 0, 3);
  grid->addWidget(new QLabel(QStringLiteral("Hilite:"), group_), 1, 0);
  grid->addWidget(hiliteBox_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("FG:"), group_), 1, 2);
  grid->addWidget(fColor_, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("BG:"), group_), 1, 4);
  grid->addWidget(bColor_, 1, 5);
  grid->addWidget(new QLabel(QStringLiteral("Units:"), group_), 2, 0);
  grid->addWidget(units_, 2, 1, 1, 5);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  ok_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group_);
  layout->addLayout(buttons);

  stylePopUp_ = MakeMenu({{"Auto format", 3}, {"&Fixed decimal", 1}, {"&Exponential", 0}},
                         &TFormatSolnDlg::ChooseStyle, &TFormatSolnDlg::style_);
  digitPopUp_ = MakeMenu({{"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}, {"4", 4}, {"5", 5}, {"6", 6}, {"7", 7}, {"8", 8}, {"9", 9}},
                         &TFormatSolnDlg::ChooseDigits, &TFormatSolnDlg::digits_);
  hilitePopup_ = MakeMenu({{"Normal", 1}, {"Underline", 2}, {"Bold", 3}, {"Box", 4}, {nullptr, -1}, {"Hidden", 0}},
                          &TFormatSolnDlg::ChooseHilite, &TFormatSolnDlg::hilite_);
  complexStylePopUp_ = MakeMenu({{"Rectangular", 0}, {"Polar (degrees)", 1}, {"Polar (radians)", 2}},
                                &TFormatSolnDlg::ChooseComplexStyle, &TFormatSolnDlg::complexStyle_);
  connect(stylebox_, &QPushButton::pressed, this, [this] { PopUp(stylebox_, stylePopUp_); });
  connect(digitBox_, &QPushButton::pressed, this, [this] { PopUp(digitBox_, digitPopUp_); });
  connect(hiliteBox_, &QPushButton::pressed, this, [this] { PopUp(hiliteBox_, hilitePopup_); });
  connect(complexBox_, &QPushButton::pressed, this, [this] { PopUp(complexBox_, complexStylePopUp_); });
  connect(fColor_, &QComboBox::currentIndexChanged, this, [this](int i) { foreground_ = i; });
  connect(bColor_, &QComboBox::currentIndexChanged, this, [this](int i) { background_ = i; });
  connect(units_, &QLineEdit::textChanged, this, [this] { ShowExample(); });
  connect(ok_, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
  FormActivate();
}

QMenu* TFormatSolnDlg::MakeMenu(const std::vector<std::pair<const char*, int>>& items,
                                void (TFormatSolnDlg::*choose)(int), int TFormatSolnDlg::*current) {
  auto* menu = new QMenu(this);
  for (const auto& [text, value] : items) {
    if (text == nullptr) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(QString::fromLatin1(text));
    action->setCheckable(true);
    action->setData(value);
    connect(action, &QAction::triggered, this, [this, choose, value = value] { (this->*choose)(value); });
  }
  // Each menu checks the current choice when it opens.
  connect(menu, &QMenu::aboutToShow, this, [this, menu, current] {
    for (QAction* a : menu->actions())
      if (!a->isSeparator()) a->setChecked(a->data().toInt() == this->*current);
  });
  return menu;
}

void TFormatSolnDlg::PopUp(QPushButton* panel, QMenu* menu) {
  panel->setDown(false);
  menu->popup(panel->mapToGlobal(QPoint(0, 0)));
}

void TFormatSolnDlg::FormActivate() {
  int code = 1;
  if (routine_ > 0 && local_ != nullptr) {
    const TFormatChoice choice = OpenFormatOfLocal(*local_);
    style_ = choice.Style;
    digits_ = choice.Digits;
    code = choice.Code;
    units_->setText(QString::fromStdString(Cp1252ToUtf8(local_->Units)));
  } else {
    const TFormatChoice choice = OpenFormatOfVariable(index_, opening_);
    style_ = choice.Style;
    digits_ = choice.Digits;
    code = choice.Code;
    units_->setText(QString::fromStdString(Cp1252ToUtf8(choice.Units)));
  }
  UnpackFormatCode(code, foreground_, background_, hilite_, complexStyle_);
  fColor_->setCurrentIndex(foreground_);
  bColor_->setCurrentIndex(background_);
  Update();
  if (routine_ > 0 || Preferences.ComplexMode == 0) {
    complexBox_->hide();
    complexStyle_ = 0;
  }
  ShowExample();
  units_->setFocus();
}

void TFormatSolnDlg::Update() {
  static const char* hilites[] = {"Hidden", "Normal", "Underline", "Bold", "Box"};
  if (hilite_ >= 1 && hilite_ <= 4) hiliteBox_->setText(QString::fromLatin1(hilites[hilite_]));
  switch (style_) {
    case 1:
      stylebox_->setText(QStringLiteral("Fixed decimal"));
      break;
    case 3:
      stylebox_->setText(QStringLiteral("Auto format"));
      break;
    case 4:
      stylebox_->setText(QStringLiteral("String Var"));
      Grey(stylebox_, false);
      break;
    default:
      stylebox_->setText(QStringLiteral("Exponential"));
  }
  digitBox_->setText(QString::number(digits_));
  Grey(digitBox_, style_ == 0 || style_ == 1);
  static const char* complexTexts[] = {"Rectangular", "Polar (deg)", "Polar (rad)"};
  complexBox_->setText(QString::fromLatin1(complexTexts[complexStyle_ >= 0 && complexStyle_ <= 2 ? complexStyle_ : 0]));
}

void TFormatSolnDlg::ShowExample() {
  const bool shown = hilite_ != 0;
  Grey(stylebox_, shown && style_ != 4);
  Grey(formatL_, shown);
  Grey(complexBox_, shown && Preferences.ComplexMode != 0);
  Grey(digitBox_, shown && style_ != 3 && style_ != 4);
}

void TFormatSolnDlg::ChooseStyle(int style) {
  style_ = style;
  Update();
  ShowExample();
}

void TFormatSolnDlg::ChooseDigits(int digits) {
  digits_ = digits;
  digitBox_->setText(QString::number(digits));
  ShowExample();
}

void TFormatSolnDlg::ChooseHilite(int hilite) {
  hilite_ = hilite;
  if (hilite == 0)
    hiliteBox_->setText(QStringLiteral("Hidden"));
  else
    Update();
  ShowExample();
}

void TFormatSolnDlg::ChooseComplexStyle(int style) {
  complexStyle_ = style;
  Update();
  ShowExample();
}

void TFormatSolnDlg::Apply() {
  TFormatChoice choice;
  choice.Style = uint8_t(style_);
  choice.Digits = int16_t(digits_);
  choice.Code = int16_t(PackFormatCode(foreground_, background_, hilite_, complexStyle_));
  choice.Units = Utf8ToCp1252(units_->text().toStdString()).substr(0, 30);
  if (routine_ > 0)
    ApplyLocalFormat(routine_, choice);
  else
    ApplyVariableFormat(index_, opening_, choice);
}

void TFormatSolnDlg::OKBtnClick() {
  Apply();
  DocumentUnchanged = false;
  accept();
}

}  // namespace voq
