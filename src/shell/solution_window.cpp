#include "shell/solution_window.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <string>

#include "core/number_format.h"
#include "core/number_text.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/qt/qt_platform.h"

namespace voq {

namespace {

// The stand-in: "name=value" a line, refreshed whenever it is shown.
class TSolutionStandIn : public TGForm {
 public:
  TSolutionStandIn() : text_(new QPlainTextEdit) {
    Tag = 2;
    setObjectName(QStringLiteral("SolutionForm"));
    setWindowTitle(QStringLiteral("Solution"));
    text_->setReadOnly(true);
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(14);
    text_->setFont(font);
    setWidget(text_);
    resize(360, 260);
  }

 protected:
  void showEvent(QShowEvent* event) override {
    Refresh();
    TGForm::showEvent(event);
  }

 private:
  void Refresh() {
    std::string lines;
    const TProgramUnitRecord* main = MainProgramUnit;
    const int32_t count = main != nullptr ? main->VariableCount : 0;
    for (int32_t i = 1; i <= count; ++i) {
      const TVariableRecord* v = main->Variable(i);
      if (v == nullptr) continue;
      lines += v->Name + "=" + FormatValue(TDisplayFormat{}, v->Value) + "\n";
    }
    text_->setPlainText(QString::fromStdString(Cp1252ToUtf8(lines)));
  }
  QPlainTextEdit* text_;
};

}  // namespace

TGForm* CreateSolutionWindow() { return new TSolutionStandIn; }

}  // namespace voq
