#pragma once
// The calculation progress window: the figures the engine computes for each
// redraw, an Abort button during the calculation and, at the end, the
// problem summary with a Continue button the engine waits for.
#include <QDialog>
#include <QTimer>

#include "platform/host.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace voq {

class TProgressView : public QDialog, public ProgressView {
 public:
  explicit TProgressView(QWidget* parent = nullptr);

  void Open() override;
  void Close() override;
  void Present(const TProgressFigures& figures) override;
  void PresentFinal(const TProgressFigures& figures, const std::string& summary) override;
  bool WaitsForContinue() const override { return isVisible(); }

  QLabel* Summary;
  QLabel* SubProgram;
  QLabel* BlockV;
  QLabel* LabelRight;
  QLabel* residualV;
  QLabel* VarChangeV;
  QLabel* seconds;
  QLabel* GridLabel1;
  QLabel* GridLabel2;
  // Names and values of the integration (or independent) variables; hidden
  // when the figures carry no grid.
  QTableWidget* Grid;
  QPushButton* Abort;
  QPushButton* Continue;

 protected:
  void reject() override;

 private:
  void PlaceInsideOwner();
  QTimer clock_;
  void ShowGrid(const TProgressFigures& figures);
};

}  // namespace voq
