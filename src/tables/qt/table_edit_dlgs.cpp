#include "tables/qt/table_edit_dlgs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "tables/qt/tab_info_dlg.h"
#include "tables/table_edits.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

QString ToQt(const std::string& bytes) { return QString::fromStdString(Cp1252ToUtf8(bytes)); }
std::string FromQt(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

QColor ColourOf(int32_t index) {
  const TRgb c = TableBackgroundColors[size_t(std::clamp(index, 0, 7))];
  return QColor(int(RedOf(c)), int(GreenOf(c)), int(BlueOf(c)));
}

QHBoxLayout* OkCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel) {
  ok = new QPushButton(QStringLiteral("OK"), dialog);
  ok->setObjectName(QStringLiteral("OKBtn"));
  ok->setDefault(true);
  cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
  cancel->setObjectName(QStringLiteral("CancelBtn"));
  QObject::connect(cancel, &QPushButton::clicked, dialog, [dialog] { dialog->done(2); });
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

QSpinBox* Spin(QWidget* parent, int low, int high, int value, const char* name) {
  auto* spin = new QSpinBox(parent);
  spin->setRange(low, high);
  spin->setValue(value);
  spin->setObjectName(QString::fromLatin1(name));
  return spin;
}

QRadioButton* Radio(QWidget* parent, const std::string& caption, const char* name) {
  auto* radio = new QRadioButton(ToQt(caption), parent);
  radio->setObjectName(QString::fromLatin1(name));
  return radio;
}

}  // namespace

// ---------------------------------------------------------------- colour list

void TColourItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  const QRect r = option.rect;
  painter->save();
  painter->fillRect(r, ColourOf(index.row()));
  painter->setPen(Qt::white);
  painter->drawRect(r.adjusted(0, 0, -1, -1));
  if (option.state & QStyle::State_Selected) {
    // The chosen colour: a black frame inside the white one.
    painter->setPen(QPen(Qt::black, 2));
    painter->drawRect(r.adjusted(2, 2, -2, -2));
  }
  painter->setPen(Qt::black);
  painter->setFont(option.font);
  painter->drawText(r.adjusted(15, 1, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, index.data().toString());
  painter->restore();
}

QSize TColourItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return QSize(120, option.fontMetrics.height() + 4);
}

// ---------------------------------------------------------------- format

