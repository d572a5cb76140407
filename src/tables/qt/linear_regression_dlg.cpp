#include "tables/qt/linear_regression_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/qt/qt_platform.h"
#include "results/qt_canvas.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

// Window texts are Windows-1252 bytes; the controls take Unicode.
QString Ui(const std::string& text) { return QString::fromUtf8(Cp1252ToUtf8(text).c_str()); }

}  // namespace

// The equation picture: drawn by the model, clicks go to its terms.
class TRegressionPicture : public QWidget {
 public:
  TRegressionPicture(TLinearRegressionModel& model, TLinearRegressionDlg& dialog, QWidget* parent)
      : QWidget(parent), model_(model), dialog_(dialog) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumHeight(300);
  }
  int32_t ViewWidth = 400;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    QtCanvas canvas(painter);
    const int32_t height = model_.DrawEqn(canvas, ViewWidth);
    if (height > minimumHeight()) setMinimumHeight(height);
  }
  void mousePressEvent(QMouseEvent* event) override {
    model_.ClickAt(int32_t(event->position().x()), int32_t(event->position().y()));
    dialog_.Refresh();
  }

 private:
  TLinearRegressionModel& model_;
  TLinearRegressionDlg& dialog_;
};

TLinearRegressionDlg::TLinearRegressionDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Linear Regression");
  setObjectName("TLinearRegressionDlg");
  auto* layout = new QGridLayout(this);

  auto* tableBox = new QGroupBox("Table", this);
  auto* tableLayout = new QHBoxLayout(tableBox);
  whichTable_ = new QComboBox(tableBox);
  whichTable_->setObjectName("WhichTableBox");
  tableIdLabel_ = new QLabel(tableBox);
  tableId_ = new QComboBox(tableBox);
  tableId_->setObjectName("TableIDBox");
  tableLayout->addWidget(whichTable_, 1);
  tableLayout->addWidget(tableId_, 1);
  layout->addWidget(tableBox, 0, 0, 1, 2);

  auto* depLabel = new QLabel("Dependent variable", this);
  listBox1_ = new QListWidget(this);
  listBox1_->setObjectName("ListBox1");
  auto* indLabel = new QLabel("Independent variable(s)", this);
  listBox2_ = new QListWidget(this);
  listBox2_->setObjectName("ListBox2");
  listBox2_->setSelectionMode(QAbstractItemView::MultiSelection);
  layout->addWidget(depLabel, 1, 0);
  layout->addWidget(indLabel, 1, 1);
  layout->addWidget(listBox1_, 2, 0);
  layout->addWidget(listBox2_, 2, 1);

  auto* formBox = new QGroupBox("Equation form", this);
  auto* formLayout = new QHBoxLayout(formBox);
  formLayout->addWidget(new QLabel("Polynomial order", formBox));
  order_ = new QSpinBox(formBox);
  order_->setObjectName("PaintDIG");
  order_->setRange(0, kRegressionMaxOrder);
  formLayout->addWidget(order_);
  crossTerms_ = new QCheckBox("Include cross-terms", formBox);
  crossTerms_->setObjectName("CrossTermsBox");
  formLayout->addWidget(crossTerms_);
  formLayout->addStretch(1);
  exclude_ = new QPushButton("Exclude", formBox);
  exclude_->setObjectName("ExcludeBtn");
  formLayout->addWidget(exclude_);
  layout->addWidget(formBox, 3, 0, 1, 2);

  scrollBox_ = new QScrollArea(this);
  scrollBox_->setObjectName("ScrollBox");
  scrollBox_->setWidgetResizable(true);
  scrollBox_->setMinimumHeight(90);
  scrollBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  picture_ = new TRegressionPicture(model_, *this, scrollBox_);
  picture_->setObjectName("Image");
  picture_->setMinimumHeight(60);
  scrollBox_->setWidget(picture_);
  layout->addWidget(scrollBox_, 4, 0, 1, 2);

  auto* rows = new QHBoxLayout();
  rows->addWidget(new QLabel("First Row", this));
  spinFirst_ = new QSpinBox(this);
  spinFirst_->setObjectName("SpinFirst");
  rows->addWidget(spinFirst_);
  rows->addWidget(new QLabel("Last Row", this));
  spinLast_ = new QSpinBox(this);
  spinLast_->setObjectName("SpinLast");
  rows->addWidget(spinLast_);
  rows->addStretch(1);
  layout->addLayout(rows, 5, 0, 1, 2);

  auto* buttons = new QHBoxLayout();
  ok_ = new QPushButton("Fit", this);
  ok_->setObjectName("OKBtn");
  ok_->setDefault(true);
  stats_ = new QPushButton("Stats", this);
  stats_->setObjectName("StatsBtn");
  cancel_ = new QPushButton("Cancel", this);
  cancel_->setObjectName("Cancel");
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addWidget(stats_);
  buttons->addWidget(cancel_);
  layout->addLayout(buttons, 6, 0, 1, 2);
  resize(520, 520);

  connect(listBox1_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    if (refreshing_) return;
    model_.ClickDependent(listBox1_->row(item));
    Refresh();
  });
  connect(listBox2_, &QListWidget::itemSelectionChanged, this, [this] {
    if (refreshing_) return;
    std::vector<bool> selected(size_t(listBox2_->count()), false);
    for (int i = 0; i < listBox2_->count(); ++i) selected[size_t(i)] = listBox2_->item(i)->isSelected();
    model_.ClickIndependents(selected);
    Refresh();
  });
  connect(order_, &QSpinBox::valueChanged, this, [this](int value) {
    if (refreshing_) return;
    model_.SetOrder(value);
    Refresh();
  });
  connect(crossTerms_, &QCheckBox::toggled, this, [this](bool on) {
    if (refreshing_) return;
    model_.SetCrossTerms(on);
    Refresh();
  });
  connect(exclude_, &QPushButton::clicked, this, [this] {
    model_.ToggleExclusion();
    Refresh();
  });
  connect(whichTable_, &QComboBox::activated, this, [this](int index) {
    model_.ChooseWindow(index);
    Refresh();
  });
  connect(tableId_, &QComboBox::activated, this, [this](int index) {
    model_.ChooseTable(index);
    Refresh();
  });
  connect(ok_, &QPushButton::clicked, this, [this] { OkClicked(); });
  connect(stats_, &QPushButton::clicked, this, [this] { StatsClicked(); });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  model_.Activate();
  Refresh();
}

