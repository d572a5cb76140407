#include "shell/progress_view.h"

#include <QGridLayout>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "shell/main_window.h"
#include "platform/qt/qt_platform.h"
#include "solver/progress.h"

namespace voq {

namespace {

QLabel* Coloured(const QString& text, const char* colour) {
  auto* label = new QLabel(text);
  label->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(colour)));
  return label;
}

QString Text(const std::string& s) { return QString::fromStdString(Cp1252ToUtf8(s)); }

}  // namespace

TProgressView::TProgressView(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Summary(Coloured(QString(), "blue")),
      SubProgram(Coloured(QString(), "red")),
      BlockV(Coloured(QString(), "blue")),
      LabelRight(Coloured(QString(), "blue")),
      residualV(new QLabel),
      VarChangeV(new QLabel),
      seconds(new QLabel),
      GridLabel1(new QLabel),
      GridLabel2(new QLabel),
      Grid(new QTableWidget(0, 2)),
      Abort(new QPushButton(QStringLiteral("Abort"))),
      Continue(new QPushButton(QStringLiteral("Continue"))) {
  setWindowTitle(QStringLiteral("Calculation Progress"));
  // Its buttons work while the calculation holds other input back.
  setProperty("voqCalculationInput", true);
  Summary->setAlignment(Qt::AlignCenter);
  SubProgram->setAlignment(Qt::AlignCenter);
  auto* figures = new QGridLayout;
  figures->addWidget(Coloured(QStringLiteral("Block "), "blue"), 0, 0);
  figures->addWidget(BlockV, 0, 1);
  figures->addWidget(new QLabel(QStringLiteral("Iteration")), 0, 2);
  figures->addWidget(LabelRight, 0, 3);
  figures->addWidget(new QLabel(QStringLiteral("Elapsed time = ")), 1, 0, 1, 2);
  figures->addWidget(seconds, 1, 2, 1, 2);
  figures->addWidget(new QLabel(QStringLiteral("Maximum residual = ")), 2, 0, 1, 2);
  figures->addWidget(residualV, 2, 2, 1, 2);
  figures->addWidget(new QLabel(QStringLiteral("Maximum variable change = ")), 3, 0, 1, 2);
  figures->addWidget(VarChangeV, 3, 2, 1, 2);
  Grid->horizontalHeader()->hide();
  Grid->verticalHeader()->hide();
  Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Grid->setSelectionMode(QAbstractItemView::NoSelection);
  Grid->setFocusPolicy(Qt::NoFocus);
  Grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* gridHeadings = new QHBoxLayout;
  gridHeadings->addWidget(GridLabel1);
  gridHeadings->addWidget(GridLabel2);
  GridLabel1->hide();
  GridLabel2->hide();
  Grid->hide();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Abort);
  buttons->addWidget(Continue);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Summary);
  layout->addWidget(SubProgram);
  layout->addLayout(figures);
  layout->addLayout(gridHeadings);
  layout->addWidget(Grid, 0, Qt::AlignBottom);
  layout->addLayout(buttons);
  // Abort ends the calculation as Esc does: the abort request alone is only
  // read between iterations, the cancelled error also ends a long
  // factorisation or a routine's loop at its next poll.
  connect(Abort, &QPushButton::clicked, this, [] {
    if (TVOQ_D* main = MainWindow()) {
      main->RequestCalculationAbort();
    } else {
      CalcErrorCode = kMsgCancelled;
      AbortRequested = true;
    }
  });
  // A routine's loop polls the keyboard, which lets the event loop run, but
  // draws no figures: this clock asks for them while the calculation runs
  // (the redraw itself keeps to twice a second).
  clock_.setInterval(500);
  connect(&clock_, &QTimer::timeout, this, [] {
    if (ProgressDlg != nullptr && ProgressDlg->FinalDisplay == 0) ProgressDlg->Draw();
  });
  connect(Continue, &QPushButton::clicked, this, [] {
    if (ProgressDlg != nullptr) ProgressDlg->ContinueClicked = 1;
  });
}