TFormatTableDlg::TFormatTableDlg(const TFormatTableModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setModal(true);
  setObjectName(QStringLiteral("FormatTableDlg"));
  setWindowTitle(ToQt(model_.Caption()));

  formatGroup_ = new QGroupBox(this);
  formatGroup_->setObjectName(QStringLiteral("FormatGroup"));
  auto* format = new QGridLayout(formatGroup_);
  stylebox_ = new QPushButton(formatGroup_);
  stylebox_->setObjectName(QStringLiteral("Stylebox"));
  stylebox_->setMinimumWidth(130);
  digitBox_ = new QPushButton(formatGroup_);
  digitBox_->setObjectName(QStringLiteral("DigitBox"));
  digitBox_->setMinimumWidth(50);
  digitsLabel_ = new QLabel(QStringLiteral("Digits:"), formatGroup_);
  colorBox_ = new QListWidget(formatGroup_);
  colorBox_->setObjectName(QStringLiteral("ColorBox"));
  colorBox_->setItemDelegate(new TColourItemDelegate(colorBox_));
  for (const char* name : TableColourNames) colorBox_->addItem(QString::fromLatin1(name));
  colorBox_->setCurrentRow(std::clamp(model_.Colour, 0, 7));
  colorBox_->setFixedHeight(8 * (fontMetrics().height() + 4) + 2 * colorBox_->frameWidth());
  colorBox_->setMinimumWidth(130);
  spinWidth_ = Spin(formatGroup_, 1, 999, std::clamp(model_.Width, 1, 999), "SpinWidth");
  format->addWidget(new QLabel(QStringLiteral("Style:"), formatGroup_), 0, 0);
  format->addWidget(stylebox_, 0, 1);
  format->addWidget(digitsLabel_, 0, 2);
  format->addWidget(digitBox_, 0, 3);
  format->addWidget(new QLabel(QStringLiteral("Background color"), formatGroup_), 1, 0, 1, 2);
  format->addWidget(colorBox_, 2, 0, 1, 2);
  auto* widthBox = new QVBoxLayout;
  widthBox->addWidget(new QLabel(QStringLiteral("Column width"), formatGroup_));
  auto* widthRow = new QHBoxLayout;
  widthRow->addWidget(spinWidth_);
  widthRow->addWidget(new QLabel(QStringLiteral("pixels"), formatGroup_));
  widthBox->addLayout(widthRow);
  widthBox->addStretch(1);
  format->addLayout(widthBox, 1, 2, 2, 2);

  headerGroup_ = new QGroupBox(QStringLiteral("Column Header"), this);
  auto* header = new QGridLayout(headerGroup_);
  units_ = new QLineEdit(ToQt(model_.Units), headerGroup_);
  units_->setObjectName(QStringLiteral("Units"));
  title_ = new QLineEdit(ToQt(model_.Title), headerGroup_);
  title_->setObjectName(QStringLiteral("Title"));
  title_->setEnabled(model_.TitleEnabled());
  header->addWidget(new QLabel(QStringLiteral("Units:"), headerGroup_), 0, 0);
  header->addWidget(units_, 0, 1);
  header->addWidget(new QLabel(QStringLiteral("Title:"), headerGroup_), 1, 0);
  header->addWidget(title_, 1, 1);

  positionGroup_ = new QGroupBox(QStringLiteral("Position"), this);
  auto* position = new QHBoxLayout(positionGroup_);
  colEdit_ = Spin(positionGroup_, 1, std::max(1, model_.ColumnCount), std::max(1, model_.Position), "ColEdit");
  position->addWidget(new QLabel(QStringLiteral("Move to column number "), positionGroup_));
  position->addWidget(colEdit_);
  position->addStretch(1);

  auto* buttons = OkCancelRow(this, okBtn_, cancelBtn_);
  deleteBtn_ = new QPushButton(QStringLiteral("Delete"), this);
  deleteBtn_->setObjectName(QStringLiteral("DeleteBtn"));
  buttons->insertWidget(0, deleteBtn_);
  deleteBtn_->setVisible(model_.DeleteShown());

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(formatGroup_);
  layout->addWidget(headerGroup_);
  layout->addWidget(positionGroup_);
  layout->addLayout(buttons);
  // Several columns: only the format applies.
  headerGroup_->setVisible(model_.HeaderShown());
  positionGroup_->setVisible(model_.HeaderShown());
  deleteBtn_->setVisible(model_.DeleteShown());

  connect(stylebox_, &QPushButton::pressed, this, [this] {
    QMenu* menu = StyleMenu();
    menu->exec(stylebox_->mapToGlobal(QPoint(0, stylebox_->height())));
    menu->deleteLater();
  });
  connect(digitBox_, &QPushButton::pressed, this, [this] {
    QMenu* menu = DigitsMenu();
    menu->exec(digitBox_->mapToGlobal(QPoint(0, digitBox_->height())));
    menu->deleteLater();
  });
  connect(colorBox_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) model_.Colour = row;
  });
  connect(spinWidth_, &QSpinBox::valueChanged, this, [this](int value) { model_.Width = value; });
  connect(colEdit_, &QSpinBox::valueChanged, this, [this](int value) { model_.Position = value; });
  connect(okBtn_, &QPushButton::clicked, this, [this] { OkClicked(); });
  // The caller deletes the column, after the undo copy it took before the
  // dialog opened.
  connect(deleteBtn_, &QPushButton::clicked, this, [this] { done(6); });
  ShowExample();
  if (model_.TitleFocused()) title_->setFocus();
  else units_->setFocus();
}

QMenu* TFormatTableDlg::StyleMenu() {
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("StyleMenu"));
  for (int32_t item = 0; item < 4; ++item) {
    QAction* action = menu->addAction(QString::fromLatin1(TFormatTableModel::StyleItems[size_t(item)]));
    action->setCheckable(true);
    action->setChecked(item == model_.CheckedStyleItem());
    if (item == 3) action->setEnabled(model_.StringItemEnabled());
    connect(action, &QAction::triggered, this, [this, item] {
      model_.ChooseStyle(item);
      ShowExample();
    });
  }
  return menu;
}

QMenu* TFormatTableDlg::DigitsMenu() {
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("DigitsMenu"));
  for (int32_t digits = 0; digits <= 9; ++digits) {
    QAction* action = menu->addAction(QString::number(digits));
    action->setCheckable(true);
    action->setChecked(digits == model_.Format.Digits);
    connect(action, &QAction::triggered, this, [this, digits] {
      model_.ChooseDigits(digits);
      ShowExample();
    });
  }
  return menu;
}

