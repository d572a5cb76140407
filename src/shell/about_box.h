#pragma once
// TAboutBox: the splash box shown while the user libraries load at start-up,
// and the About box. WaitEvent keeps it up until the user presses a key
// (Ctrl alone does not count) or clicks its OK button.
#include <QDialog>

class QLabel;
class QPushButton;

namespace voq {

class TAboutBox : public QDialog {
 public:
  explicit TAboutBox(QWidget* parent = nullptr);
  ~TAboutBox() override;
  void WaitEvent();

  QLabel* LoadingLabel;
  QPushButton* OKButton;

 protected:
  bool eventFilter(QObject* target, QEvent* event) override;

 private:
  bool waiting_ = false;
  bool done_ = false;
};

}  // namespace voq