void TProgressView::Open() {
  setWindowTitle(QStringLiteral("Calculation Progress"));
  Summary->hide();
  Continue->hide();
  Abort->show();
  for (QLabel* l : {SubProgram, BlockV, LabelRight, residualV, VarChangeV, seconds}) l->clear();
  ShowGrid(TProgressFigures{});
  adjustSize();
  PlaceInsideOwner();
  show();
  raise();
  clock_.start();
}

void TProgressView::PlaceInsideOwner() {
  // Centred on the main window, and never with its title bar above the
  // top of the screen the main window is on.
  const QWidget* owner = parentWidget();
  if (owner == nullptr || !owner->isVisible()) return;
  const QRect frame = owner->frameGeometry();
  QRect box(QPoint(0, 0), sizeHint().expandedTo(size()));
  box.moveCenter(frame.center());
  if (const QScreen* screen = owner->screen()) {
    const QRect area = screen->availableGeometry();
    box.moveLeft(std::clamp(box.left(), area.left(), std::max(area.left(), area.right() - box.width())));
    box.moveTop(std::clamp(box.top(), area.top() + 30, std::max(area.top() + 30, area.bottom() - box.height())));
  }
  move(box.topLeft());
}

void TProgressView::reject() {
  // Esc belongs to the calculation (the main window's filter turns it into
  // the abort request), Continue to the final display: the window is never
  // closed by the key.
}

void TProgressView::Close() {
  clock_.stop();
  hide();
}

void TProgressView::Present(const TProgressFigures& f) {
  setWindowTitle(f.Caption.empty() ? QStringLiteral("Calculation Progress") : Text(f.Caption));
  SubProgram->setText(Text(f.SubProgram));
  SubProgram->setVisible(!f.SubProgram.empty());
  BlockV->setText(Text(f.Block));
  LabelRight->setText(Text(f.Iteration));
  residualV->setText(Text(f.Residual));
  VarChangeV->setText(Text(f.VariableChange));
  seconds->setText(Text(f.Seconds));
  ShowGrid(f);
  // The calculation holds the event loop: the figures are painted now, not
  // at the next poll that may come seconds later.
  if (isVisible()) repaint();
}

void TProgressView::ShowGrid(const TProgressFigures& f) {
  const bool shown = !f.GridLabel1.empty();
  GridLabel1->setVisible(shown);
  GridLabel2->setVisible(shown);
  Grid->setVisible(shown);
  if (!shown) {
    Grid->setRowCount(0);
    return;
  }
  GridLabel1->setText(Text(f.GridLabel1));
  GridLabel2->setText(Text(f.GridLabel2));
  const int rows = static_cast<int>(f.Grid.size());
  Grid->setRowCount(rows);
  QFont bold = Grid->font();
  bold.setBold(true);
  for (int r = 0; r < rows; ++r) {
    const auto& row = f.Grid[static_cast<size_t>(r)];
    const std::string* texts[2] = {&row.Name, &row.Value};
    for (int c = 0; c < 2; ++c) {
      QTableWidgetItem* item = Grid->item(r, c);
      if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setFont(bold);
        item->setBackground(Grid->palette().button());
        Grid->setItem(r, c, item);
      }
      item->setText(Text(*texts[c]));
    }
  }
  // The grid is as tall as its rows, so the window grows with them.
  int height = 4;
  for (int r = 0; r < rows; ++r) height += Grid->rowHeight(r);
  Grid->setFixedHeight(height);
}

void TProgressView::PresentFinal(const TProgressFigures& f, const std::string& summary) {
  setWindowTitle(Text(f.Caption.empty() ? std::string("Calculations Completed") : f.Caption));
  Summary->setText(Text(summary));
  Summary->show();
  Abort->hide();
  Continue->show();
  Continue->setDefault(true);
  // The window waits for Continue: it takes the keyboard, so Enter answers
  // it. While the calculation ran the main window may have kept the focus
  // (a window manager does not activate a window that was only shown).
  raise();
  activateWindow();
  Continue->setFocus();
}

}  // namespace voq