QWidget* TLinearRegressionDlg::Image() const { return picture_; }

void TLinearRegressionDlg::Refresh() {
  refreshing_ = true;
  whichTable_->clear();
  for (const std::string& caption : model_.WindowCaptions) whichTable_->addItem(Ui(caption));
  whichTable_->setCurrentIndex(model_.WindowIndex);
  tableId_->clear();
  for (const std::string& id : model_.TableIds) tableId_->addItem(Ui(id));
  tableId_->setCurrentIndex(model_.RememberedTab[size_t(std::clamp(model_.TableKind, 1, 4))]);
  tableId_->setVisible(model_.TableIdShown);
  if (listBox1_->count() != int(model_.VariableNames.size())) {
    listBox1_->clear();
    listBox2_->clear();
    for (const std::string& name : model_.VariableNames) {
      listBox1_->addItem(Ui(name));
      listBox2_->addItem(Ui(name));
    }
    spinFirst_->setRange(model_.RowLow, std::max(model_.RowLow, model_.RowHigh));
    spinLast_->setRange(model_.RowLow, std::max(model_.RowLow, model_.RowHigh));
    spinFirst_->setValue(model_.FirstRow);
    spinLast_->setValue(model_.LastRow);
  }
  listBox1_->setCurrentRow(model_.Dependent);
  if (model_.Dependent < 0) listBox1_->clearSelection();
  for (int i = 0; i < listBox2_->count(); ++i)
    listBox2_->item(i)->setSelected(size_t(i) < model_.IndependentSelected.size() &&
                                    model_.IndependentSelected[size_t(i)]);
  order_->setValue(model_.Order);
  crossTerms_->setChecked(model_.CrossTerms);
  exclude_->setEnabled(model_.ExcludeEnabled);
  exclude_->setText(Ui(model_.ExcludeCaption));
  ok_->setEnabled(model_.FitEnabled || model_.Fitted);
  ok_->setText(Ui(model_.OkCaption));
  cancel_->setText(Ui(model_.CancelCaption));
  stats_->setEnabled(model_.StatsEnabled);
  picture_->ViewWidth = scrollBox_->viewport()->width();
  picture_->update();
  refreshing_ = false;
}

