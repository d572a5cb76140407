#pragma once
// TCompiling: the small stay-on-top window the compile driver shows while it
// reads the Equations text. It counts the lines and aborts the compile when
// the user presses its Abort button or any key but Shift.
#include <QDialog>

#include "platform/host.h"

class QLabel;
class QPushButton;

namespace voq {

class TCompiling : public QDialog, public CompilingWindow {
 public:
  explicit TCompiling(QWidget* parent = nullptr);
  ~TCompiling() override;

  void Show() override;
  void Hide() override;
  bool Shown() const override { return Active; }
  void Update(int32_t lineNumber) override;

  // A compile is under way (the window shown for it).
  bool Active = false;
  QLabel* LineL;
  QPushButton* OKBtn;

 protected:
  bool eventFilter(QObject* target, QEvent* event) override;

 private:
  // Input for this window arrived since the last Update.
  bool inputTaken_ = false;
  bool abortInput_ = false;
};

}  // namespace voq
