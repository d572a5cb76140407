#include "output/residual_listing.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <unordered_set>

#include "core/calc_state.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "language/statement_preparation.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "model/integral_slots.h"
#include "model/parametric_table_access.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "units/unit_check.h"
#include "output/print_engine.h"
#include "output/solution_listing.h"
#include "platform/host.h"

namespace voq {

namespace {

TResidualState& TheState() {
  static TResidualState state;
  return state;
}

bool Delimiter(char c) { return c == kBoldMarker || c == kRedMarker || IsTokenSeparator(c); }

std::string Upper(std::string text) {
  for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

int32_t MarkerOf(const TResidualState& state, const TVariableRecord* v) {
  auto it = state.BlockMarker.find(v);
  return it == state.BlockMarker.end() ? kFreeBlockMarker : it->second;
}

// Replaces every whole-word occurrence of name (case-insensitive) by marker,
// replacement and marker.
void MarkWord(std::string& text, const std::string& name, const std::string& replacement, char marker) {
  if (name.empty()) return;
  const std::string upperName = Upper(name);
  std::string upperText = Upper(text);
  size_t from = 0;
  while (from < upperText.size()) {
    const size_t at = upperText.find(upperName, from);
    if (at == std::string::npos) break;
    const size_t end = at + upperName.size();
    const bool before = at == 0 || Delimiter(upperText[at - 1]);
    const bool after = end >= upperText.size() || Delimiter(upperText[end]);
    if (!before || !after) {
      from = at + 1;
      continue;
    }
    const std::string wrapped = std::string(1, marker) + replacement + std::string(1, marker);
    text.replace(at, upperName.size(), wrapped);
    upperText.replace(at, upperName.size(), Upper(wrapped));
    from = at + wrapped.size();
  }
}

// The part of a name after its first ".".
std::string AfterFirstDot(const std::string& name) {
  const size_t dot = name.find('.');
  return dot == std::string::npos ? name : name.substr(dot + 1);
}

// The line of the Equations text (1-based, lines end in CR LF).
std::string EquationsLine(int32_t line) {
  const std::string text = Equations().GetText();
  int32_t current = 1;
  size_t start = 0;
  while (current < line) {
    const size_t next = text.find('\n', start);
    if (next == std::string::npos) return std::string();
    start = next + 1;
    ++current;
  }
  size_t end = text.find('\n', start);
  if (end == std::string::npos) end = text.size();
  std::string result = text.substr(start, end - start);
  if (!result.empty() && result.back() == '\r') result.pop_back();
  return result;
}

// The CALL statement behind an equation made from it: the source line from
// one character before "CALL" to the first ";".
std::string CallText(const TEquationRecord& e) {
  const std::string line = EquationsLine(e.LineNumber);
  const size_t call = Upper(line).find("CALL");
  if (call == std::string::npos) return line;
  const size_t start = call > 0 ? call - 1 : 0;
  const size_t semicolon = line.find(';', start);
  return line.substr(start, semicolon == std::string::npos ? std::string::npos : semicolon - start);
}

std::string StripTildes(std::string text) {
  size_t k = 0;
  while (k < text.size() && text[k] == '~') ++k;
  return text.substr(k);
}

int32_t EquationCount(const TProgramUnitRecord& unit) {
  int32_t n = 0;
  for (const TEquationRecord* e = unit.FirstEquation; e != nullptr; e = e->Next) ++n;
  return n;
}

bool MarksIntegrationVariable(const TVariableRecord* v) {
  return v != nullptr && v->UnknownPosition == kIntegrationVariable;
}

// The input rows of the main program.
std::vector<TResidualInputRow> InputRows(const TResidualState& state, TProgramUnitRecord& main) {
  std::vector<TResidualInputRow> rows;
  if (state.TableRunRow == 0 && Diagram().UseInputs()) {
    for (const TDiagramInputItem& item : Diagram().InputItems()) {
      const int32_t saved = CalcErrorCode;
      TProgramUnitRecord* savedUnit = CurrentProgramUnit;
      CurrentProgramUnit = &main;
      const int32_t index = FindVariable(item.VariableName);
      CurrentProgramUnit = savedUnit;
      CalcErrorCode = saved;
      if (TVariableRecord* v = main.Variable(index)) rows.push_back({"D", v});
    }
  } else if (state.TableRunRow > 0) {
    const ParametricTableAccess& table = ParametricTable();
    for (int32_t c = 1; c <= table.ColumnCount(); ++c) {
      if (!table.CellEntered(state.TableRunRow, c)) continue;
      if (TVariableRecord* v = main.Variable(table.ColumnVariable(table.CurrentTable(), c))) rows.push_back({"T", v});
    }
  }
  return rows;
}

struct TColumns {
  int32_t Block = 0;
  int32_t Relative = 0;
  int32_t Absolute = 0;
  int32_t Units = 0;
  int32_t Equation = 0;
};

}  // namespace

TResidualState& ResidualState() { return TheState(); }

void ResetResidualState() { TheState() = TResidualState{}; }

std::string ResidualText(Extended value, int32_t digits) {
  if (IsBlank(value) || !std::isfinite(double(value)) || IsInfinityValue(value)) return "*****";
  return FormatValue(TDisplayFormat{kStyleExponential, int16_t(digits)}, value);
}

void ActivateResiduals(TResidualState& state) {
  state.LineTexts.clear();
  state.FoundLine = 0;
  state.LayoutKnown = false;
  state.ContentWidth = 10;
  state.BlockMarker.clear();
  state.RowLine.clear();
  state.BlockLines.clear();
  state.Chosen = nullptr;
  if (Preferences.CheckUnitsAutomatically != 0) {
    for (TProgramUnitRecord* u : ProgramUnitList) {
      if (u == nullptr) continue;
      for (TEquationRecord* e = u->FirstEquation; e != nullptr; e = e->Next) SetUnitsCheckState(e, -9);
    }
    state.CheckUnitsEnabled = true;
  } else {
    state.CheckUnitsEnabled = false;
  }
}

std::vector<TProgramUnitRecord*> ResidualUnits() {
  std::vector<TProgramUnitRecord*> units;
  for (size_t i = 1; i < ProgramUnitList.size(); ++i) {
    TProgramUnitRecord* u = ProgramUnitList[i];
    if (u == nullptr || u == MainProgramUnit) continue;
    // Library units, units never called, MODULEs inlined into the main
    // program and units whose END was never read have no section.
    const bool used = u->CallCount > 0 || u->DisplayedCallCount > 0;
    if (u->IsLibraryUnit != 0 || !used || u->Merged != 0 || u->UnitClosed == 0) continue;
    units.push_back(u);
  }
  if (MainProgramUnit != nullptr) units.push_back(MainProgramUnit);
  return units;
}

std::vector<TEquationRecord*> ResidualOrder(const TProgramUnitRecord& unit) {
  std::vector<TEquationRecord*> order;
  for (TEquationRecord* e = unit.FirstEquation; e != nullptr; e = e->Next)
    if (e->Block == kUnassignedBlock) order.push_back(e);
  for (int32_t b = -1;; --b) {
    TEquationRecord* found = nullptr;
    for (TEquationRecord* e = unit.FirstEquation; e != nullptr && found == nullptr; e = e->Next)
      if (e->Block == b) found = e;
    if (found == nullptr) break;
    order.push_back(found);
  }
  for (TEquationRecord* e = unit.FirstEquation; e != nullptr; e = e->Next)
    if (e->Block == 0) order.push_back(e);
  for (int32_t b = 1; b <= unit.BlockCount; ++b)
    for (TEquationRecord* e = unit.FirstEquation; e != nullptr; e = e->Next)
      if (e->Block == b) order.push_back(e);
  return order;
}

std::string ResidualTotalsLine(const TProgramUnitRecord& unit) {
  const int32_t n = EquationCount(unit);
  bool unplaced = false;
  for (const TEquationRecord* e = unit.FirstEquation; e != nullptr; e = e->Next)
    if (e->Block <= 0) unplaced = true;
  const int32_t m = unit.BlockCount + (unplaced ? 1 : 0);
  std::string text = n == 1 ? "There is a total of " : "There are a total of ";
  text += std::to_string(n) + (n == 1 ? " equation in " : " equations in ");
  // Equations solved one at a time carry block numbers of 0 or less and
  // count as one block together; a unit without blocks of its own (0 or 1
  // counted) says "block".
  text += std::to_string(m) + (unit.BlockCount == 0 ? " block" : " blocks");
  if (&unit == MainProgramUnit) {
    text += ResidualUnits().size() == 1 ? "." : " in the Main program.";
  } else {
    text += std::string(" in ") + (unit.IsSubprogram != 0 ? "Subprogram " : "Module ") + unit.Name + ".";
  }
  return text;
}

std::string WriteUnitNames(const std::string& text) {
  std::string result;
  int32_t replaced = 0;
  size_t k = 0;
  while (k < text.size()) {
    if (text[k] == '@' && replaced < 100) {
      size_t j = k + 1;
      while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
      if (j > k + 1 && j < text.size() && text[j] == '\\' && j - k <= 6) {
        const size_t unit = size_t(std::stoi(text.substr(k + 1, j - k - 1)));
        if (unit < ProgramUnitList.size() && ProgramUnitList[unit] != nullptr) {
          result += ProgramUnitList[unit]->Name;
          result += '\\';
          ++replaced;
          k = j + 1;
          continue;
        }
      }
    }
    result += text[k];
    ++k;
  }
  return result;
}

std::vector<int32_t> EquationVariableIndexes(const TEquationRecord& e) {
  std::vector<int32_t> indexes;
  const int32_t count = int32_t(e.Code.size());
  for (int32_t i = 0; i < count; ++i) {
    const int32_t word = e.Code[size_t(i)];
    if (word == CodeOutputList) break;
    if ((word == CodeVariable || word == CodeComplexVariable) && i + 1 < count) {
      const int32_t v = e.Code[size_t(++i)];
      if (std::find(indexes.begin(), indexes.end(), v) == indexes.end()) indexes.push_back(v);
    }
  }
  return indexes;
}

TProgramUnitRecord* UnitOfEquation(const TEquationRecord* e) {
  for (TProgramUnitRecord* u : ProgramUnitList) {
    if (u == nullptr) continue;
    for (const TEquationRecord* x = u->FirstEquation; x != nullptr; x = x->Next)
      if (x == e) return u;
  }
  return nullptr;
}

std::string ResidualEquationText(TResidualState& state, TProgramUnitRecord& unit, TEquationRecord& e, int32_t k) {
  std::string text = StripTildes(e.Text.value_or(std::string()));
  if (text.find('\xFE') != std::string::npos) text = CallText(e);
  text = WriteUnitNames(text);
  const bool complexMode = Preferences.ComplexMode != 0;
  const bool moduleText = !e.Text.value_or(std::string()).empty() && StripTildes(*e.Text).rfind('@', 0) == 0;
  const size_t colon = text.find(':');
  const size_t equal = text.find('=');
  // A name written with its unit ("M.x") appears in a module's statement
  // without the unit part.
  const bool cutNames = colon != std::string::npos && (!moduleText || (equal != std::string::npos && equal > colon));
  auto matchName = [&](const TVariableRecord& v) {
    std::string name = v.Name;
    if (moduleText) name = WriteUnitNames(name);
    if (cutNames) name = AfterFirstDot(name);
    if (complexMode && name.size() > 2) {
      const std::string tail = Upper(name.substr(name.size() - 2));
      if (tail == "_R" || tail == "_I") name.resize(name.size() - 2);
    }
    return name;
  };
  std::unordered_set<std::string> marked;
  auto mark = [&](const TVariableRecord& v, char marker) {
    const std::string name = matchName(v);
    if (!marked.insert(Upper(name)).second) return;
    MarkWord(text, name, name, marker);
  };
  for (const TIntegralTermRecord* t = e.IntegralTerms; t != nullptr; t = t->Next)
    if (const TVariableRecord* v = unit.Variable(t->IntegrationVariable)) mark(*v, kRedMarker);
  for (const int32_t index : EquationVariableIndexes(e)) {
    TVariableRecord* v = unit.Variable(index);
    if (v == nullptr) continue;
    const int32_t marker = MarkerOf(state, v);
    if (marker != k && marker != kFreeBlockMarker) continue;
    if (MarksIntegrationVariable(v)) {
      mark(*v, kRedMarker);
    } else {
      mark(*v, kBoldMarker);
      state.BlockMarker[v] = k;
    }
  }
  text = StripTildes(text);
  if (complexMode) text = (e.LeftIsImaginaryPart != 0 ? "(i)  " : "(r)  ") + text;
  return text;
}

bool ResidualLineVisible(const TResidualState& state, const TEntryPage& page, int32_t line) {
  if (page.Printing || !state.LayoutKnown) return true;
  const int32_t y = line * page.LineHeight;
  return y >= page.ScrollY - page.ClientHeight && y <= page.ScrollY + page.ClientHeight;
}

void WriteSpecialStr(TEntryPage& page, TResidualState& state, int32_t column, int32_t line,
                     const std::string& text) {
  Canvas& canvas = *page.Target;
  canvas.SetTextColor(kRgbBlack);
  if (page.Printing) {
    canvas.SetBackgroundColor(kRgbWhite);
    canvas.SetTransparentText(false);
  } else if (line == state.FoundLine && state.FoundLine > 0) {
    canvas.SetBackgroundColor(TRgb{0xFFFF00});
    canvas.SetTransparentText(false);
  } else {
    canvas.SetTransparentText(true);
  }
  bool bold = false;
  bool red = false;
  auto select = [&] {
    canvas.SetFont(page.Fonts[bold ? kFontBold : kFontNormal]);
    canvas.SetTextColor(red && page.ColorOutput ? kRgbRed : kRgbBlack);
  };
  select();
  int32_t x = ColumnX(page, column);
  const int32_t y = LineY(page, line);
  for (const char c : text) {
    if (c == kBoldMarker) {
      bold = !bold;
      if (bold) red = false;
      select();
      continue;
    }
    if (c == kRedMarker) {
      red = !red;
      if (red) {
        bold = false;
        state.RedText = true;
      }
      select();
      continue;
    }
    const std::string one(1, c);
    canvas.TextOut(x, y, one);
    x += canvas.TextWidth(one);
  }
  if (!page.Printing && page.CharWidth > 0) {
    const int32_t width = (x + page.CharWidth) / page.CharWidth;
    if (width > state.ContentWidth) state.ContentWidth = width;
  }
  canvas.SetTransparentText(true);
  canvas.SetFont(page.Fonts[kFontNormal]);
  canvas.SetTextColor(kRgbBlack);
}

namespace {

// The listing's line counter. On paper it is the print job's current
// line: the engine counts the lines, breaks the pages and heads each new
// one, and a cancel there stops the listing.
void AdvanceResidualLines(TResidualState& state, const TEntryPage& page, int32_t& line, int32_t n) {
  if (page.Printing && PrintState.JobRunning) {
    PrintAdvanceLines(n);
    line = PrintState.CurrentLine;
    state.PrintCancel = PrintPageState;
  } else {
    line += n;
  }
}

void StoreLineText(TResidualState& state, int32_t line, const std::string& text) {
  if (line < 0) return;
  if (state.LineTexts.size() <= size_t(line)) state.LineTexts.resize(size_t(line) + 1, std::string(1, kBoldMarker));
  state.LineTexts[size_t(line)] = text;
}

class SectionWriter {
 public:
  SectionWriter(TResidualState& state, TEntryPage& page, TResidualDisplay& result, int32_t& line, int32_t base)
      : state_(state), page_(page), result_(result), line_(line), base_(base) {}

