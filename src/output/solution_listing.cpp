#include "output/solution_listing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/locale_settings.h"
#include "core/number_format.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/display_names.h"
#include "output/format_codes.h"
#include "output/palette.h"
#include "output/solution_format.h"
#include "solver/evaluator.h"
#include "units/unit_check.h"

namespace voq {

namespace {

TSolutionState solutionState;

int32_t HiliteOf(int16_t code) { return std::abs(int32_t(code)) % 10; }

bool ShowLocals() { return Preferences.ShowLocalVariables != 0; }
bool AutoUnitCheck() { return Preferences.CheckUnitsAutomatically != 0 && Preferences.ComplexMode == 0; }

// A module-local name "@unit\call.name": its unit and call numbers and the
// plain name; false for any other name.
bool SplitModuleLocalName(const std::string& name, int32_t& unit, int32_t& call, std::string& plain) {
  if (name.empty() || name[0] != '@') return false;
  plain = name;
  ParseLocalVarName(plain, unit, call);
  return true;
}

// A property function was evaluated: some equation holds a substance.
bool PropertyCallsInModel() {
  for (const TProgramUnitRecord* u : ProgramUnitList) {
    if (u == nullptr) continue;
    for (const TEquationRecord* e = u->FirstEquation; e != nullptr; e = e->Next)
      if (e->SubstanceChain != nullptr) return true;
  }
  return false;
}

bool RoutineListed(const TRoutineRecord* r) {
  return r != nullptr && r->IsLibrary == 0 && r->Locals != nullptr && (r->Called != 0 || r->CallCounter > 0);
}

bool UnitListed(const TProgramUnitRecord* u) {
  // A MODULE counts its calls as they are read, a SUBPROGRAM its solves.
  return u != nullptr && u->IsLibraryUnit == 0 && u->Defined != 0 && (u->CallCount > 0 || u->DisplayedCallCount > 0);
}

TProgramUnitRecord* UnitAt(int32_t i) {
  return i >= 0 && size_t(i) < ProgramUnitList.size() ? ProgramUnitList[size_t(i)] : nullptr;
}

// Checks one statement when it is not checked yet; gives its state.
int32_t CheckStatement(TEquationRecord* e, int32_t routine) {
  if (UnitsCheckState(e) == -9) {
    const int32_t savedError = CalcErrorCode;
    CalcErrorCode = 0;
    CheckEquationUnits(e, 0, routine);
    SetUnitsCheckState(e, CalcErrorCode > 0 ? CalcErrorCode : 0);
    CalcErrorCode = savedError;
  }
  return UnitsCheckState(e);
}

std::string ProblemMessage(int32_t id, int32_t count, const std::string& where) {
  SetMessageArg(1, std::to_string(count));
  SetMessageArg(2, count == 1 ? " was" : "s were");
  SetMessageArg(3, where);
  return GetMessageText(id);
}

std::string ValueText(const TVariableRecord& v) {
  TDisplayFormat format{v.Style, v.Digits};
  if (v.IsString) format.Style = kStyleStringConstant;
  return FormatValue(format, v.Value);
}

std::string EntryText(const std::string& name, const std::string& value, const std::string& units) {
  std::string text = name + " = " + value;
  if (!units.empty()) text += " [" + units + "]";
  return text;
}

// One listing in progress.
class Lister {
 public:
  Lister(TSolutionState& state, int32_t width, const TEntryMetrics& metrics, int32_t firstVisible,
         int32_t lastVisible)
      : state_(state), width_(width), metrics_(metrics), firstVisible_(firstVisible), lastVisible_(lastVisible) {
    charWidth_ = std::max(1, metrics.CharWidth());
    lineHeight_ = metrics.LineHeight() + 2;
    if (state.Printing) {
      leftColumn_ = 0;
      // The gap between columns is ten screen pixels at the printer's scale.
      gap_ = 10 * std::max(1, static_cast<int32_t>(std::lround(PrinterDpi / 96.0)));
    }
  }

  TSolutionListing Run();