void TFormatTableDlg::ShowExample() {
  formatGroup_->setTitle(ToQt(model_.GroupCaption()));
  stylebox_->setText(ToQt(model_.StyleText()));
  stylebox_->setEnabled(model_.StyleEnabled());
  digitBox_->setText(ToQt(model_.DigitsText()));
  digitBox_->setEnabled(model_.DigitsEnabled());
  digitsLabel_->setEnabled(model_.DigitsEnabled());
}

void TFormatTableDlg::OkClicked() {
  model_.Units = FromQt(units_->text());
  model_.Title = FromQt(title_->text());
  model_.Position = colEdit_->value();
  model_.Width = spinWidth_->value();
  if (!model_.Ok()) {
    title_->setFocus();
    return;
  }
  done(1);
}

// ---------------------------------------------------------------- sort

TSortForm::TSortForm(TSortModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setModal(true);
  setObjectName(QStringLiteral("SortForm"));
  setWindowTitle(ToQt(model_.Caption));
  topSpin_ = Spin(this, 1, 999999, model_.Top, "TopSpin");
  botSpin_ = Spin(this, 1, 999999, model_.Bottom, "BotSpin");
  auto* range = new QGroupBox(QStringLiteral("Rows"), this);
  auto* rangeLayout = new QGridLayout(range);
  rangeLayout->addWidget(new QLabel(QStringLiteral("from:"), range), 0, 0);
  rangeLayout->addWidget(topSpin_, 0, 1);
  rangeLayout->addWidget(new QLabel(QStringLiteral("to:"), range), 1, 0);
  rangeLayout->addWidget(botSpin_, 1, 1);

  auto* order = new QGroupBox(QStringLiteral("Order"), this);
  auto* orderLayout = new QVBoxLayout(order);
  ascending_ = Radio(order, "Ascending", "Ascending");
  descending_ = Radio(order, "Descending", "Descending");
  ascending_->setChecked(true);
  orderLayout->addWidget(ascending_);
  orderLayout->addWidget(descending_);

  auto* scope = new QGroupBox(QStringLiteral("Sort"), this);
  auto* scopeLayout = new QVBoxLayout(scope);
  thisColumn_ = Radio(scope, "This column ", "ThisColumn");
  allColumns_ = Radio(scope, "All Columns", "AllColumns");
  thisColumn_->setChecked(true);
  scopeLayout->addWidget(thisColumn_);
  scopeLayout->addWidget(allColumns_);

  auto* groups = new QHBoxLayout;
  groups->addWidget(range);
  groups->addWidget(order);
  groups->addWidget(scope);
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
  auto* buttons = OkCancelRow(this, ok, cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, [this] {
    model_.Top = topSpin_->value();
    model_.Bottom = botSpin_->value();
    model_.Ascending = ascending_->isChecked();
    model_.ThisColumnOnly = thisColumn_->isChecked();
    model_.Ok();
    done(1);
  });
}

// ---------------------------------------------------------------- insert runs