  // Gives false when the listing is to stop.
  bool Section(TProgramUnitRecord& unit) {
    CurrentProgramUnit = &unit;
    const bool autoCheck = Preferences.CheckUnitsAutomatically != 0;
    c_.Block = base_;
    c_.Relative = base_ + 8;
    c_.Absolute = base_ + 21;
    c_.Units = base_ + 34;
    c_.Equation = autoCheck ? base_ + 40 : base_ + 34;
    state_.ContentWidth = std::max(state_.ContentWidth, c_.Equation + 16);
    const bool main = &unit == MainProgramUnit;
    if (Visible(line_)) WriteStr(page_, c_.Block, line_, ResidualTotalsLine(unit), kTextBlue, 0);
    Advance(1);
    if (Visible(line_)) {
      WriteStr(page_, c_.Block, line_, "Block", kTextRed, 0);
      WriteStr(page_, c_.Relative, line_, "Rel. Res.", kTextRed, 0);
      WriteStr(page_, c_.Absolute, line_, "Abs. Res.", kTextRed, 0);
      if (autoCheck) WriteStr(page_, c_.Units, line_, "Units", kTextRed, 0);
      WriteStr(page_, c_.Equation, line_, "Equation", kTextRed, 0);
    }
    if (main) {
      for (const TResidualInputRow& row : InputRows(state_, unit)) InputRow(row);
    }
    MarkIntegrationVariables(unit);
    const std::vector<TEquationRecord*> order = ResidualOrder(unit);
    int32_t block = 0x7FFFFFFF;
    for (size_t i = 0; i < order.size(); ++i) {
      if (state_.PrintCancel > 1) {
        result_.Cancelled = true;
        return false;
      }
      TEquationRecord& e = *order[i];
      if (main && Screen() && state_.LayoutKnown) {
        if (LineY(page_, line_) > page_.ScrollY + page_.ClientHeight) return false;
        // A whole block well above the part in view is jumped over.
        if (e.Block > 0 && e.Block != block) {
          auto it = state_.BlockLines.find(e.Block);
          if (it != state_.BlockLines.end() && it->second.First == line_ + 1 &&
              (it->second.Last + 1) * page_.LineHeight < page_.ScrollY - page_.ClientHeight) {
            line_ = it->second.Last;
            while (i + 1 < order.size() && order[i + 1]->Block == e.Block) ++i;
            block = e.Block;
            continue;
          }
        }
      }
      Row(unit, e);
      if (main && e.Block > 0 && !state_.LayoutKnown && Screen()) {
        TResidualBlockLines& lines = state_.BlockLines[e.Block];
        if (e.Block != block) lines.First = line_;
        lines.Last = line_;
      }
      block = e.Block;
    }
    Advance(2);
    if (main) {
      if (state_.ToleranceExceeded) {
        if (Visible(line_)) WriteStr(page_, c_.Block, line_, GetMessageText(475), kTextGreen, 0);
        Advance(1);
      }
      if (Visible(line_)) WriteStr(page_, c_.Block, line_, GetMessageText(471), kTextGreen, 0);
      Advance(1);
      if (state_.RedText) {
        if (Visible(line_)) WriteStr(page_, c_.Block, line_, GetMessageText(470), kTextRed, 0);
        Advance(1);
      }
      if (const TEquationRecord* first = unit.FirstEquation) {
        auto it = state_.RowLine.find(first);
        state_.CheckUnitsEnabled = it != state_.RowLine.end() && it->second != 0;
      }
    }
    return true;
  }

