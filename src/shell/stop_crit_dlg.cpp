#include "shell/stop_crit_dlg.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "core/messages.h"
#include "model/document_settings.h"
#include "model/store_state.h"
#include "platform/qt/qt_platform.h"
#include "tables/tables_state.h"

namespace voq {

int TStopCritDlg::RememberedPage = 0;

namespace {

QSpinBox* MakeSpin(QWidget* parent, const TSpinRange& range) {
  auto* spin = new QSpinBox(parent);
  spin->setRange(range.Low, range.High);
  spin->setSingleStep(range.Step);
  spin->setMinimumWidth(80);
  return spin;
}

QString Text(const std::string& bytes) { return QString::fromStdString(Cp1252ToUtf8(bytes)); }
std::string Bytes(const QLineEdit* edit) { return Utf8ToCp1252(edit->text().toStdString()); }

}  // namespace

TStopCritDlg::TStopCritDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Tolerances"));
  setModal(true);
  setProperty("helpContext", 38);

  notebook_ = new QStackedWidget(this);

  // "Stop Criteria" page.
  auto* stopPage = new QWidget;
  auto* stopGroup = new QGroupBox(QStringLiteral("Stop Criteria Parameters"), stopPage);
  iters_ = new QLineEdit(stopGroup);
  relResid_ = new QLineEdit(stopGroup);
  chgVars_ = new QLineEdit(stopGroup);
  elapsed_ = new QLineEdit(stopGroup);
  auto* stopForm = new QFormLayout(stopGroup);
  stopForm->addRow(QStringLiteral("No. of Iterations > "), iters_);
  stopForm->addRow(QStringLiteral("Relative Residuals < "), relResid_);
  stopForm->addRow(QStringLiteral("Change in Variables < "), chgVars_);
  stopForm->addRow(QStringLiteral("Elapsed Time (sec) > "), elapsed_);
  auto* stopLayout = new QVBoxLayout(stopPage);
  stopLayout->addWidget(stopGroup);
  stopLayout->addStretch();
  notebook_->addWidget(stopPage);

  // "Integration" page.
  auto* integrationPage = new QWidget;
  auto* stepGroup = new QGroupBox(QStringLiteral("Automatic Step Size Selection Parameters"), integrationPage);
  fixedRB_ = new QRadioButton(QStringLiteral("Use fixed step size with"), stepGroup);
  fixedEdit_ = MakeSpin(stepGroup, kFixedStepsRange);
  useRichardsonCB_ = new QCheckBox(QStringLiteral("Use Richardson Extrapolation"), stepGroup);
  variableRB_ = new QRadioButton(QStringLiteral("Vary step at intervals of "), stepGroup);
  intervalEdit_ = MakeSpin(stepGroup, kIntervalRange);
  variableInfoGB_ = new QGroupBox(stepGroup);
  minEdit_ = MakeSpin(variableInfoGB_, kMinStepsRange);
  maxEdit_ = MakeSpin(variableInfoGB_, kMaxStepsRange);
  halveEdit_ = new QLineEdit(variableInfoGB_);
  doubleEdit_ = new QLineEdit(variableInfoGB_);
  auto* variableForm = new QFormLayout(variableInfoGB_);
  variableForm->addRow(QStringLiteral("Minimum number of steps"), minEdit_);
  variableForm->addRow(QStringLiteral("Maximum number of steps"), maxEdit_);
  variableForm->addRow(QStringLiteral("Reduce step if rel. error >"), halveEdit_);
  variableForm->addRow(QStringLiteral("Increase step if rel. error <"), doubleEdit_);
  // The page keeps its size while the group is hidden in fixed-step mode.
  QSizePolicy keep = variableInfoGB_->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  variableInfoGB_->setSizePolicy(keep);
  auto* stepGrid = new QGridLayout(stepGroup);
  stepGrid->addWidget(fixedRB_, 0, 0);
  stepGrid->addWidget(fixedEdit_, 0, 1);
  stepGrid->addWidget(new QLabel(QStringLiteral("steps"), stepGroup), 0, 2);
  stepGrid->addWidget(useRichardsonCB_, 1, 0, 1, 3, Qt::AlignLeft);
  stepGrid->addWidget(variableRB_, 2, 0);
  stepGrid->addWidget(intervalEdit_, 2, 1);
  stepGrid->addWidget(new QLabel(QStringLiteral("steps"), stepGroup), 2, 2);
  stepGrid->addWidget(variableInfoGB_, 3, 0, 1, 3);
  stepGrid->setColumnStretch(3, 1);
  auto* integrationLayout = new QVBoxLayout(integrationPage);
  integrationLayout->addWidget(stepGroup);
  integrationLayout->addStretch();
  notebook_->addWidget(integrationPage);

