#include "tables/qt/solve_table_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/program_flags.h"
#include "platform/host.h"
#include "tables/tables_state.h"

namespace voq {

TSolveTableDlg::TSolveTableDlg(const TSolveTableChoices& choices, const std::vector<std::string>& tables,
                               bool warningsShown, bool diagramInputs, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("SolveTableDlg"));
  setWindowTitle(QStringLiteral("Solve Table"));
  setProperty("HelpContext", 45);
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  first_ = new QSpinBox(this);
  last_ = new QSpinBox(this);
  for (QSpinBox* spin : {first_, last_}) spin->setRange(1, 99999);
  first_->setValue(choices.FirstRun);
  last_->setValue(choices.LastRun);
  grid->addWidget(new QLabel(QStringLiteral("First Run"), this), 0, 0);
  grid->addWidget(first_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Last Run"), this), 1, 0);
  grid->addWidget(last_, 1, 1);
  table_ = new QComboBox(this);
  for (const std::string& name : tables) table_->addItem(QString::fromStdString(name));
  table_->addItem(QStringLiteral("All Parametric Tables"));
  table_->setCurrentIndex(choices.Table > 0 && choices.Table <= int(tables.size()) ? choices.Table - 1
                                                                                 : table_->count() - 1);
  grid->addWidget(new QLabel(QStringLiteral("Table"), this), 2, 0);
  grid->addWidget(table_, 2, 1);
  layout->addLayout(grid);
  update_ = new QCheckBox(QStringLiteral("Update guess values"), this);
  stop_ = new QCheckBox(QStringLiteral("Stop if warning occurs"), this);
  diagram_ = new QCheckBox(QStringLiteral("Use input from Diagram"), this);
  update_->setChecked(choices.UpdateGuesses);
  stop_->setChecked(warningsShown && choices.StopOnWarning);
  stop_->setEnabled(warningsShown);
  diagram_->setChecked(diagramInputs && choices.UseDiagramInput);
  diagram_->setEnabled(diagramInputs);
  for (QCheckBox* box : {update_, stop_, diagram_}) layout->addWidget(box);
  auto* buttons = new QHBoxLayout;
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  ok_->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  layout->addLayout(buttons);
  connect(ok_, &QPushButton::clicked, this, [this] { done(1); });
  connect(cancel_, &QPushButton::clicked, this, [this] { done(2); });
}

TSolveTableChoices TSolveTableDlg::Choices() const {
  TSolveTableChoices c;
  const int tables = table_->count() - 1;
  c.Table = table_->currentIndex() >= tables ? 0 : table_->currentIndex() + 1;
  c.FirstRun = first_->value();
  c.LastRun = last_->value();
  c.UpdateGuesses = update_->isChecked();
  c.StopOnWarning = stop_->isEnabled() && stop_->isChecked();
  c.UseDiagramInput = diagram_->isEnabled() && diagram_->isChecked();
  return c;
}

bool TQtSolveTableDialog::Execute(TSolveTableChoices& choices) {
  std::vector<std::string> tables;
  if (const TTableForm* form = TableForms[1].get()) tables = form->TabCaptions;
  const bool diagram = Diagram().UseInputs() && !Diagram().InputItems().empty();
  if (OpenChanged != nullptr) OpenChanged(true);
  bool ok = false;
  {
    TSolveTableDlg dialog(choices, tables, ShowWarningMessages, diagram, parent);
    ok = dialog.exec() == 1;
    if (ok) choices = dialog.Choices();
  }
  if (OpenChanged != nullptr) OpenChanged(false);
  return ok;
}

}  // namespace voq