 private:
  bool Screen() const { return !page_.Printing; }
  bool Visible(int32_t line) const { return state_.PrintCancel <= 1 && ResidualLineVisible(state_, page_, line); }
  void Advance(int32_t n) { AdvanceResidualLines(state_, page_, line_, n); }

  void MarkIntegrationVariables(TProgramUnitRecord& unit) {
    bool terms = false;
    for (const TEquationRecord* e = unit.FirstEquation; e != nullptr && !terms; e = e->Next)
      terms = e->IntegralTerms != nullptr;
    if (!terms) return;
    const int32_t saved = CalcErrorCode;
    int32_t slots = 0;
    AssignIntegrationVars(unit, slots);
    CalcErrorCode = saved;
    for (int32_t s = 1; s <= std::min<int32_t>(unit.IntegralCount, kIntegralSlotCount); ++s)
      if (TVariableRecord* v = unit.Variable(unit.IntegralSlots[size_t(s)].IntegrationVariable))
        v->UnknownPosition = kIntegrationVariable;
  }

  void InputRow(const TResidualInputRow& row) {
    Advance(1);
    state_.BlockMarker[row.Variable] = 0;
    std::string text = std::string(1, kBoldMarker) + row.Variable->Name + std::string(1, kBoldMarker) + "=" +
                       RealToStr(TDisplayFormat{row.Variable->Style, row.Variable->Digits}, row.Variable->Value);
    if (Visible(line_)) {
      const std::string zero = ResidualText(0, 3);
      WriteStr(page_, c_.Block + 1, line_, row.Tag, kTextNormal, 0);
      WriteStr(page_, c_.Relative, line_, zero, kTextNormal, 0);
      WriteStr(page_, c_.Absolute, line_, zero, kTextNormal, 0);
      if (Preferences.CheckUnitsAutomatically != 0) WriteStr(page_, c_.Units, line_, " OK", kTextNormal, 0);
      WriteSpecialStr(page_, state_, c_.Equation, line_, text);
      ++result_.RowsDrawn;
    }
    StoreLineText(state_, line_, text);
  }

