#include "output/debug_listing.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

#include "core/calc_state.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "language/statement_preparation.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/display_names.h"
#include "output/residual_listing.h"
#include "platform/host.h"
#include "session/problem_summary.h"
#include "units/unit_check.h"

namespace voq {

namespace {

TDebugState& TheState() {
  static TDebugState state;
  return state;
}

std::string Upper(std::string text) {
  for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string StripTilde(const std::string& text) { return !text.empty() && text[0] == '~' ? text.substr(1) : text; }

// The unit's variables in use, sorted by name.
std::vector<TVariableRecord*> SortedVariables(const TProgramUnitRecord& unit) {
  std::vector<TVariableRecord*> list;
  for (int32_t k = 1; k <= unit.UsedVariableCount; ++k)
    if (TVariableRecord* v = unit.Variable(unit.UsedVariableList[size_t(k)])) list.push_back(v);
  std::stable_sort(list.begin(), list.end(), [](const TVariableRecord* a, const TVariableRecord* b) {
    return Upper(a->Name) < Upper(b->Name);
  });
  return list;
}

class Writer {
 public:
  explicit Writer(TDebugListing& listing) : listing_(listing) {}
  void Write(int32_t column, int32_t kind, const std::string& text) {
    listing_.Texts.push_back({Row, column, kind, text});
    listing_.WidestColumn = std::max(listing_.WidestColumn, column + int32_t(text.size()));
  }
  int32_t Row = 0;

 private:
  TDebugListing& listing_;
};

bool IsModuleUnit(const TProgramUnitRecord& unit) { return &unit != MainProgramUnit && unit.UnitIndex != 0; }

void ListMode0(TDebugState& state, TDebugListing& listing, bool computeMarks) {
  TProgramUnitRecord* unit = state.Unit != nullptr ? state.Unit : MainProgramUnit;
  if (unit == nullptr) return;
  const int32_t n = DebugSurplus(*unit);
  if (computeMarks) {
    MarkOccurrences(state, *unit);
    if (n > 0) MarkCandidatesMissing(state, *unit);
    else MarkCandidatesExtra(state, *unit);
  }
  Writer w(listing);
  const std::vector<TVariableRecord*> sorted = SortedVariables(*unit);
  auto marks = [&](const TVariableRecord* v) {
    auto it = state.Marks.find(v);
    return it == state.Marks.end() ? TDebugMarks{} : it->second;
  };
  bool once = false;
  for (const TVariableRecord* v : sorted) once = once || marks(v).OnceLine > 0;
  if (once) {
    w.Write(1, kDebugBlue, GetMessageText(545));
    ++w.Row;
    w.Write(1, kDebugRedUnderlined, GetMessageText(546));
    w.Write(31, kDebugRedUnderlined, GetMessageText(547));
    ++w.Row;
    listing.FirstOnceRow = w.Row;
    for (TVariableRecord* v : sorted) {
      if (marks(v).OnceLine <= 0) continue;
      w.Write(2, kDebugPlain, QualifyModuleVarName(v->Name));
      w.Write(32, kDebugPlain, std::to_string(marks(v).OnceLine));
      listing.Targets[w.Row] = TDebugRowTarget{v, unit, nullptr, 0};
      ++w.Row;
    }
    listing.LastOnceRow = w.Row;
    ++w.Row;
  }
  bool candidates = false;
  for (const TVariableRecord* v : sorted) candidates = candidates || marks(v).CandidateLine > 0;
  if (!candidates) {
    w.Write(1, kDebugBlue, GetMessageText(548));
    ++w.Row;
    listing.LastRow = w.Row;
    return;
  }
  const bool french = DebugLocaleIsFrench();
  const auto [first, second] = DebugExplanation(n, french);
  w.Write(1, kDebugBlue, first);
  ++w.Row;
  w.Write(1, kDebugBlue, second);
  ++w.Row;
  w.Write(1, kDebugRedUnderlined, GetMessageText(546));
  w.Write(31, kDebugRedUnderlined, GetMessageText(547));
  if (n > 0) w.Write(41, kDebugRedUnderlined, GetMessageText(552));
  ++w.Row;
  listing.FirstCandidateRow = w.Row;
  for (TVariableRecord* v : sorted) {
    const TDebugMarks m = marks(v);
    if (m.CandidateLine <= 0) continue;
    w.Write(2, kDebugPlain, QualifyModuleVarName(v->Name));
    w.Write(32, kDebugPlain, std::to_string(m.CandidateLine));
    if (n > 0) w.Write(43, kDebugPlain, std::to_string(m.CandidateBlock));
    listing.Targets[w.Row] = TDebugRowTarget{v, unit, nullptr, -1};
    ++w.Row;
  }
  ++w.Row;
  w.Write(1, kDebugBlue, GetMessageText(549));
  w.Row += 2;
  if (french) {
    w.Write(1, kDebugBlue, GetMessageText(553));
  } else {
    const std::string before = "The blocking order in the ";
    w.Write(1, kDebugBlue, before);
    w.Write(1 + int32_t(before.size()), kDebugGreen, "Residuals");
    w.Write(1 + int32_t(before.size()) + 9, kDebugBlue, " window may also help identify the problem.");
    listing.HasResidualsLink = true;
    listing.LinkRow = w.Row;
    listing.LinkColumn = 1 + int32_t(before.size());
  }
  ++w.Row;
  listing.LastRow = w.Row;
}

std::vector<TProgramUnitRecord*> ActiveUnits() {
  std::vector<TProgramUnitRecord*> units;
  if (MainProgramUnit != nullptr) units.push_back(MainProgramUnit);
  for (TProgramUnitRecord* u : ProgramUnitList)
    if (u != nullptr && u != MainProgramUnit && u->IsSubprogram != 0 && (u->CallCount > 0 || u->DisplayedCallCount > 0))
      units.push_back(u);
  return units;
}

void ListMode1(TDebugState& state, TDebugListing& listing) {
  Writer w(listing);
  bool headed = false;
  for (TProgramUnitRecord* unit : ActiveUnits()) {
    for (TVariableRecord* v : SortedVariables(*unit)) {
      TDebugMarks& m = state.Marks[v];
      m.OnceLine = 0;
      if (IsBlank(v->Value)) continue;
      const bool atLower = v->LowerLimit >= v->Value - 1E-99L;
      const bool atUpper = !(v->UpperLimit > v->Value + 1E-99L);
      if (!atLower && !atUpper) continue;
      if (!headed) {
        headed = true;
        ++w.Row;
        w.Write(1, kDebugRedUnderlined, GetMessageText(550));
        ++w.Row;
        w.Write(1, kDebugUnderlined, GetMessageText(539));
        w.Write(21, kDebugUnderlined, GetMessageText(551));
        w.Write(36, kDebugUnderlined, GetMessageText(541));
        w.Write(51, kDebugUnderlined, GetMessageText(542));
        w.Write(66, kDebugUnderlined, "Routine");
        ++w.Row;
        listing.FirstOnceRow = w.Row;
      }
      const TDisplayFormat format{v->Style, v->Digits};
      w.Write(1, kDebugPlain, WriteUnitNames(v->Name));
      w.Write(21, kDebugPlain, RealToStr(format, v->Value));
      w.Write(36, kDebugPlain, RealToStr(format, v->LowerLimit));
      w.Write(51, kDebugPlain, RealToStr(format, v->UpperLimit));
      w.Write(66, kDebugPlain, unit->Name);
      m.OnceLine = int16_t(unit->UnitIndex + 1);
      listing.Targets[w.Row] = TDebugRowTarget{v, unit, nullptr, 0};
      ++w.Row;
    }
  }
  listing.LastOnceRow = w.Row;
  w.Row += 3;
  bool equationsHeaded = false;
  for (TProgramUnitRecord* unit : ActiveUnits()) {
    for (TEquationRecord* e = unit->FirstEquation; e != nullptr; e = e->Next) {
      state.ListedRow[e] = 0;
      const Extended r = e->RelativeResidual;
      if (IsBlank(r) || !(std::fabs(r) > StopCriteria.RelativeResidualTolerance)) continue;
      if (!equationsHeaded) {
        equationsHeaded = true;
        w.Write(1, kDebugRedUnderlined, GetMessageText(554));
        ++w.Row;
      }
      std::string text = StripTilde(e->Text.value_or(std::string()));
      if (!text.empty() && text[0] == '@') text = WriteUnitNames(text);
      if (IsModuleUnit(*unit)) text = unit->Name + ": " + text;
      w.Write(1, kDebugPlain, text);
      state.ListedRow[e] = int16_t(w.Row);
      listing.Targets[w.Row] = TDebugRowTarget{nullptr, unit, e, 0};
      ++w.Row;
    }
  }
  w.Row += 2;
  w.Write(1, kDebugBlue, GetMessageText(555));
  ++w.Row;
  w.Write(1, kDebugBlue, GetMessageText(556));
  ++w.Row;
  listing.LastRow = w.Row;
}

// The unit check of one statement: its problem's message, or "".
std::string CheckStatement(TEquationRecord* e, int32_t help, int32_t routine) {
  const int32_t saved = CalcErrorCode;
  CalcErrorCode = 0;
  MessageText.clear();
  CheckEquationUnits(e, help, routine);
  std::string message;
  if (CalcErrorCode > 0) message = MessageText.empty() ? GetMessageText(CalcErrorCode) : MessageText;
  CalcErrorCode = saved;
  return message;
}

void ListMode2(TDebugState& state, TDebugListing& listing) {
  Writer w(listing);
  const bool routines = Preferences.ShowLocalVariables != 0;
  bool anything = false;
  if (routines) {
    for (size_t j = 1; j < FunctionTable.size(); ++j) {
      TRoutineRecord* r = FunctionTable[j];
      if (r == nullptr || r->IsLibrary != 0 || r->Locals == nullptr || (r->Called == 0 && r->CallCounter <= 0)) continue;
      bool headed = false;
      for (TEquationRecord* e = r->FirstStatement; e != nullptr; e = e->Next) {
        state.ListedRow[e] = -1;
        const std::string message = CheckStatement(e, 259, int32_t(j));
        if (message.empty()) continue;
        if (!headed) {
          headed = true;
          ++w.Row;
          listing.RuleRows.push_back(w.Row);
          w.Write(1, kDebugBold, std::string(r->OutputCount > 0 ? "Procedure " : "Function ") + r->Name);
          ++w.Row;
        }
        w.Write(1, kDebugPlain, ReadableFunctionText(e->Text.value_or(std::string())));
        state.ListedRow[e] = int16_t(w.Row);
        listing.Targets[w.Row] = TDebugRowTarget{nullptr, nullptr, e, int32_t(j)};
        ++w.Row;
        w.Write(3, kDebugBlue, WriteUnitNames(message));
        ++w.Row;
        anything = true;
      }
    }
  }
  std::vector<TProgramUnitRecord*> units;
  if (routines) {
    for (TProgramUnitRecord* u : ProgramUnitList)
      if (u != nullptr && u != MainProgramUnit && u->IsLibraryUnit == 0) units.push_back(u);
  }
  if (MainProgramUnit != nullptr) units.push_back(MainProgramUnit);
  for (TProgramUnitRecord* unit : units) {
    const bool main = unit == MainProgramUnit;
    bool headed = false;
    for (TEquationRecord* e = unit->FirstEquation; e != nullptr; e = e->Next) {
      state.ListedRow[e] = -1;
      const std::string source = e->Text.value_or(std::string());
      if (!routines && source.find('@') != std::string::npos) continue;
      const std::string message = CheckStatement(e, 0, 0);
      if (message.empty()) continue;
      if (!headed) {
        headed = true;
        if (!main || anything) {
          ++w.Row;
          listing.RuleRows.push_back(w.Row);
          w.Write(1, kDebugBold,
                  main ? std::string("Main Program")
                       : std::string(unit->IsSubprogram != 0 ? "Subprogram " : "Module ") + unit->Name);
          ++w.Row;
        }
      }
      std::string text = StripTilde(source);
      if (!text.empty() && text[0] == '@') text = WriteUnitNames(text);
      w.Write(1, kDebugPlain, text);
      state.ListedRow[e] = int16_t(w.Row);
      listing.Targets[w.Row] = TDebugRowTarget{nullptr, unit, e, 0};
      ++w.Row;
      w.Write(3, kDebugBlue, WriteUnitNames(message));
      ++w.Row;
      anything = true;
    }
  }
  if (anything) {
    ++w.Row;
    w.Write(1, kDebugGreen, GetMessageText(556));
    ++w.Row;
    w.Write(1, kDebugGreen, GetMessageText(462));
  } else {
    w.Write(1, kDebugGreen, GetMessageText(461));
  }
  ++w.Row;
  listing.LastRow = w.Row;
}

}  // namespace

std::string TDebugListing::AllText() const {
  std::string text;
  for (const TDebugText& t : Texts) text += t.Text + "\n";
  return text;
}

const TDebugText* TDebugListing::Find(const std::string& text) const {
  for (const TDebugText& t : Texts)
    if (t.Text.find(text) != std::string::npos) return &t;
  return nullptr;
}

TDebugState& DebugState() { return TheState(); }
void ResetDebugState() { TheState() = TDebugState{}; }

int32_t DebugSurplus(const TProgramUnitRecord& unit) {
  const int32_t inputs = IsModuleUnit(unit) ? unit.InputCount : 0;
  return unit.UsedVariableCount - inputs - CountModuleEquations(&unit);
}

void MarkOccurrences(TDebugState& state, TProgramUnitRecord& unit) {
  for (int32_t k = 1; k <= unit.VariableCount; ++k)
    if (const TVariableRecord* v = unit.Variable(k)) state.Marks[v] = TDebugMarks{};
  if (IsModuleUnit(unit)) {
    for (int32_t k = 1; k <= unit.InputCount + unit.OutputCount && k <= kMaxUnitParameters; ++k)
      if (const TVariableRecord* v = unit.Variable(unit.ParameterList[size_t(k)]))
        state.Marks[v].OnceLine = int16_t(unit.HeaderLine);
  }
  for (const TEquationRecord* e = unit.FirstEquation; e != nullptr; e = e->Next) {
    std::vector<int32_t> refs = EquationVariableIndexes(*e);
    for (const TIntegralTermRecord* t = e->IntegralTerms; t != nullptr; t = t->Next)
      if (std::find(refs.begin(), refs.end(), t->IntegrationVariable) == refs.end())
        refs.push_back(t->IntegrationVariable);
    for (const int32_t index : refs) {
      const TVariableRecord* v = unit.Variable(index);
      if (v == nullptr) continue;
      TDebugMarks& m = state.Marks[v];
      m.OnceLine = m.OnceLine == 0 ? int16_t(e->LineNumber) : int16_t(-1);
    }
  }
}

void MarkStatementVariables(TDebugState& state, TProgramUnitRecord& unit, const TEquationRecord& e, bool determined) {
  for (const int32_t index : EquationVariableIndexes(e)) {
    const TVariableRecord* v = unit.Variable(index);
    if (v == nullptr || v->UnknownPosition <= 0) continue;
    TDebugMarks& m = state.Marks[v];
    if (m.CandidateLine != 0) continue;
    if (determined) {
      m.CandidateLine = int16_t(-e.Block);
    } else {
      m.CandidateLine = int16_t(e.LineNumber);
      m.CandidateBlock = int16_t(e.Block);
    }
  }
}

void MarkCandidatesMissing(TDebugState& state, TProgramUnitRecord& unit) {
  auto firstOf = [&](int32_t b) -> const TEquationRecord* {
    for (const TEquationRecord* e = unit.FirstEquation; e != nullptr; e = e->Next)
      if (e->Block == b) return e;
    return nullptr;
  };
  auto isCandidate = [&](const TVariableRecord* v) {
    auto it = state.Marks.find(v);
    return it != state.Marks.end() && it->second.CandidateLine > 0;
  };
  // Bounded by the unit's block count and one block beyond it.
  for (int32_t b = 1; b <= int32_t(unit.BlockCount) + 1; ++b) {
    if (const TEquationRecord* e = firstOf(b)) {
      MarkStatementVariables(state, unit, *e, true);
      continue;
    }
    for (const TEquationRecord* e = unit.FirstEquation; e != nullptr; e = e->Next)
      if (e->Block == b + 1) MarkStatementVariables(state, unit, *e, false);
    for (int32_t later = b + 2; later <= unit.BlockCount; ++later) {
      for (const TEquationRecord* e = unit.FirstEquation; e != nullptr; e = e->Next) {
        if (e->Block != later) continue;
        bool refers = false;
        for (const int32_t index : EquationVariableIndexes(*e)) refers = refers || isCandidate(unit.Variable(index));
        if (refers) MarkStatementVariables(state, unit, *e, false);
      }
    }
    break;
  }
}

void MarkCandidatesExtra(TDebugState& state, TProgramUnitRecord& unit) {
  for (const TEquationRecord* e = unit.FirstEquation; e != nullptr; e = e->Next)
    if (e->Block == 0 && IsBlank(e->Residual)) MarkStatementVariables(state, unit, *e, false);
}

std::pair<std::string, std::string> DebugExplanation(int32_t n, bool french) {
  if (french) {
    if (n > 0)
      return {"Il manque probablement \xE0 votre probl\xE8me " + std::to_string(n) +
                  "\xE9quation(s), utilisant  la ou les",
              "variable(s) suivante(s) :"};
    return {"Votre probl\xE8me contient " + std::to_string(-n) + " \xE9quation(s) de trop. " +
                (n == -1 ? "L'\xE9quation suspect\xE9" "e contient la ou les "
                         : "Les \xE9quations suspect\xE9" "es contiennent la ou les  "),
            "variable(s) suivante(s) :"};
  }
  if (n > 0) {
    const std::string w = n == 1 ? "one equation that likely involves" : std::to_string(n) + " equations that likely involve";
    return {"Your problem definition is missing " + w + " one or more ", "of the following variables."};
  }
  return {"Your problem definition contains " + std::to_string(-n) + " too many equations.  The extraneous",
          std::string(n == -1 ? "equation likely involves " : "equations likely involve ") + "the following variables."};
}

bool DebugLocaleIsFrench() { return Upper(LocaleLanguageName()).rfind("FR", 0) == 0; }

std::string ReadableFunctionText(const std::string& source) {
  std::string text = StripTilde(source);
  static const char* const kOperators[] = {"", ">=", "<=", ">", "<", "<>", "=", " and ", " or "};
  bool replaced = false;
  for (int guard = 0; guard < 100; ++guard) {
    const size_t at = text.find('\xC7');
    if (at == std::string::npos || at + 3 >= text.size() || text[at + 1] != '(') break;
    const char digit = text[at + 2];
    const int code = std::isdigit(static_cast<unsigned char>(digit)) ? digit - '0' : 0;
    const std::string op = code >= 1 && code <= 8 ? kOperators[code] : " ";
    // "\xC7(" code separator left separator right ")": the arguments are
    // split at the first separator at depth 0.
    const size_t start = at + 4;
    int depth = 0;
    size_t split = std::string::npos;
    size_t end = std::string::npos;
    for (size_t k = start; k < text.size(); ++k) {
      const char c = text[k];
      if (c == '(') ++depth;
      else if (c == ')') {
        if (depth == 0) {
          end = k;
          break;
        }
        --depth;
      } else if (depth == 0 && split == std::string::npos && (c == ',' || c == ';')) {
        split = k;
      }
    }
    if (end == std::string::npos || split == std::string::npos) break;
    const std::string left = text.substr(start, split - start);
    const std::string right = text.substr(split + 1, end - split - 1);
    text = text.substr(0, at) + "(" + left + op + right + ")" + text.substr(end + 1);
    replaced = true;
  }
  if (replaced) {
    // From the statement's last "=" on (the "=" of a comparison is not
    // the statement's).
    for (size_t k = text.size(); k-- > 0;) {
      if (text[k] != '=') continue;
      const bool comparison = (k > 0 && (text[k - 1] == '<' || text[k - 1] == '>')) ||
                              (k > 0 && text[k - 1] == ' ' && k + 1 < text.size() && text[k + 1] == ' ');
      if (comparison) continue;
      text.erase(k);
      break;
    }
  }
  while (text.size() >= 4 && text.rfind("((", 0) == 0 && text.compare(text.size() - 2, 2, "))") == 0)
    text = text.substr(1, text.size() - 2);
  return text;
}

TDebugListing BuildDebugListing(TDebugState& state, bool computeMarks) {
  TDebugListing listing;
  switch (state.Mode) {
    case 1:
      listing.Caption = "Constrained Variable Information";
      ListMode1(state, listing);
      break;
    case 2:
      listing.Caption = "Check Units";
      ListMode2(state, listing);
      break;
    default:
      listing.Caption = "Debug";
      ListMode0(state, listing, computeMarks);
      break;
  }
  return listing;
}

std::string DebugFontFace(int32_t faceIndex) {
  switch (faceIndex) {
    case 2: return "Times New Roman";
    case 3: return "Courier New";
    case 4: return "MS Sans Serif";
    case 5: return "Century SchoolBook";
    case 6: return "Bookman Old Style";
    case 7: return "System";
    default: return "Arial";
  }
}

int32_t DebugFontPoints(int32_t sizeIndex) {
  switch (sizeIndex) {
    case 1: return 8;
    case 3: return 12;
    case 4: return 14;
    case 5: return 16;
    case 6: return 18;
    default: return sizeIndex > 6 ? 0 : 10;
  }
}

TDebugClick DebugClickAt(const TDebugState& state, const TDebugListing& listing, int32_t x, int32_t y,
                         int32_t scrollY, int32_t lineHeight, int32_t charWidth, int32_t button, bool active,
                         int32_t nowTicks) {
  TDebugClick click;
  if (!active || nowTicks - state.ActivatedTicks <= 99 || lineHeight <= 0 || charWidth <= 0) return click;
  // (x, y) are content coordinates: the link's rectangle is there too.
  if (state.Mode != 2 && listing.HasResidualsLink) {
    const int32_t top = listing.LinkRow * lineHeight;
    const int32_t left = listing.LinkColumn * charWidth;
    if (y >= top && y < top + lineHeight && x >= left && x < left + 9 * charWidth) {
      click.What = TDebugClick::kShowResiduals;
      return click;
    }
  }
  const int32_t viewY = y - scrollY;
  const int32_t row = (viewY - 6) / lineHeight + (scrollY + 10) / lineHeight;
  const int32_t limit = state.Mode == 0 ? 25 : state.Mode == 1 ? 75 : 255;
  if (x / charWidth > limit) return click;
  auto it = listing.Targets.find(row);
  if (it == listing.Targets.end()) return click;
  const TDebugRowTarget& target = it->second;
  click.Target = target;
  if (target.Variable != nullptr) {
    if (state.Mode == 2) return TDebugClick{};
    auto m = state.Marks.find(target.Variable);
    const TDebugMarks marks = m == state.Marks.end() ? TDebugMarks{} : m->second;
    click.What = TDebugClick::kShowVariableSource;
    click.Mark = target.Routine == -1 ? marks.CandidateLine : marks.OnceLine;
    return click;
  }
  if (target.Statement == nullptr || state.Mode == 0) return TDebugClick{};
  if (button == 2) {
    if (target.Routine > 0) {
      click.What = TDebugClick::kRoutineUnits;
      return click;
    }
    bool moduleVariable = false;
    if (target.Unit != nullptr)
      for (const int32_t index : EquationVariableIndexes(*target.Statement))
        if (const TVariableRecord* v = target.Unit->Variable(index); v != nullptr && !v->Name.empty() && v->Name[0] == '@')
          moduleVariable = true;
    click.What = moduleVariable ? TDebugClick::kModuleVariableAlert : TDebugClick::kStatementVarInfo;
    return click;
  }
  click.What = TDebugClick::kSelectStatement;
  return click;
}

std::pair<int32_t, int32_t> VariableSourceRange(const std::string& text, int32_t line, const std::string& name) {
  line = std::max(line, 1);
  size_t start = 0;
  for (int32_t k = 1; k < line; ++k) {
    const size_t next = text.find('\n', start);
    if (next == std::string::npos) break;
    start = next + 1;
  }
  size_t lineEnd = text.find('\r', start);
  if (lineEnd == std::string::npos) lineEnd = text.find('\n', start);
  if (lineEnd == std::string::npos) lineEnd = text.size();
  const std::string upperText = Upper(text);
  const std::string upperName = Upper(name);
  size_t from = start;
  while (!upperName.empty()) {
    const size_t at = upperText.find(upperName, from);
    if (at == std::string::npos) break;
    const size_t end = at + upperName.size();
    const bool before = at == 0 || IsTokenSeparator(text[at - 1]) || text[at - 1] == '\n' || text[at - 1] == '\r';
    const bool after = end >= text.size() || IsTokenSeparator(text[end]) || text[end] == '\r' || text[end] == '\n';
    if (before && after) return {int32_t(at), int32_t(end)};
    from = at + 1;
  }
  return {int32_t(start), int32_t(lineEnd)};
}

std::vector<TLocalVariableRecord*> StatementLocals(const TRoutineRecord& routine, const TEquationRecord& e) {
  std::map<std::string, TLocalVariableRecord*> byName;
  const int32_t count = int32_t(e.Code.size());
  for (int32_t i = 0; i < count; ++i) {
    const int32_t word = e.Code[size_t(i)];
    if (!OperandHasIndex(word) || i + 1 >= count) continue;
    const int32_t index = e.Code[size_t(++i)];
    if (word != CodeLocalVariable) continue;
    if (TLocalVariableRecord* l = LocalByNumber(routine, index)) byName.emplace(Upper(l->Name), l);
  }
  std::vector<TLocalVariableRecord*> locals;
  for (auto& [name, l] : byName) locals.push_back(l);
  return locals;
}

}  // namespace voq
