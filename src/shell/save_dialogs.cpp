#include "shell/save_dialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "documents/document_files.h"
#include "documents/file_commands.h"
#include "platform/qt/qt_platform.h"

namespace voq {

namespace {

struct TSaveFilter {
  int32_t Index;
  const char* Label;
  const char* Extension;
};

constexpr TSaveFilter kSaveFilters[] = {
    {1, "VOQ file", "VOQ"}, {2, "Library file", "LIB"}, {3, "Export file", "XPT"}, {4, "Text files", "TXT"}};

bool Offered(const TSaveFilter& f) { return f.Index != 3 || bool(DocumentFormatHooks().ExportDocumentText); }

// Names on this file system are case-sensitive: each filter takes both cases.
QString FilterText(const TSaveFilter& f) {
  const QString ext = QString::fromLatin1(f.Extension);
  return QString::fromLatin1(f.Label) + QStringLiteral(" (*.") + ext + QStringLiteral(" *.") + ext.toLower() +
         QStringLiteral(")");
}

}  // namespace

TMySaveDialog::TMySaveDialog(QWidget* owner, int32_t unusedCount, const std::string& templateName)
    : QFileDialog(owner), UnusedCount(unusedCount) {
  setObjectName(QString::fromStdString(templateName));
  setWindowTitle(QStringLiteral("Save As"));
  setOption(QFileDialog::DontUseNativeDialog, true);
  setAcceptMode(QFileDialog::AcceptSave);
  setFileMode(QFileDialog::AnyFile);
  setOption(QFileDialog::DontConfirmOverwrite, false);
  setDefaultSuffix(QStringLiteral("VOQ"));
  for (const TSaveFilter& f : kSaveFilters) {
    if (Offered(f)) filters_ << FilterText(f);
  }
  setNameFilters(filters_);

  auto* grid = qobject_cast<QGridLayout*>(layout());
  auto* boxes = new QWidget(this);
  auto* column = new QVBoxLayout(boxes);
  column->setContentsMargins(0, 0, 0, 0);
  oldFormat_ = new QCheckBox(QString::fromLatin1(kSaveOldFormatCaption), boxes);
  oldFormat_->setObjectName(QStringLiteral("Control102"));
  oldFormat_->setEnabled(bool(DocumentFormatHooks().WriteDocumentOldFormat));
  column->addWidget(oldFormat_);
  connect(oldFormat_, &QCheckBox::toggled, this, [this](bool on) { SaveOldFormat = on; });
  if (templateName == "PURGEVARS") {
    purge_ = new QCheckBox(QString::fromStdString(PurgeBoxCaption(unusedCount)), boxes);
    purge_->setObjectName(QStringLiteral("Control101"));
    column->addWidget(purge_);
    connect(purge_, &QCheckBox::toggled, this, [this](bool on) { PurgeVars = on; });
  }
  if (grid != nullptr) {
    grid->addWidget(boxes, grid->rowCount(), 0, 1, grid->columnCount());
  }
}

void TMySaveDialog::SelectFilterIndex(int32_t index) {
  for (const TSaveFilter& f : kSaveFilters) {
    if (f.Index == index && Offered(f)) {
      selectNameFilter(FilterText(f));
      return;
    }
  }
  if (!filters_.isEmpty()) selectNameFilter(filters_.front());
}

std::string TMySaveDialog::ChosenName() const {
  if (selectedFiles().isEmpty()) return std::string();
  std::string name = Utf8ToCp1252(selectedFiles().front().toStdString());
  if (DocumentExtension(name).empty()) {
    for (const TSaveFilter& f : kSaveFilters) {
      if (FilterText(f) == selectedNameFilter()) name += std::string(".") + f.Extension;
    }
  }
  return name;
}

TAutoSaveDlg::TAutoSaveDlg(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("AutoSaveDlg"));
  setWindowTitle(QStringLiteral("Message from  AutoSave"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  auto* column = new QVBoxLayout(this);
  auto* label = new QLabel(QStringLiteral("Autosave requires that you provide a name for this new file."), this);
  column->addWidget(label);
  auto* row = new QHBoxLayout;
  auto* saveAs = new QPushButton(QStringLiteral("Save File As..."), this);
  saveAs->setObjectName(QStringLiteral("SaveAsButton"));
  auto* disable = new QPushButton(QStringLiteral("Disable Autosave"), this);
  disable->setObjectName(QStringLiteral("DisableButton"));
  saveAs->setDefault(true);
  row->addStretch();
  row->addWidget(saveAs);
  row->addWidget(disable);
  row->addStretch();
  column->addLayout(row);
  connect(saveAs, &QPushButton::clicked, this, &QDialog::accept);
  connect(disable, &QPushButton::clicked, this, &QDialog::reject);
  setMinimumSize(363, 71);
}

}  // namespace voq