  void Row(TProgramUnitRecord& unit, TEquationRecord& e) {
    Advance(1);
    const int32_t k = e.Block;
    if (!Visible(line_)) {
      // Out of view: the markers still advance as if the row were drawn.
      if (!state_.LayoutKnown || page_.Printing) StoreLineText(state_, line_, ResidualEquationText(state_, unit, e, k));
      state_.RowLine[&e] = line_;
      return;
    }
    const Extended relative = IsBlank(e.RelativeResidual) ? e.RelativeResidual : std::fabs(e.RelativeResidual);
    const bool overTolerance = !IsBlank(e.RelativeResidual) && std::isfinite(double(relative)) &&
                               relative > StopCriteria.RelativeResidualTolerance;
    if (overTolerance) state_.ToleranceExceeded = true;
    WriteStr(page_, c_.Block + 1, line_, std::to_string(k < 0 ? 0 : k), overTolerance ? kTextBold : kTextNormal, 0);
    WriteStr(page_, c_.Relative, line_, ResidualText(relative, 3), kTextNormal, 0);
    const Extended absolute = e.Residual;
    if (IsBlank(absolute) || !std::isfinite(double(absolute))) {
      WriteStr(page_, c_.Absolute, line_, "*****", kTextNormal, 0);
    } else {
      if (absolute < 0) WriteStr(page_, c_.Absolute - 1, line_, "-", kTextNormal, 0);
      WriteStr(page_, c_.Absolute, line_, ResidualText(std::fabs(absolute), 3), kTextNormal, 0);
    }
    if (Preferences.CheckUnitsAutomatically != 0) {
      if (UnitsCheckState(&e) == -9) {
        const int32_t saved = CalcErrorCode;
        CalcErrorCode = 0;
        CheckEquationUnits(&e, 0, 0);
        SetUnitsCheckState(&e, CalcErrorCode > 0 ? CalcErrorCode : 0);
        CalcErrorCode = saved;
      }
      WriteStr(page_, c_.Units, line_, UnitsCheckState(&e) != 0 ? " ?" : " OK", kTextNormal, 0);
    }
    const std::string text = ResidualEquationText(state_, unit, e, k);
    WriteSpecialStr(page_, state_, c_.Equation, line_, text);
    ++result_.RowsDrawn;
    StoreLineText(state_, line_, text);
    state_.RowLine[&e] = line_;
  }