 private:
  void Advance(int32_t n = 1) { out_.LastLine += n; }
  bool Visible() const { return out_.LastLine >= firstVisible_ && out_.LastLine <= lastVisible_; }
  void Write(int32_t column, const std::string& text, int32_t kind) {
    TSolutionItem item;
    item.Line = out_.LastLine;
    item.Column = column;
    item.Kind = kind;
    item.Text = text;
    out_.Items.push_back(std::move(item));
  }
  int32_t PixelTop() const { return out_.LastLine * lineHeight_ + state_.TopOffset - 2; }
  void Layout(int32_t widest, int32_t entries, int32_t limit);
  void PlaceEntry(TSolutionItem item, int32_t& counter);
  bool ListUnitVariables(int32_t unit, int32_t call);
  void ListRoutineLocals();
  void MainFooter();

  TSolutionState& state_;
  int32_t width_;
  const TEntryMetrics& metrics_;
  int32_t firstVisible_;
  int32_t lastVisible_;
  int32_t charWidth_ = 1;
  int32_t lineHeight_ = 1;
  int32_t leftColumn_ = 2;
  int32_t gap_ = 10;
  std::string tabName_ = "Main";
  bool localsListed_ = false;
  int32_t columns_ = 1;
  int32_t step_ = 1;
  TSolutionListing out_;
};

void Lister::Layout(int32_t widest, int32_t entries, int32_t limit) {
  const int32_t c = std::max(1, (widest + gap_) / charWidth_);
  int32_t n = width_ / c;
  n = std::min(n, entries);
  if (limit > 0) n = std::min(n, limit);
  if (UncertaintyMode) n = std::min(n, 1);
  if (n < 1) {
    n = 1;
    step_ = 1;
  } else {
    step_ = width_ / n;
  }
  columns_ = n;
  out_.Columns = n;
  out_.ColumnStep = step_;
  out_.ColumnWidth = c;
}

void Lister::PlaceEntry(TSolutionItem item, int32_t& counter) {
  if (counter == columns_) {
    counter = 0;
    Advance();
  }
  item.Line = out_.LastLine;
  item.Column = counter * step_ + leftColumn_;
  item.Text = EntryText(item.Name, item.Value, item.Units);
  if (Visible() && state_.Printing) {
    out_.Items.push_back(std::move(item));
  } else if (Visible()) {
    TScreenRect r;
    r.Left = item.Column * charWidth_ - 3;
    r.Right = r.Left + metrics_.EntryWidth(item) + 6;
    r.Top = PixelTop();
    r.Bottom = r.Top + lineHeight_;
    item.Rect = r;
    if (state_.SelectAllPaint) {
      if (item.Variable != nullptr && item.Variable->DisplayCode > 0) item.Variable->DisplayCode = int16_t(-item.Variable->DisplayCode);
      if (item.Local != nullptr) item.Local->SpareBytes[0] = 1;
    }
    if (item.Variable != nullptr) {
      item.Variable->ScreenRect = r;
      item.Selected = item.Variable->DisplayCode < 0;
    }
    if (item.Local != nullptr) {
      item.Local->Box = r;
      item.Selected = item.Local->SpareBytes[0] != 0;
    }
    out_.Items.push_back(std::move(item));
  }
  ++counter;
}

bool Lister::ListUnitVariables(int32_t unit, int32_t call) {
  TProgramUnitRecord* u = CurrentProgramUnit;
  if (u == nullptr) return false;
  struct Candidate {
    TVariableRecord* v;
    std::string name;
    int32_t index;
    int32_t position;
  };
  std::vector<Candidate> shown;
  bool listed = false;
  for (int32_t k = 1; k <= u->UsedVariableCount; ++k) {
    const int32_t index = u->UsedVariableList[size_t(k)];
    TVariableRecord* v = u->Variable(index);
    if (v == nullptr) continue;
    std::string name = v->Name;
    int32_t vu = 0, vc = 0;
    std::string plain;
    if (SplitModuleLocalName(v->Name, vu, vc, plain)) {
      if (!ShowLocals() || unit == 0 || call == 0 || vu != unit || vc != call) continue;
      name = plain;
    } else if (call > 0) {
      continue;
    }
    listed = true;
    int32_t position = -1;
    if (UncertaintyMode && !UncertaintyListPosition(index, position)) continue;
    if (v->DisplayCode == 0) continue;
    if (IsArrayElement(*v) && Preferences.UseArraysWindow != 0 && !UncertaintyMode && unit <= 0) {
      out_.ArraysLeftOut = true;
      v->ScreenRect = {};
      continue;
    }
    v->ScreenRect = {};
    if (HiliteOf(v->DisplayCode) == 0) continue;
    shown.push_back({v, name, index, position});
  }
  // Pass 1: the widest entry.
  int32_t widest = 0;
  std::vector<TSolutionItem> items;
  for (const Candidate& c : shown) {
    TSolutionItem item;
    item.IsEntry = true;
    item.Variable = c.v;
    item.Unit = u;
    item.Index = c.index;
    item.UncertaintyPosition = c.position;
    item.Name = c.name;
    item.Value = ValueText(*c.v) + (c.position >= 0 ? UncertaintyText(c.index) : std::string());
    item.Units = c.v->IsString ? "" : c.v->Units;
    item.Code = int16_t(std::abs(int32_t(c.v->DisplayCode)));
    widest = std::max(widest, metrics_.EntryWidth(item));
    items.push_back(std::move(item));
  }
  if (listed) Advance();
  int32_t limit = 0;
  if (call > 0) limit = int32_t(items.size());
  Layout(widest, std::max<int32_t>(int32_t(items.size()), 1), limit);

  // The header.
  std::string header;
  if (unit > 0) {
    const TProgramUnitRecord* owner = UnitAt(unit);
    if (owner != nullptr) {
      header = "Local variables in " + std::string(owner->IsSubprogram ? "Subprogram " : "Module ") + owner->Name;
      if (owner->IsSubprogram)
        header += " (" + std::to_string(std::max<int32_t>(owner->CallCount, owner->DisplayedCallCount)) + " calls)";
      if (call > 0) {
        header += "\\" + std::to_string(call);
        if (size_t(call) <= owner->CallTexts.size() && !owner->CallTexts[size_t(call) - 1].empty())
          header += "  (" + owner->CallTexts[size_t(call) - 1] + ")";
      }
    }
  } else if (ShowLocals() && (ProgramUnitList.size() > 1 || UncertaintyMode)) {
    if (UncertaintyMode) {
      const std::string title = "Variable" + std::string(1, kPlusMinusSign) + "Uncertainty";
      int32_t c = out_.ColumnWidth;
      if (c < int32_t(title.size()) + 5) c = int32_t(title.size()) + 6;
      out_.ColumnWidth = c;
      Write(leftColumn_, title, kTextBold);
      Write(c + 5, "Partial derivative", kTextBold);
      Write(2 * c + 5, "% of uncertainty", kTextBold);
      Advance();
    } else if (CurrentRun > 0) {
      header = "(Parametric Table Run " + std::to_string(CurrentRun) + ")";
    }
  }
  if (!header.empty() && listed) {
    std::string shownHeader;
    for (char ch : header) shownHeader += (static_cast<unsigned char>(ch) == 255) ? std::string("..") : std::string(1, ch);
    Write(leftColumn_, shownHeader, kTextBold);
    Advance();
    out_.MinWidth = std::max(out_.MinWidth, metrics_.TextWidth(shownHeader) * 5 / 4);
  }
  if (columns_ != state_.LastColumnCount && call < 1) out_.RepaintWanted = true;
  state_.LastColumnCount = columns_;

  // Pass 2.
  int32_t counter = 0;
  for (TSolutionItem& item : items) PlaceEntry(std::move(item), counter);
  return listed;
}

void Lister::ListRoutineLocals() {
  if (!ShowLocals() || localsListed_) return;
  for (int32_t j = 1; j <= FunctionCount; ++j) {
    TRoutineRecord* r = FunctionTable[size_t(j)];
    if (!RoutineListed(r) || r->Name != tabName_) continue;
    localsListed_ = true;
    TLocalVariableRecord* first = r->Locals;
    if (r->OutputCount > 0 && first != nullptr) first = first->Next;
    int32_t problems = 0;
    if (AutoUnitCheck()) {
      TProgramUnitRecord* saved = CurrentProgramUnit;
      CurrentProgramUnit = MainProgramUnit;
      for (TEquationRecord* e = r->FirstStatement; e != nullptr; e = e->Next)
        if (CheckStatement(e, j) > 0) ++problems;
      CurrentProgramUnit = saved;
    }
    std::vector<TLocalVariableRecord*> sorted;
    for (TLocalVariableRecord* l = first; l != nullptr; l = l->Next)
      if (!IsBlank(l->Value)) sorted.push_back(l);
    std::stable_sort(sorted.begin(), sorted.end(), [](const TLocalVariableRecord* a, const TLocalVariableRecord* b) {
      return UpperCaseName(a->Name) < UpperCaseName(b->Name);
    });
    std::vector<TSolutionItem> items;
    int32_t widest = 0;
    for (TLocalVariableRecord* l : sorted) {
      TSolutionItem item;
      item.IsEntry = true;
      item.Local = l;
      item.Name = l->Name;
      TDisplayFormat format{l->Style, l->Digits};
      if (l->IsString) format.Style = kStyleStringConstant;
      item.Value = FormatValue(format, l->Value);
      if (l->IsString) item.Value = "'" + item.Value + "'";
      item.Units = l->IsString ? "" : l->Units;
      item.Code = int16_t(std::abs(int32_t(l->DisplayCode)));
      l->Box = {};
      widest = std::max(widest, metrics_.EntryWidth(item));
      if (l->LocalNumber >= 0 && HiliteOf(l->DisplayCode) != 0) items.push_back(std::move(item));
    }
    Layout(widest, std::max<int32_t>(int32_t(sorted.size()), 1), 0);
    Advance();
    const int32_t calls = std::max(r->CallCounter, int32_t(1));
    const std::string header = "Local variables in " + std::string(r->OutputCount > 0 ? "Procedure " : "Function ") +
                               r->Name + " (" + std::to_string(calls) + (calls == 1 ? " call)" : " calls)");
    Write(leftColumn_, header, kTextBold);
    out_.MinWidth = std::max(out_.MinWidth, metrics_.TextWidth(header));
    Advance();
    int32_t counter = 0;
    for (TSolutionItem& item : items) PlaceEntry(std::move(item), counter);
    Advance();
    if (problems > 0 && !state_.Printing) {
      Advance();
      const std::string message =
          ProblemMessage(kMsgUnitProblemsIn, problems, r->OutputCount > 0 ? "Procedure" : "Function");
      Write(leftColumn_, message, kTextRed);
      out_.ShowUnitsButton = true;
      out_.ButtonLine = out_.LastLine;
      out_.ButtonLeft = leftColumn_ * charWidth_ + metrics_.TextWidth(message) + 35;
      out_.UnitProblems = problems;
    }
    return;
  }
}

void Lister::MainFooter() {
  out_.UnitsMessageLine = -1;
  if (AutoUnitCheck() && !state_.RecordingPicture) {
    int32_t problems = 0;
    TProgramUnitRecord* saved = CurrentProgramUnit;
    if (ShowLocals()) {
      CurrentProgramUnit = MainProgramUnit;
      for (int32_t j = 1; j <= FunctionCount; ++j) {
        TRoutineRecord* r = FunctionTable[size_t(j)];
        if (!RoutineListed(r) || r->FirstStatement == nullptr) continue;
        for (TEquationRecord* e = r->FirstStatement; e != nullptr; e = e->Next)
          if (CheckStatement(e, j) > 0) ++problems;
      }
    }
    for (size_t i = 0; i < ProgramUnitList.size(); ++i) {
      TProgramUnitRecord* u = ProgramUnitList[i];
      if (u == nullptr) continue;
      const bool isMain = u == MainProgramUnit;
      if (!isMain && !(ShowLocals() && u->IsSubprogram && UnitListed(u))) continue;
      CurrentProgramUnit = u;
      for (TEquationRecord* e = u->FirstEquation; e != nullptr; e = e->Next) {
        if (CheckStatement(e, 0) <= 0) continue;
        if (!ShowLocals() && e->Text.value_or("").find('@') != std::string::npos) {
          SetUnitsCheckState(e, 0);
          continue;
        }
        ++problems;
      }
    }
    CurrentProgramUnit = saved;
    Advance();
    out_.UnitsMessageLine = out_.LastLine;
    Advance();
    out_.UnitProblems = problems;
    if (problems == 0) {
      Write(leftColumn_, GetMessageText(kMsgNoUnitProblems), kTextGreen);
      out_.ShowUnitsButton = false;
      Advance();
    } else {
      const std::string message = ProblemMessage(kMsgUnitProblems, problems, "");
      Write(leftColumn_, message, kTextRed);
      out_.ButtonLine = out_.LastLine;
      out_.ButtonLeft = leftColumn_ * charWidth_ + metrics_.TextWidth(message) + 25;
      Advance();
      out_.ShowUnitsButton = tabName_ == "Main" || !ShowLocals();
    }
  }
  if (!state_.RecordingPicture && !state_.Printing) {
    Advance();
    if (!AutoUnitCheck()) Advance();
    Write(leftColumn_, "Calculation time = " + CalculationTimeText(SolveStartTicks - RunStartTicks), kTextGreen);
    if (out_.ArraysLeftOut) {
      Advance(2);
      Write(leftColumn_, "Array variables are in the Arrays window", kTextBlue);
      Advance();
    }
  }
}

TSolutionListing Lister::Run() {
  // The unit-settings and optimisation lines belong to the entry texts'
  // canvas; the listing leaves their lines to the window.
  const bool tabsShown = state_.TabsShown;
  int32_t minChars = 0;
  if (state_.Printing && (!tabsShown || state_.SelectedTab <= 0)) {
    Advance();
    Write(0, "SOLUTION", kTextNormal);
  }
  if ((!tabsShown || state_.SelectedTab <= 0) && (PropertyCallsInModel() || Preferences.ComplexMode != 0) &&
      !state_.RecordingPicture) {
    Advance();
    const std::string text = UnitSettingsText();
    // At the entries' left column: on screen a line at column 0 touches the
    // window's border.
    if (Visible()) Write(leftColumn_, text, kTextRed);
    minChars = leftColumn_ + int32_t(text.size());
  }
  if (MinMaxMode) {
    Advance();
    const std::string text = MinMaxHeaderText();
    if (Visible()) Write(leftColumn_, text, kTextGreen);
    minChars = std::max(minChars, leftColumn_ + int32_t(text.size()));
  }
  out_.MinWidth = minChars * charWidth_;
  localsListed_ = !ShowLocals();
  tabName_ = "Main";
  if (ShowLocals() && tabsShown) {
    if (state_.SelectedTab < 0 && !state_.Tabs.empty()) state_.SelectedTab = 0;
    tabName_ = SelectedTabName(state_);
    ListRoutineLocals();
    if (!localsListed_) {
      for (size_t i = 1; i < ProgramUnitList.size(); ++i) {
        TProgramUnitRecord* u = ProgramUnitList[i];
        if (!UnitListed(u) || u->Name != tabName_) continue;
        if (u->Merged == 0) {
          CurrentProgramUnit = u;
          ListUnitVariables(int32_t(i), 0);
          int32_t problems = 0;
          for (TEquationRecord* e = u->FirstEquation; e != nullptr && AutoUnitCheck(); e = e->Next)
            if (CheckStatement(e, 0) > 0) ++problems;
          Advance();
          if (problems > 0 && !state_.Printing) {
            const std::string message = ProblemMessage(kMsgUnitProblemsIn, problems, "Subprogram");
            Advance();
            Write(leftColumn_, message, kTextRed);
            out_.ShowUnitsButton = true;
            out_.ButtonLine = out_.LastLine;
            out_.ButtonLeft = leftColumn_ * charWidth_ + metrics_.TextWidth(message) + 35;
            out_.UnitProblems = problems;
          }
          localsListed_ = true;
        } else {
          CurrentProgramUnit = MainProgramUnit;
          for (int32_t n = 1; n < 10000; ++n) {
            if (!ListUnitVariables(int32_t(i), n)) break;
            Advance();
          }
        }
      }
    }
  }
  CurrentProgramUnit = MainProgramUnit;
  if (!tabsShown || tabName_ == "Main" || UncertaintyMode) {
    // The "Solution" tab of uncertainty mode lists the plain solution.
    const bool plain = UncertaintyMode && tabsShown && state_.SelectedTab > 0;
    if (plain) UncertaintyMode = false;
    ListUnitVariables(0, 0);
    if (plain) UncertaintyMode = true;
    MainFooter();
  }
  out_.VerticalRange = std::max(0, (out_.LastLine + 2) * lineHeight_ + lineHeight_ / 2);
  int32_t horizontal = std::max(out_.MinWidth, out_.Columns * out_.ColumnWidth * charWidth_ + 25);
  horizontal = std::max(horizontal, 250);
  out_.HorizontalRange = horizontal;
  return std::move(out_);
}

}  // namespace

const TSolutionItem* TSolutionListing::FindText(const std::string& text) const {
  for (const TSolutionItem& item : Items)
    if (item.Text.find(text) != std::string::npos) return &item;
  return nullptr;
}

std::vector<const TSolutionItem*> TSolutionListing::Entries() const {
  std::vector<const TSolutionItem*> entries;
  for (const TSolutionItem& item : Items)
    if (item.IsEntry) entries.push_back(&item);
  return entries;
}

TSolutionState& SolutionState() { return solutionState; }

void ResetSolutionState() {
  solutionState = TSolutionState{};
  FormatUndoList().clear();
}

int32_t UnitsCheckState(const TEquationRecord* e) {
  // WindowWords[1] marks a statement as checked; a fresh record is not.
  return e->WindowWords[1] == 0 ? -9 : e->WindowWords[0];
}

void SetUnitsCheckState(TEquationRecord* e, int32_t state) {
  if (state == -9) {
    e->WindowWords = {0, 0};
  } else {
    e->WindowWords[0] = int16_t(state);
    e->WindowWords[1] = 1;
  }
}

bool IsArrayElement(const TVariableRecord& v) {
  return v.ArrayRow != -32766 || v.Name.find('[') != std::string::npos;
}

void ClearUnitsCheck() {
  if (!AutoUnitCheck()) return;
  for (int32_t j = 1; j <= FunctionCount; ++j) {
    TRoutineRecord* r = FunctionTable[size_t(j)];
    if (r == nullptr || r->IsLibrary != 0) continue;
    for (TEquationRecord* e = r->FirstStatement; e != nullptr; e = e->Next) SetUnitsCheckState(e, -9);
  }
  for (TProgramUnitRecord* u : ProgramUnitList) {
    if (u == nullptr) continue;
    for (TEquationRecord* e = u->FirstEquation; e != nullptr; e = e->Next) SetUnitsCheckState(e, -9);
  }
}

void ActivateSolution(TSolutionState& state, int32_t nowTicks) {
  ClearUnitsCheck();
  state.LastColumnCount = 0;
  state.ActivationTicks = nowTicks;
  state.RecordingPicture = false;
  for (TProgramUnitRecord* u : ProgramUnitList) {
    if (u == nullptr) continue;
    for (int32_t k = 1; k <= u->VariableCount; ++k)
      if (TVariableRecord* v = u->Variable(k)) v->ScreenRect = {};
  }
  if (UncertaintyMode) {
    state.Tabs = {{"Uncertainty Results", kUncertaintyTab}, {"Solution", 0}};
    state.TabsShown = true;
    state.SelectedTab = -1;
  } else if (ShowLocals()) {
    const std::string remembered = SelectedTabName(state);
    state.Tabs.clear();
    state.TabsShown = true;
    state.Tabs.push_back({"Main", 0});
    for (int32_t j = 1; j <= FunctionCount && state.Tabs.size() < size_t(kMaxSolutionTabs); ++j) {
      TRoutineRecord* r = FunctionTable[size_t(j)];
      if (!RoutineListed(r)) continue;
      state.Tabs.push_back({r->Name, -j});
      for (TLocalVariableRecord* l = r->Locals; l != nullptr; l = l->Next) {
        l->SpareBytes[0] = 0;
        l->Box = {};
      }
    }
    for (size_t i = 1; i < ProgramUnitList.size() && state.Tabs.size() < size_t(kMaxSolutionTabs); ++i)
      if (UnitListed(ProgramUnitList[i])) state.Tabs.push_back({ProgramUnitList[i]->Name, int32_t(i)});
    state.SelectedTab = 0;
    for (size_t t = 0; t < state.Tabs.size(); ++t)
      if (state.Tabs[t].Name == remembered) state.SelectedTab = int32_t(t);
  } else {
    state.Tabs.clear();
    state.TabsShown = false;
    state.SelectedTab = -1;
  }
}

int32_t TEntryMetrics::EntryWidth(const TSolutionItem& item) const {
  return TextWidth(EntryText(item.Name, item.Value, item.Units));
}

namespace {

// Measures as the canvas it stands in front of, and draws nothing.
class MeasuringCanvas : public Canvas {
 public:
  explicit MeasuringCanvas(Canvas& inner) : inner_(inner) {}
  void TextOut(int32_t, int32_t, const std::string&) override {}
  int32_t TextWidth(const std::string& text) override {
    inner_.SetFont(Font());
    return inner_.TextWidth(text);
  }
  int32_t TextHeight(const std::string& text) override {
    inner_.SetFont(Font());
    return inner_.TextHeight(text);
  }
  void LineTo(int32_t x, int32_t y) override { MoveTo(x, y); }
  void FillRect(const TRect&, TRgb) override {}
  void FrameRect(const TRect&, TRgb) override {}
  void FillPolygon(const std::vector<TCanvasPoint>&, TRgb) override {}
  void FillEllipse(const TRect&, TRgb) override {}

