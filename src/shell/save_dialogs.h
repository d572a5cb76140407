#pragma once
// The File menu's own dialogs: TMySaveDialog, the Save As file dialog with
// the check boxes below it, and TAutoSaveDlg, which asks for a name when
// autosave finds an untitled document.
#include <QDialog>
#include <QFileDialog>
#include <string>

class QCheckBox;

namespace voq {

// The save-file dialog (Qt's own, not the desktop's, so that the check
// boxes can sit in it). Template "SAVEASOLD" adds the box "Save in older
// format for backward compatibility"; "PURGEVARS" adds "Purge n unused
// variables" as well. The older-format box is shown disabled while no
// writer of the older layout is installed.
class TMySaveDialog : public QFileDialog {
 public:
  TMySaveDialog(QWidget* owner, int32_t unusedCount, const std::string& templateName);

  int32_t UnusedCount = 0;
  bool PurgeVars = false;
  bool SaveOldFormat = false;

  // The filter entries in order ("VOQ file (*.VOQ *.voq)", ...); the export
  // entry only while the export writer is installed.
  const QStringList& Filters() const { return filters_; }
  // Selects the entry of a filter index (1 ".VOQ", 2 ".LIB", 3 ".XPT", 4
  // ".TXT"); an index not offered selects the first.
  void SelectFilterIndex(int32_t index);
  // The chosen name, with the extension of the chosen filter when it has none.
  std::string ChosenName() const;

  QCheckBox* OldFormatBox() const { return oldFormat_; }
  QCheckBox* PurgeBox() const { return purge_; }

 private:
  QStringList filters_;
  QCheckBox* oldFormat_ = nullptr;
  QCheckBox* purge_ = nullptr;
};

// "Message from  AutoSave": OK is "Save File As...", Cancel "Disable Autosave".
class TAutoSaveDlg : public QDialog {
 public:
  explicit TAutoSaveDlg(QWidget* owner = nullptr);
};

}  // namespace voq