  TResidualState& state_;
  TEntryPage& page_;
  TResidualDisplay& result_;
  int32_t& line_;
  int32_t base_;
  TColumns c_;
};

}  // namespace

TResidualDisplay DisplayResiduals(TResidualState& state, TEntryPage& page, int32_t clientWidth) {
  TResidualDisplay result;
  state.RedText = false;
  state.ToleranceExceeded = false;
  if (!page.Printing) state.PrintCancel = 0;
  int32_t line = -1;
  const int32_t base = page.Printing ? 0 : 1;
  AdvanceResidualLines(state, page, line, 1);
  TProgramUnitRecord* savedUnit = CurrentProgramUnit;
  for (TProgramUnitRecord* unit : ResidualUnits()) {
    SectionWriter writer(state, page, result, line, base);
    if (!writer.Section(*unit)) break;
  }
  CurrentProgramUnit = savedUnit != nullptr ? savedUnit : MainProgramUnit;
  result.LastLine = line;
  if (!page.Printing && !state.LayoutKnown) {
    state.LayoutKnown = true;
    result.RangeSet = true;
    const int32_t width = state.ContentWidth * page.CharWidth;
    result.HorizontalRange = width <= clientWidth ? 0 : width;
    result.VerticalRange = (line + 2) * page.LineHeight + page.TopOffset;
  }
  return result;
}

bool FindResidual(TResidualState& state, const std::string& text, bool fromCurrent, bool wholeWords,
                  bool matchCase, int32_t lineHeight, int32_t clientHeight, int32_t& scrollY) {
  const std::string wanted = matchCase ? text : Upper(text);
  const size_t start = fromCurrent ? size_t(std::max(state.FoundLine + 1, 0)) : 0;
  for (size_t l = start; l < state.LineTexts.size() && !wanted.empty(); ++l) {
    const std::string line = matchCase ? state.LineTexts[l] : Upper(state.LineTexts[l]);
    size_t from = 0;
    while (true) {
      const size_t at = line.find(wanted, from);
      if (at == std::string::npos) break;
      const size_t end = at + wanted.size();
      const bool bounded = (at == 0 || Delimiter(line[at - 1])) && (end >= line.size() || Delimiter(line[end]));
      if (!wholeWords || bounded) {
        state.FoundLine = int32_t(l);
        const int32_t y = int32_t(l) * lineHeight;
        if (y > scrollY + clientHeight - lineHeight) scrollY = y - clientHeight / 2;
        else if (y < scrollY) scrollY = y;
        if (scrollY < 0) scrollY = 0;
        return true;
      }
      from = at + 1;
    }
  }
  Platform().Beep();
  return false;
}

TEquationRecord* ResidualEquationAtLine(const TResidualState& state, int32_t line) {
  for (TProgramUnitRecord* u : ProgramUnitList) {
    if (u == nullptr) continue;
    for (TEquationRecord* e = u->FirstEquation; e != nullptr; e = e->Next) {
      auto it = state.RowLine.find(e);
      if (it != state.RowLine.end() && it->second == line) return e;
    }
  }
  return nullptr;
}

std::string ResidualClipboardText(const TProgramUnitRecord& unit) {
  const TDisplayFormat saved = DefaultDisplayFormat;
  DefaultDisplayFormat = TDisplayFormat{kStyleExponential, 4};
  std::string text;
  for (const TEquationRecord* e : ResidualOrder(unit)) {
    text += std::to_string(e->Block < 0 ? 0 : e->Block) + " \t";
    const Extended relative = e->RelativeResidual;
    text += (IsBlank(relative) ? std::string("*****") : ResidualText(std::fabs(relative), 4)) + " \t";
    text += (IsBlank(e->Residual) ? std::string("*****") : ResidualText(e->Residual, 4)) + " \t";
    text += e->Text.value_or(std::string()) + "\r\n";
  }
  DefaultDisplayFormat = saved;
  return text;
}

}  // namespace voq