 private:
  Canvas& inner_;
};

}  // namespace

int32_t TPageEntryMetrics::EntryWidth(const TSolutionItem& item) const {
  if (page_.Target == nullptr) return TEntryMetrics::EntryWidth(item);
  MeasuringCanvas measuring(*page_.Target);
  TEntryPage page = page_;
  page.Target = &measuring;
  page.ScrollY = 0;
  page.ClientHeight = 1 << 29;
  TSolutionItem probe = item;
  probe.Column = 0;
  probe.UncertaintyPosition = -1;
  int32_t fore = 0, back = 0, hilite = 0, complexStyle = 0;
  UnpackFormatCode(item.Code, fore, back, hilite, complexStyle);
  const int32_t kind = hilite == kHiliteBold ? kTextBold : kTextNormal;
  const int32_t columns = DrawListingEntry(page, probe, 0, 0, kind, fore, back);
  return std::max(columns * page_.CharWidth, TEntryMetrics::EntryWidth(item));
}

int32_t DrawListingEntry(TEntryPage& page, const TSolutionItem& item, int32_t line, int32_t columnWidth,
                         int32_t kind, int32_t fore, int32_t back) {
  int32_t column = item.Column;
  TProgramUnitRecord* savedUnit = CurrentProgramUnit;
  if (item.Variable != nullptr && item.Unit != nullptr && item.Name == item.Variable->Name) {
    CurrentProgramUnit = item.Unit;
    DrawSolutionEntry(page, column, line, item.Index);
    if (item.UncertaintyPosition > 0)
      DrawUncertaintyRow(page, line, columnWidth, item.Index, item.UncertaintyPosition, kind, fore);
  } else {
    DrawVariableName(page, column, line, item.Name, back, fore, kind);
    WriteStr(page, column, line, " = " + item.Value + " ", kind, fore);
    column += (page.LastTextWidth + page.CharWidth - 1) / page.CharWidth;
    if (!item.Units.empty()) {
      WriteStr(page, column, line, BracketUnits(item.Units), kTextBlue, 0);
      column += (page.LastTextWidth + page.CharWidth - 1) / page.CharWidth;
    }
  }
  CurrentProgramUnit = savedUnit;
  return column;
}

TSolutionListing DisplaySolution(TSolutionState& state, int32_t width, const TEntryMetrics& metrics,
                                 int32_t firstVisibleLine, int32_t lastVisibleLine) {
  TProgramUnitRecord* saved = CurrentProgramUnit;
  Lister lister(state, width, metrics, firstVisibleLine, lastVisibleLine);
  TSolutionListing listing = lister.Run();
  CurrentProgramUnit = saved != nullptr ? saved : MainProgramUnit;
  return listing;
}

std::string CalculationTimeText(int32_t milliseconds) {
  const int32_t t = std::max(0, milliseconds) / 100;
  const std::string digits = std::to_string(t);
  std::string text = t < 10 ? "" : digits.substr(0, digits.size() - 1);
  text += DecimalSeparator;
  text += digits.back();
  return text + " sec";
}

std::string SelectedTabName(const TSolutionState& state) {
  if (!state.TabsShown || state.SelectedTab < 0 || size_t(state.SelectedTab) >= state.Tabs.size()) return "Main";
  return state.Tabs[size_t(state.SelectedTab)].Name;
}

int32_t SelectedRoutine(const TSolutionState& state) {
  if (!state.TabsShown || state.SelectedTab < 0 || size_t(state.SelectedTab) >= state.Tabs.size()) return 0;
  const int32_t object = state.Tabs[size_t(state.SelectedTab)].Object;
  return object < 0 ? -object : 0;
}

namespace {

bool Contains(const TScreenRect& r, int32_t x, int32_t y) {
  return r.Right > r.Left && x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

// Toggles the variable of unit under the point; true on a hit.
bool ToggleInUnit(TSolutionState& state, TProgramUnitRecord* u, int32_t unitIndex, int32_t x, int32_t y) {
  for (int32_t k = 1; k <= u->UsedVariableCount; ++k) {
    const int32_t index = u->UsedVariableList[size_t(k)];
    TVariableRecord* v = u->Variable(index);
    if (v == nullptr || v->DisplayCode == 0) continue;
    if (!UncertaintyMode && Preferences.UseArraysWindow != 0 && IsArrayElement(*v)) continue;
    if (!Contains(v->ScreenRect, x, y)) continue;
    v->DisplayCode = int16_t(-v->DisplayCode);
    if (v->DisplayCode < 0) {
      state.LastSelected = index;
      state.LastSelectedUnit = unitIndex;
    } else if (state.LastSelected == index && state.LastSelectedUnit == unitIndex) {
      state.LastSelected = 0;
      state.LastSelectedUnit = 0;
    }
    return true;
  }
  return false;
}

}  // namespace

TLocalVariableRecord* LocalAt(const TSolutionState& state, int32_t x, int32_t y) {
  const int32_t j = SelectedRoutine(state);
  if (j < 1 || j > FunctionCount || FunctionTable[size_t(j)] == nullptr) return nullptr;
  for (TLocalVariableRecord* l = FunctionTable[size_t(j)]->Locals; l != nullptr; l = l->Next)
    if (Contains(l->Box, x, y)) return l;
  return nullptr;
}

TVariableRecord* VariableAt(int32_t x, int32_t y, int32_t* unitIndex) {
  for (size_t i = 0; i < ProgramUnitList.size(); ++i) {
    TProgramUnitRecord* u = ProgramUnitList[i];
    if (u == nullptr) continue;
    for (int32_t k = 1; k <= u->UsedVariableCount; ++k) {
      TVariableRecord* v = u->Variable(u->UsedVariableList[size_t(k)]);
      if (v != nullptr && v->DisplayCode != 0 && Contains(v->ScreenRect, x, y)) {
        if (unitIndex != nullptr) *unitIndex = int32_t(i);
        return v;
      }
    }
  }
  return nullptr;
}

bool ClickSolution(TSolutionState& state, int32_t x, int32_t y, int32_t nowTicks, bool active) {
  if (!active || nowTicks - state.ActivationTicks < 100) return false;
  if (SelectedRoutine(state) > 0) {
    if (TLocalVariableRecord* l = LocalAt(state, x, y)) {
      state.LastLocal = l;
      l->SpareBytes[0] = l->SpareBytes[0] != 0 ? 0 : 1;
      return true;
    }
    UnselectSolution(state);
    return false;
  }
  bool hit = false;
  if (ShowLocals() && !UncertaintyMode) {
    for (size_t i = 1; i < ProgramUnitList.size() && !hit; ++i)
      if (ProgramUnitList[i] != nullptr) hit = ToggleInUnit(state, ProgramUnitList[i], int32_t(i), x, y);
  }
  if (!hit && MainProgramUnit != nullptr) hit = ToggleInUnit(state, MainProgramUnit, 0, x, y);
  if (!hit) UnselectSolution(state);
  return hit;
}

void UnselectSolution(TSolutionState& state) {
  for (int32_t j = 1; j <= FunctionCount; ++j) {
    TRoutineRecord* r = FunctionTable[size_t(j)];
    if (r == nullptr || r->IsLibrary != 0) continue;
    for (TLocalVariableRecord* l = r->Locals; l != nullptr; l = l->Next) l->SpareBytes[0] = 0;
  }
  for (TProgramUnitRecord* u : ProgramUnitList) {
    if (u == nullptr) continue;
    for (int32_t k = 1; k <= u->VariableCount; ++k)
      if (TVariableRecord* v = u->Variable(k); v != nullptr && v->DisplayCode < 0)
        v->DisplayCode = int16_t(-v->DisplayCode);
  }
  state.LastSelected = 0;
  state.LastSelectedUnit = 0;
}

bool VarinSolution() {
  if (ShowLocals()) {
    for (int32_t j = 1; j <= FunctionCount; ++j) {
      const TRoutineRecord* r = FunctionTable[size_t(j)];
      if (r != nullptr && r->IsLibrary == 0 && r->Locals != nullptr) return true;
    }
  }
  const TProgramUnitRecord* u = CurrentProgramUnit != nullptr ? CurrentProgramUnit : MainProgramUnit;
  if (u == nullptr) return false;
  for (int32_t k = 1; k <= u->UsedVariableCount; ++k) {
    const TVariableRecord* v = u->Variable(u->UsedVariableList[size_t(k)]);
    if (v == nullptr || HiliteOf(v->DisplayCode) == 0) continue;
    if (IsArrayElement(*v) && Preferences.UseArraysWindow != 0 && !UncertaintyMode) continue;
    return true;
  }
  return false;
}

}  // namespace voq
