#include "tables/qt/alter_values_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "tables/qt/tab_info_dlg.h"
#include "tables/table_grid.h"

namespace voq {

TTableChgDlg::TTableChgDlg(TTableChgModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("TableChgDlg"));
  setWindowTitle(QString::fromStdString(model.Caption));
  setProperty("HelpContext", model.HelpContext());
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  firstRun_ = new QSpinBox(this);
  lastRun_ = new QSpinBox(this);
  for (QSpinBox* s : {firstRun_, lastRun_}) {
    s->setRange(1, model.RowCount);
    s->setMinimumWidth(90);
  }
  firstRun_->setValue(model.FirstRun);
  lastRun_->setValue(model.LastRun);
  grid->addWidget(new QLabel(QStringLiteral("First run"), this), 0, 0);
  grid->addWidget(firstRun_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Last run"), this), 0, 2);
  grid->addWidget(lastRun_, 0, 3);
  clear_ = new QRadioButton(QStringLiteral("Clear Values"), this);
  set_ = new QRadioButton(QStringLiteral("Set Values"), this);
  (model.ClearValues ? clear_ : set_)->setChecked(true);
  grid->addWidget(clear_, 1, 0, 1, 2);
  grid->addWidget(set_, 1, 2, 1, 2);
  first_ = new QLineEdit(QString::fromStdString(model.FirstText), this);
  second_ = new QLineEdit(QString::fromStdString(model.SecondText), this);
  mode_ = new QComboBox(this);
  for (const char* item : TTableChgModel::ModeItems) mode_->addItem(QString::fromLatin1(item));
  mode_->setCurrentIndex(model.Mode);
  grid->addWidget(new QLabel(QStringLiteral("First value"), this), 2, 0);
  grid->addWidget(first_, 2, 1);
  grid->addWidget(new QLabel(QString::fromStdString(model.Units), this), 2, 2);
  grid->addWidget(mode_, 3, 0);
  grid->addWidget(second_, 3, 1);
  grid->addWidget(new QLabel(QString::fromStdString(model.Units), this), 3, 2);
  pattern_ = new QCheckBox(this);
  pattern_->setChecked(model.Pattern);
  kind_ = new QComboBox(this);
  for (const char* item : TTableChgModel::PatternItems) kind_->addItem(QString::fromLatin1(item));
  kind_->setCurrentIndex(model.PatternKind);
  rows_ = new QSpinBox(this);
  rows_->setRange(2, 999999);
  rows_->setValue(model.PatternRows);
  auto* patternRow = new QHBoxLayout;
  patternRow->addWidget(pattern_);
  patternRow->addWidget(kind_);
  patternRow->addWidget(rows_);
  patternRow->addWidget(new QLabel(QStringLiteral("rows"), this));
  layout->addLayout(grid);
  layout->addLayout(patternRow);
  auto* buttons = new QHBoxLayout;
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  ok_->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(clear_, &QRadioButton::toggled, this, [this] { Enable(); });
  connect(pattern_, &QCheckBox::toggled, this, [this] { Enable(); });
  auto propose = [this] {
    ToModel();
    model_.ChooseMode(mode_->currentIndex());
    model_.ChoosePatternKind(kind_->currentIndex());
    second_->setText(QString::fromStdString(model_.SecondText));
  };
  connect(mode_, &QComboBox::currentIndexChanged, this, propose);
  connect(kind_, &QComboBox::currentIndexChanged, this, propose);
  connect(ok_, &QPushButton::clicked, this, [this] { OkClicked(); });
  connect(cancel, &QPushButton::clicked, this, [this] { done(2); });
  Enable();
}

void TTableChgDlg::ToModel() {
  model_.FirstRun = firstRun_->value();
  model_.LastRun = lastRun_->value();
  model_.ClearValues = clear_->isChecked();
  model_.FirstText = first_->text().toStdString();
  model_.SecondText = second_->text().toStdString();
  model_.Mode = mode_->currentIndex();
  model_.Pattern = pattern_->isChecked();
  model_.PatternKind = kind_->currentIndex();
  model_.PatternRows = rows_->value();
}

void TTableChgDlg::Enable() {
  const bool values = set_->isChecked();
  for (QWidget* w : {static_cast<QWidget*>(first_), static_cast<QWidget*>(second_), static_cast<QWidget*>(mode_),
                     static_cast<QWidget*>(pattern_)})
    w->setVisible(values);
  kind_->setVisible(values);
  rows_->setVisible(values);
  kind_->setEnabled(pattern_->isChecked());
  rows_->setEnabled(pattern_->isChecked());
}

void TTableChgDlg::OkClicked() {
  ToModel();
  if (model_.Ok()) {
    done(1);
    return;
  }
  QWidget* focus = model_.Refused == TAlterField::FirstValue   ? static_cast<QWidget*>(first_)
                   : model_.Refused == TAlterField::SecondValue ? static_cast<QWidget*>(second_)
                                                                : static_cast<QWidget*>(rows_);
  focus->setFocus();
  if (auto* edit = qobject_cast<QLineEdit*>(focus)) edit->selectAll();
}

void TQtTableDialogs::AlterValues(TTableGrid& grid, int32_t column) {
  TTableForm* f = grid.Form();
  TTableColumnRecord* c = f != nullptr ? FindColumn(f->Columns, column) : nullptr;
  if (c == nullptr || c->IsString != 0) return;
  f->MakeUndo();
  const TGridRect selection = f->Selection;
  TTableChgModel model(*f, *c, "", selection, c->Title() + ":  Column " + std::to_string(column));
  f->Selection = TGridRect{selection.Left, selection.Top, selection.Left, selection.Top};
  if (DialogOpenChanged != nullptr) DialogOpenChanged(true);
  {
    TTableChgDlg dialog(model, parent_);
    dialog.exec();
  }
  if (DialogOpenChanged != nullptr) DialogOpenChanged(false);
}

}  // namespace voq