  // The tab strip under the pages, named after them.
  tabSet_ = new QTabBar(this);
  tabSet_->setShape(QTabBar::RoundedSouth);
  tabSet_->setExpanding(false);
  tabSet_->addTab(QStringLiteral("Stop Criteria"));
  tabSet_->addTab(QStringLiteral("Integration"));

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

  connect(tabSet_, &QTabBar::currentChanged, this, [this](int page) { TabSetClick(page); });
  connect(fixedRB_, &QRadioButton::clicked, this, [this] { FixedRBClick(); });
  connect(variableRB_, &QRadioButton::clicked, this, [this] { VariableRBClick(); });
  connect(intervalEdit_, &QSpinBox::editingFinished, this, [this] { IntervalEditExit(); });
  connect(okBtn_, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(store_, &QPushButton::clicked, this, [this] { StoreClick(); });
  connect(cancelBtn_, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
  FormActivate();
}

void TStopCritDlg::FormActivate() {
  TabSetClick(RememberedPage == 1 ? 1 : 0);
  saved_ = StopCriteria;
  const TStopCritFields f = StopCritFieldsOf(StopCriteria, IntegrationSettings);
  iters_->setText(Text(f.Iters));
  relResid_->setText(Text(f.RelResid));
  chgVars_->setText(Text(f.ChgVars));
  elapsed_->setText(Text(f.Elapsed));
  fixedEdit_->setValue(f.FixedSteps);
  minEdit_->setValue(f.MinSteps);
  maxEdit_->setValue(f.MaxSteps);
  halveEdit_->setText(Text(f.Halve));
  doubleEdit_->setText(Text(f.Double));
  intervalEdit_->setValue(f.Interval);
  useRichardsonCB_->setChecked(f.UseRichardson);
  fixedRB_->setChecked(f.Fixed);
  variableRB_->setChecked(!f.Fixed);
  ShowMode(f.Fixed);
}

void TStopCritDlg::TabSetClick(int page) {
  if (page < 0 || page >= notebook_->count()) return;
  notebook_->setCurrentIndex(page);
  if (tabSet_->currentIndex() != page) tabSet_->setCurrentIndex(page);
}

void TStopCritDlg::ShowMode(bool fixed) {
  fixedEdit_->setEnabled(fixed);
  intervalEdit_->setEnabled(!fixed);
  variableInfoGB_->setVisible(!fixed);
}

void TStopCritDlg::FixedRBClick() {
  ShowMode(true);
  useRichardsonCB_->setEnabled(true);
}

void TStopCritDlg::VariableRBClick() { ShowMode(false); }

void TStopCritDlg::IntervalEditExit() {
  useRichardsonCB_->setChecked(RichardsonAfterInterval(intervalEdit_->value(), useRichardsonCB_->isChecked()));
}

TStopCritFields TStopCritDlg::Fields() const {
  TStopCritFields f;
  f.Iters = Bytes(iters_);
  f.RelResid = Bytes(relResid_);
  f.ChgVars = Bytes(chgVars_);
  f.Elapsed = Bytes(elapsed_);
  f.Fixed = fixedRB_->isChecked();
  f.FixedSteps = fixedEdit_->value();
  f.UseRichardson = useRichardsonCB_->isChecked();
  f.Interval = intervalEdit_->value();
  f.MinSteps = minEdit_->value();
  f.MaxSteps = maxEdit_->value();
  f.Halve = Bytes(halveEdit_);
  f.Double = Bytes(doubleEdit_);
  return f;
}

bool TStopCritDlg::GetV() {
  inputError_ = false;
  const int bad = GetStopCritFields(Fields(), StopCriteria, IntegrationSettings);
  if (bad == kNoBadField) return true;
  inputError_ = true;
  ThrottledBeep();
  QLineEdit* const fields[] = {iters_, relResid_, chgVars_, elapsed_};
  QLineEdit* field = fields[bad];
  // The refused field is on the first page; bring it into view.
  TabSetClick(0);
  field->setFocus(Qt::OtherFocusReason);
  field->selectAll();
  return false;
}

void TStopCritDlg::OKBtnClick() {
  GetV();
  // Either way the next command compiles again with what is now stored.
  DocumentUnchanged = false;
  EquationsCompiled = false;
  if (!inputError_) accept();
}

void TStopCritDlg::StoreClick() {
  if (!GetV()) return;
  StoreStopCriteriaDefaults();
  DocumentUnchanged = false;
  accept();
}

void TStopCritDlg::CancelBtnClick() {
  StopCriteria = saved_;
  QDialog::reject();
}

void TStopCritDlg::reject() { CancelBtnClick(); }

void TStopCritDlg::done(int result) {
  RememberedPage = notebook_->currentIndex();
  QDialog::done(result);
}

}  // namespace voq