TInsertRunsDlg::TInsertRunsDlg(int32_t kind, QWidget* parent) : QDialog(parent), model_(kind) {
  setModal(true);
  setObjectName(QStringLiteral("InsertRunsDlg"));
  setWindowTitle(ToQt(model_.Caption()));
  tableBox_ = new QComboBox(this);
  tableBox_->setObjectName(QStringLiteral("TableIDBox"));
  for (const std::string& name : model_.Tables()) tableBox_->addItem(ToQt(name));
  tableBox_->setCurrentIndex(model_.ShownTable());
  insert_ = Radio(this, model_.InsertCaption(), "InsertRadio");
  delete_ = Radio(this, model_.DeleteCaption(), "DeleteRadio");
  insert_->setChecked(true);
  auto* mode = new QButtonGroup(this);
  mode->addButton(insert_);
  mode->addButton(delete_);
  start_ = Radio(this, model_.StartCaption(), "StartRadio");
  end_ = Radio(this, model_.EndCaption(), "EndRadio");
  after_ = Radio(this, model_.AfterCaption(), "AfterRadio");
  start_->setChecked(true);
  auto* place = new QButtonGroup(this);
  place->addButton(start_);
  place->addButton(end_);
  place->addButton(after_);
  afterRow_ = Spin(this, 1, 8999, model_.AfterRow, "AfterRowEdit");
  rows_ = Spin(this, 1, 8999, model_.Count, "RowsEdit");

  auto* grid = new QGridLayout;
  grid->addWidget(tableBox_, 0, 0, 1, 3);
  grid->addWidget(insert_, 1, 0);
  grid->addWidget(delete_, 2, 0);
  grid->addWidget(start_, 1, 1);
  grid->addWidget(end_, 2, 1);
  grid->addWidget(after_, 3, 1);
  grid->addWidget(afterRow_, 3, 2);
  grid->addWidget(new QLabel(ToQt(model_.CountCaption()), this), 4, 1);
  grid->addWidget(rows_, 4, 2);
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
  auto* buttons = OkCancelRow(this, ok, cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  connect(tableBox_, &QComboBox::currentIndexChanged, this, [this](int index) { model_.ChooseTable(index); });
  connect(mode, &QButtonGroup::buttonClicked, this, [this] { Sync(); });
  connect(place, &QButtonGroup::buttonClicked, this, [this] { Sync(); });
  connect(afterRow_, &QSpinBox::valueChanged, this, [this] {
    after_->setChecked(true);
    Sync();
  });
  connect(ok, &QPushButton::clicked, this, [this] {
    Sync();
    model_.Count = rows_->value();
    model_.AfterRow = afterRow_->value();
    if (model_.Ok()) done(1);
  });
  disconnect(cancel, nullptr, this, nullptr);
  connect(cancel, &QPushButton::clicked, this, [this] {
    model_.Cancel();
    done(2);
  });
  Sync();
}

void TInsertRunsDlg::Sync() {
  model_.InsertMode = insert_->isChecked();
  model_.Place = start_->isChecked() ? TTablePlace::Start : end_->isChecked() ? TTablePlace::End : TTablePlace::After;
  start_->setText(ToQt(model_.StartCaption()));
  end_->setText(ToQt(model_.EndCaption()));
  afterRow_->setEnabled(model_.AfterRowEnabled());
}

// ---------------------------------------------------------------- insert columns

TNewLookupDlg::TNewLookupDlg(QWidget* parent) : QDialog(parent) {
  setModal(true);
  setObjectName(QStringLiteral("NewLookupDlg"));
  setWindowTitle(QStringLiteral("New Lookup Table"));
  title_ = new QLineEdit(ToQt(model_.Title), this);
  title_->setObjectName(QStringLiteral("TitleEdit"));
  title_->setMaxLength(30);
  title_->selectAll();
  rows_ = Spin(this, 1, TNewLookupModel::kMaxRows, model_.Rows, "RowsEdit");
  columns_ = Spin(this, 1, TNewLookupModel::kMaxColumns, model_.Columns, "ColumnsEdit");
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Title"), this), 0, 0);
  grid->addWidget(title_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("No. of Rows"), this), 1, 0);
  grid->addWidget(rows_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("No. of Columns"), this), 2, 0);
  grid->addWidget(columns_, 2, 1);
  QPushButton* cancel = nullptr;
  auto* buttons = OkCancelRow(this, ok_, cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  connect(ok_, &QPushButton::clicked, this, [this] {
    model_.Title = FromQt(title_->text());
    model_.Rows = rows_->value();
    model_.Columns = columns_->value();
    if (model_.Ok()) {
      done(1);
      return;
    }
    title_->selectAll();
    title_->setFocus();
  });
  connect(this, &QDialog::finished, this, [this](int result) {
    if (result != 1) model_.DiscardUndo();
  });
}

