#pragma once
// TWarnMultCopy: the question a second copy asks before it starts.
#include <QDialog>

class QCheckBox;
class QLabel;

namespace voq {

class TWarnMultCopy : public QDialog {
 public:
  explicit TWarnMultCopy(QWidget* parent = nullptr);
  // Whether "Do not show this dialog next time" is ticked.
  bool NoMoreWarn() const;
  QCheckBox* nomoreWarnCB;
  QLabel* Label1;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace voq