void TLinearRegressionDlg::OkClicked() {
  model_.FirstRow = spinFirst_->value();
  model_.LastRow = spinLast_->value();
  const TLinearRegressionModel::TOkOutcome outcome = model_.OkClick();
  if (outcome == TLinearRegressionModel::kOkFocusFirst || outcome == TLinearRegressionModel::kOkFocusLast) {
    QSpinBox* spin = outcome == TLinearRegressionModel::kOkFocusFirst ? spinFirst_ : spinLast_;
    spin->setFocus();
    spin->selectAll();
  }
  Refresh();
}

void TLinearRegressionDlg::StatsClicked() {
  TLinRegressStatsDlg stats(model_, this);
  stats.exec();
}

TLinRegressStatsDlg::TLinRegressStatsDlg(const TLinearRegressionModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle("Linear Regression Coefficients");
  setObjectName("TLinRegressStatsDlg");
  const TRegressionStatsTexts texts = model.StatsTexts();
  auto* layout = new QVBoxLayout(this);
  for (const std::string* line : {&texts.Points, &texts.Rms, &texts.Bias, &texts.RSquared})
    layout->addWidget(new QLabel(Ui(*line), this));
  const double scale = logicalDpiY() > 0 ? logicalDpiY() / 96.0 : 1.0;
  grid_ = new QTableWidget(int(texts.Cells.size()), 3, this);
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setColumnWidth(0, int(52 * scale));
  grid_->setColumnWidth(1, int(108 * scale));
  grid_->setColumnWidth(2, int(108 * scale));
  for (int r = 0; r < grid_->rowCount(); ++r) {
    grid_->setRowHeight(r, int(20 * scale));
    for (int c = 0; c < 3; ++c) {
      auto* item = new QTableWidgetItem(Ui(texts.Cells[size_t(r)][size_t(c)]));
      if (r == 0 || c == 0) item->setBackground(palette().button());
      grid_->setItem(r, c, item);
    }
  }
  const int visibleRows = std::min(grid_->rowCount(), 7);
  grid_->setVerticalScrollBarPolicy(grid_->rowCount() >= 8 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setFixedSize(int(272 * scale) + (grid_->rowCount() >= 8 ? grid_->verticalScrollBar()->sizeHint().width() : 0),
                      int(visibleRows * 20 * scale) + 2 * grid_->frameWidth());
  layout->addWidget(grid_);
  clipbox_ = new QCheckBox("Copy to Clipboard", this);
  clipbox_->setObjectName("Clipbox");
  layout->addWidget(clipbox_);
  auto* buttons = new QHBoxLayout();
  auto* ok = new QPushButton("OK", this);
  ok->setDefault(true);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, [this] {
    if (clipbox_->isChecked()) model_.CopyStats();
    accept();
  });
}

void LinearRegression1Click(QWidget* parent) {
  TLinearRegressionDlg dialog(parent);
  dialog.exec();
  // The dialog may have shown another tab of a table window.
  DocumentUnchanged = false;
}

}  // namespace voq