TInsertColsDlg::TInsertColsDlg(QWidget* parent) : QDialog(parent) {
  setModal(true);
  setObjectName(QStringLiteral("InsertColsDlg"));
  setWindowTitle(ToQt(model_.Caption()));
  tableBox_ = new QComboBox(this);
  tableBox_->setObjectName(QStringLiteral("TableIDBox"));
  for (const std::string& name : model_.Tables()) tableBox_->addItem(ToQt(name));
  tableBox_->setCurrentIndex(model_.Table);
  insert_ = Radio(this, "Insert Columns", "InsertRadio");
  delete_ = Radio(this, "Delete Columns", "DeleteRadio");
  insert_->setChecked(true);
  auto* mode = new QButtonGroup(this);
  mode->addButton(insert_);
  mode->addButton(delete_);
  start_ = Radio(this, model_.StartCaption(), "StartRadio");
  end_ = Radio(this, model_.EndCaption(), "EndRadio");
  after_ = Radio(this, "After column", "AfterRadio");
  start_->setChecked(true);
  auto* place = new QButtonGroup(this);
  place->addButton(start_);
  place->addButton(end_);
  place->addButton(after_);
  afterCol_ = Spin(this, 1, 999, model_.AfterCol, "AfterColEdit");
  cols_ = Spin(this, 1, 999, model_.Count, "ColsEdit");
  auto* grid = new QGridLayout;
  grid->addWidget(tableBox_, 0, 0, 1, 3);
  grid->addWidget(insert_, 1, 0);
  grid->addWidget(delete_, 2, 0);
  grid->addWidget(start_, 1, 1);
  grid->addWidget(end_, 2, 1);
  grid->addWidget(after_, 3, 1);
  grid->addWidget(afterCol_, 3, 2);
  grid->addWidget(new QLabel(QStringLiteral("No. of columns"), this), 4, 1);
  grid->addWidget(cols_, 4, 2);
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
  auto* buttons = OkCancelRow(this, ok, cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  connect(tableBox_, &QComboBox::currentIndexChanged, this, [this](int index) { model_.Table = index; });
  connect(mode, &QButtonGroup::buttonClicked, this, [this] {
    model_.SetInsertMode(insert_->isChecked());
    if (model_.Place == TTablePlace::Start) start_->setChecked(true);
    Sync();
  });
  connect(place, &QButtonGroup::buttonClicked, this, [this] { Sync(); });
  connect(ok, &QPushButton::clicked, this, [this] {
    Sync();
    model_.Count = cols_->value();
    model_.AfterCol = afterCol_->value();
    Platform().SetBusyCursor(1);
    const bool done1 = model_.Ok();
    Platform().SetBusyCursor(0);
    if (done1) done(1);
  });
  Sync();
}

void TInsertColsDlg::Sync() {
  model_.InsertMode = insert_->isChecked();
  model_.Place = start_->isChecked() ? TTablePlace::Start : end_->isChecked() ? TTablePlace::End : TTablePlace::After;
  start_->setText(ToQt(model_.StartCaption()));
  end_->setText(ToQt(model_.EndCaption()));
  afterCol_->setEnabled(model_.AfterColEnabled());
}

// ---------------------------------------------------------------- delete tables

TDeleteTableDlg::TDeleteTableDlg(int32_t kind, QWidget* parent) : QDialog(parent), model_(kind) {
  setModal(true);
  setObjectName(QStringLiteral("DeleteTableDlg"));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("TableListBox"));
  list_->setSelectionMode(QAbstractItemView::MultiSelection);
  for (size_t i = 0; i < model_.Lines.size(); ++i) {
    list_->addItem(ToQt(model_.Lines[i]));
    list_->item(int(i))->setSelected(model_.Selected[i]);
    if (model_.Selected[i]) list_->scrollToItem(list_->item(int(i)));
  }
  deleteBtn_ = new QPushButton(QStringLiteral("Delete"), this);
  deleteBtn_->setObjectName(QStringLiteral("Delete"));
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(deleteBtn_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(buttons);
  auto sync = [this] {
    for (int i = 0; i < list_->count() && size_t(i) < model_.Selected.size(); ++i)
      model_.Selected[size_t(i)] = list_->item(i)->isSelected();
    setWindowTitle(ToQt(model_.Caption()));
    deleteBtn_->setEnabled(model_.DeleteEnabled());
  };
  connect(list_, &QListWidget::itemSelectionChanged, this, sync);
  connect(cancel, &QPushButton::clicked, this, [this] { done(2); });
  connect(deleteBtn_, &QPushButton::clicked, this, [this] {
    model_.Delete();
    done(1);
  });
  sync();
}

int TDeleteTableDlg::Execute() {
  if (!model_.HasTables()) return 2;
  return exec();
}

// ---------------------------------------------------------------- the window's dialogs

void TQtTableDialogs::ColumnFormat(TTableGrid& grid, int32_t column) {
  TTableForm* f = grid.Form();
  if (f == nullptr) return;
  f->MakeUndo();
  const TFormatTableModel model = FormatModelOf(grid, column);
  if (DialogOpenChanged != nullptr) DialogOpenChanged(true);
  TFormatTableDlg dialog(model, parent_);
  const int result = dialog.exec();
  if (DialogOpenChanged != nullptr) DialogOpenChanged(false);
  if (result == 1) {
    ApplyColumnFormat(grid, column, dialog.Model(), model.Width);
  } else if (result == 6) {
    if (TTableColumnRecord* c = FindColumn(f->Columns, column)) DeleteColumn(*f, c);
  }
  if (TTableForm* still = grid.Form(); still != nullptr && result != 2) still->MultipleTableRefresh();
}

void TQtTableDialogs::Sort(TTableGrid& grid, int32_t column) {
  TTableForm* f = grid.Form();
  if (f == nullptr) return;
  TSortModel model(*f, column);
  TSortForm dialog(model, parent_);
  dialog.exec();
}

}  // namespace voq
