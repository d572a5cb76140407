#include "solver/lookup_functions.h"

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "model/document_settings.h"
#include "model/compiled_code.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "solver/evaluator.h"
#include "solver/lookup_interpolation.h"
#include "solver/multiquadric.h"
#include "solver/numeric_opcodes.h"
#include "solver/user_routines.h"

namespace voq {

namespace {

constexpr Extended kErrorResult = -999.0L;
constexpr Extended kCellStep = 1E-9L;

int32_t Truncated(Extended x) {
  if (std::isnan(x)) return 0;
  const Extended t = std::trunc(x);
  if (t > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (t < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(t);
}

int32_t Rounded(Extended x) { return Truncated(std::nearbyint(x)); }

std::string TextOf(Extended index) { return StringConstText(Rounded(index)); }

bool WarningsOn() { return Preferences.WarningsB != 0; }

// Stops the evaluation with code (its arguments set by the caller).
bool Stop(int32_t code) {
  CalcErrorCode = code;
  return false;
}

// The result into slot, and in complex mode a zero imaginary part for it.
bool Result(TEvaluationState& s, int32_t slot, Extended value) {
  s.Height = slot;
  s.Values[slot] = value;
  if (s.ComplexMode) {
    if (slot > kImaginaryStackSize) return Stop(kMsgStackLimit);
    s.ImaginaryHeight = slot;
    s.Imaginary[slot] = 0;
  }
  return true;
}

// A column designator on the stack (a string: "#n" or a name) as a number.
int32_t DesignatedColumn(Extended designator, int32_t id) {
  return Truncated(LookupTables().ColumnNumber(TextOf(designator), id));
}

// A routine statement whose left side is a LOOKUP call stores into that
// cell: its blank cell reads as -999 while the residual is evaluated.
bool AssigningCell(const TEvaluationState& s) {
  if (s.RoutineSlot <= 0 || s.Equation == nullptr || !s.Equation->Text.has_value()) return false;
  std::string text = UpperCaseText(*s.Equation->Text);
  size_t at = text.find_first_not_of(" ~");
  return at != std::string::npos && text.compare(at, 7, "LOOKUP(") == 0;
}

// --- INTERPOLATE family and DIFFERENTIATE (241) -------------------------------------------
// Stack: type, table, dependent column, independent column, direction, x.
bool InterpolateOpcode(TEvaluationState& s, int32_t /*opcode*/) {
  const int32_t h = s.Height;
  if (h < 6) return Stop(kMsgSyntaxOrUndefinedFunction);
  const int32_t type = Rounded(s.Values[h - 5]);
  const Extended x = s.Values[h];
  int32_t id = 0;
  TLookupTableInfo info;
  if (!ResolveTableArgument(s, s.Values[h - 4], id, info)) return false;
  const int32_t b = DesignatedColumn(s.Values[h - 2], id);
  const int32_t a = CalcErrorCode > 0 ? 0 : DesignatedColumn(s.Values[h - 3], id);
  if (CalcErrorCode > 0) return false;
  const bool reciprocal = s.Values[h - 1] < 0;
  // An independent column outside the table would be searched as all blank.
  if (a < 1 || a > info.Columns || b < 1 || b > info.Columns) return Stop(kMsgLookupRowColumnMissing);
  LookupTableAccess& tables = LookupTables();
  TInterpolationTable table;
  table.RowCount = info.Rows;
  table.Cell = [&tables, id](int32_t column, int32_t row) { return tables.Cell(id, column, row, kLookupNumeric); };
  table.ColumnName = [&tables, id](int32_t column) { return tables.ColumnName(id, column); };
  table.Label = (info.IsFile ? "file " : "table ") + tables.TableName(id);
  const TBracket bracket = FindBracketRow(table, b, a, type, x);
  if (CalcErrorCode > 0) return false;
  const Extended result = InterpolateInTable(table, type, bracket, b, a, x, reciprocal);
  if (CalcErrorCode > 0) return false;
  return Result(s, h - 5, result);
}

// --- LOOKUP, LOOKUP$, LOOKUPCELLEMPTY (244) -------------------------------------------------
// Stack: kind, table, row, column, by-name flag.
bool LookupOpcode(TEvaluationState& s, int32_t /*opcode*/) {
  const int32_t h = s.Height;
  if (h < 5) return Stop(kMsgSyntaxOrUndefinedFunction);
  const int32_t kind = Rounded(s.Values[h - 4]);
  const bool byName = Rounded(s.Values[h]) > 0;
  Extended c = s.Values[h - 1];
  const Extended rv = s.Values[h - 2];
  int32_t r = Truncated(rv);
  int32_t id = 0;
  TLookupTableInfo info;
  if (!ResolveTableArgument(s, s.Values[h - 3], id, info)) return false;
  const int32_t rows = info.Rows;
  const int32_t columns = info.Columns;
  if (r < 1 || r > rows) {
    SetMessageArg(1, std::to_string(r));
    SetMessageArg(2, "Lookup");
    r = r < 1 ? 1 : rows;
    if (CalcErrorCode == 0 && WarningsOn()) {
      CalcErrorCode = kMsgTableRowRange;
      MessageText = GetMessageText(kMsgTableRowRange);
      return false;
    }
  }
  if (byName) c = LookupTables().ColumnNumber(TextOf(c), id);
  int32_t cc = Truncated(c);
  if (CalcErrorCode > 0) return false;
  if (cc < 1 && WarningsOn()) {
    SetMessageArg(1, std::to_string(cc));
    SetMessageArg(2, "Lookup");
    cc = 1;
    if (CalcErrorCode == 0) {
      CalcErrorCode = kMsgTableColumnRange;
      MessageText = GetMessageText(kMsgTableColumnRange);
      return false;
    }
  }
  if (cc > columns) {
    SetMessageArg(1, std::to_string(cc));
    SetMessageArg(2, "Lookup");
    cc = columns;
    if (CalcErrorCode == 0 && WarningsOn()) {
      MessageText = GetMessageText(kMsgTableColumnRange);
      AddWarning(MessageText);
    }
  }
  Extended v = GetLookupValue(cc, r, id, kind, AssigningCell(s));
  if (CalcErrorCode > 0) return false;
  // Fractional rows and columns interpolate between the cells around them.
  // Strings and the filled test read the cell itself.
  if (kind == kLookupNumeric) {
    const Extended dc = c - cc;
    const Extended dr = rv - r;
    const bool betweenColumns = dc > kCellStep && cc < columns;
    if (betweenColumns) v += (GetLookupValue(cc + 1, r, id, kLookupNumeric) - v) * dc;
    Extended w = v;
    if (dr > kCellStep && r < rows) {
      w = GetLookupValue(cc, r + 1, id, kLookupNumeric);
      if (betweenColumns) w += (GetLookupValue(cc + 1, r + 1, id, kLookupNumeric) - w) * dc;
    }
    if (CalcErrorCode > 0) return false;
    v += (w - v) * dr;
  }
  return Result(s, h - 4, v);
}

// --- LOOKUPCOL (245), LOOKUPROW and LOOKUP$ROW (246) ------------------------------------------
// 245: sub-code, table, row, value. 246: sub-code, table, column, by-name
// flag, value.
bool SearchOpcode(TEvaluationState& s, int32_t opcode) {
  const bool alongRow = opcode == 245;
  const int32_t count = alongRow ? 4 : 5;
  const int32_t h = s.Height;
  if (h < count) return Stop(kMsgSyntaxOrUndefinedFunction);
  const int32_t slot = h - count + 1;
  const int32_t sub = Rounded(s.Values[slot]);
  const Extended y = s.Values[h];
  const bool byName = !alongRow && Rounded(s.Values[h - 1]) > 0;
  Extended fixedArgument = s.Values[slot + 2];
  int32_t id = 0;
  TLookupTableInfo info;
  if (!ResolveTableArgument(s, s.Values[slot + 1], id, info)) return false;
  int32_t a = 0;
  if (byName) {
    a = DesignatedColumn(fixedArgument, id);
    if (CalcErrorCode > 0) return false;
  } else {
    a = Rounded(fixedArgument);
  }
  const int32_t limit = alongRow ? info.Columns : info.Rows;
  const int32_t fixedLimit = alongRow ? info.Rows : info.Columns;
  if (a < 1 || a > fixedLimit) return Stop(kMsgLookupRowColumnMissing);
  // The k-th cell along the search: a column of row a, or a row of column a.
  auto valueAt = [&](int32_t k, int32_t kind) {
    return alongRow ? GetLookupValue(k, a, id, kind) : GetLookupValue(a, k, id, kind);
  };
  if (!alongRow && sub == 2) {
    const int32_t wanted = Rounded(y);
    for (int32_t i = 1; i <= info.Rows; ++i) {
      const int32_t found = Rounded(valueAt(i, kLookupString));
      if (CalcErrorCode > 0) return false;
      if (found == wanted) return Result(s, slot, i);
    }
    s.Height = slot;
    s.Values[slot] = -1;
    SetMessageArg(1, StringConstText(wanted));
    SetMessageArg(2, std::to_string(a));
    return Stop(kMsgStringNotInColumn);
  }
  // Bisection for the position where the cells cross y; the cells need not
  // be increasing.
  int32_t lo = 1;
  int32_t hi = limit;
  Extended vlo = valueAt(lo, kLookupNumeric);
  Extended vhi = valueAt(hi, kLookupNumeric);
  if (CalcErrorCode > 0) return false;
  const bool loSign = vlo - y >= 0;
  if (loSign == (vhi - y >= 0)) {
    if (std::fabs(vlo - y) >= std::fabs(vhi - y)) {
      lo = hi;
      vlo = vhi;
    } else {
      hi = lo;
      vhi = vlo;
    }
  } else {
    while (hi - lo > 1) {
      const int32_t m = (lo + hi) / 2;
      const Extended vm = valueAt(m, kLookupNumeric);
      if (CalcErrorCode > 0) return false;
      if ((vm - y >= 0) == loSign) {
        lo = m;
        vlo = vm;
      } else {
        hi = m;
        vhi = vm;
      }
    }
  }
  Extended position = lo;
  if (std::fabs(vhi - vlo) > 1E-20L) position = lo + (hi - lo) * (y - vlo) / (vhi - vlo);
  if (position < 1) position = 1;
  if (position > limit) position = limit;
  return Result(s, slot, position);
}

// --- NLOOKUPROWS (247, member 14): a table name -----------------------------------------------
bool LookupRowCount(TEvaluationState& s, int32_t /*opcode*/, int32_t /*sub*/) {
  const int32_t h = s.Height;
  int32_t n = Rounded(s.Values[h]);
  if (n > kTableVariableOffset) n -= kTableVariableOffset;
  if (n < 1 || n > int32_t(StringConstants.size())) return Stop(kMsgNTableRowsParameters);
  std::string name = StringConstText(n);
  TrimShort(name);
  // An unknown name counts no rows; it is not an error.
  const int32_t savedError = CalcErrorCode;
  Extended rows = 0;
  LookupTableAccess& tables = LookupTables();
  const int32_t id = tables.FindTable(name);
  TLookupTableInfo info;
  if (CalcErrorCode <= 0 && id != kLookupParametricId && tables.Describe(id, info)) rows = info.Rows;
  CalcErrorCode = savedError;
  MessageHelpContext = 0;
  return Result(s, h - 1, rows);
}

}  // namespace

bool ResolveTableArgument(const TEvaluationState& state, Extended argument, int32_t& id, TLookupTableInfo& info) {
  id = Truncated(argument);
  if (std::abs(int64_t(id)) > kTableVariableOffset) {
    Extended value = 0;
    const TVariableRecord* v = nullptr;
    if (state.RoutineSlot == 0) {
      v = CurrentProgramUnit != nullptr ? CurrentProgramUnit->Variable(id - kTableVariableOffset) : nullptr;
    } else if (id < 0) {
      v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(-id - kTableVariableOffset) : nullptr;
    } else {
      TEvaluationState& reader = const_cast<TEvaluationState&>(state);
      if (!ReadLocalOperand(reader, id - kTableVariableOffset, value)) return false;
    }
    if (v != nullptr) value = v->Value;
    if (state.RoutineSlot == 0 && v == nullptr) {
      SetCalcErrorWithHelp(kMsgNoLookupTable, 8);
      return false;
    }
    id = LookupTables().FindTable(TextOf(value));
    if (CalcErrorCode > 0) return false;
  }
  return LookupTables().Describe(id, info);
}

Extended GetLookupValue(int32_t column, int32_t row, int32_t id, int32_t kind, bool assigning) {
  LookupTableAccess& tables = LookupTables();
  const int32_t before = CalcErrorCode;
  const Extended v = tables.Cell(id, column, row, kind);
  if (kind == kLookupFilled) {
    const Extended filled = CalcErrorCode > 0 ? -1 : IsBlank(v) ? 0 : 1;
    CalcErrorCode = before;
    return filled;
  }
  if (CalcErrorCode <= 0 && IsBlank(v)) CalcErrorCode = kMsgNonNumericTableValue;
  if (CalcErrorCode <= 0) return v;
  if (assigning) {
    CalcErrorCode = 0;
    MessageHelpContext = 0;
    return kErrorResult;
  }
  if (CalcErrorCode != kMsgColumnNotFound) {
    CalcErrorCode = kMsgNonNumericTableValue;
    SetMessageArg(1, std::to_string(row));
    SetMessageArg(2, std::to_string(column));
    SetMessageArg(3, "Lookup");
  }
  return kErrorResult;
}

bool Interpolate2D(TEvaluationState& s) {
  const int32_t h = s.Height;
  if (h < 10) return Stop(kMsgSyntaxOrUndefinedFunction);
  const int32_t slot = h - 9;
  s.Height = slot;
  s.Values[slot] = kErrorResult;
  int32_t id = 0;
  TLookupTableInfo info;
  if (!ResolveTableArgument(s, s.Values[h - 8], id, info)) return false;
  int32_t columns[3] = {0, 0, 0};
  for (int32_t k = 0; k < 3; ++k) {
    columns[k] = DesignatedColumn(s.Values[h - 7 + k], id);
    if (CalcErrorCode > 0) return false;
  }
  const int32_t first = Rounded(s.Values[h - 4]);
  const int32_t second = Rounded(s.Values[h - 3]);
  if (first < 1 || first > 3 || second < 1 || second > 3 || first == second)
    return Stop(kMsgSyntaxOrUndefinedFunction);
  const int32_t third = 6 - first - second;
  const Extended result = Interpolate2DMultiquadric(id, Rounded(s.Values[h]), columns[first - 1],
                                                    columns[second - 1], columns[third - 1], s.Values[h - 2],
                                                    s.Values[h - 1]);
  if (CalcErrorCode > 0) return false;
  s.Values[slot] = result;
  return true;
}

namespace {

// One argument of a compiled call: its operand words (code word and, for
// variables, their index; constants and strings with their values) and
// whether an operator joined them.
struct TCompiledArgument {
  std::vector<std::pair<int32_t, Extended>> Operands;
  bool HasOperator = false;
};

// The arguments of the first LOOKUP call (244) of a statement's code.
std::vector<TCompiledArgument> LookupCallArguments(const TEquationRecord& e) {
  std::vector<TCompiledArgument> args(1);
  size_t constant = 0;
  size_t text = 0;
  for (size_t i = 0; i < e.Code.size(); ++i) {
    const int32_t w = e.Code[i];
    if (w == 244) return args;
    switch (w) {
      case CodeConstant:
        args.back().Operands.push_back({w, constant < e.Constants.size() ? e.Constants[constant] : 0});
        ++constant;
        break;
      case CodeStringConstant:
        args.back().Operands.push_back({w, text < e.StringOperands.size() ? Extended(e.StringOperands[text]) : 0});
        ++text;
        break;
      case CodeVariable:
      case CodeLocalVariable:
        if (i + 1 < e.Code.size()) args.back().Operands.push_back({w, Extended(e.Code[++i])});
        break;
      case OpSeparator:
        args.emplace_back();
        break;
      default:
        args.back().HasOperator = true;
        break;
    }
  }
  return {};
}

// The value of a variable operand of a routine statement: a local of the
// running routine, or a main-program variable brought in by $COMMON.
bool OperandVariable(int32_t word, int32_t index, Extended& value, bool& isString) {
  std::string name;
  isString = false;
  if (word == CodeLocalVariable && index >= 0) {
    const TRoutineRecord* r = RoutineAt(CompilingFunctionIndex);
    const TLocalVariableRecord* l = r != nullptr ? LocalByNumber(*r, index) : nullptr;
    if (l == nullptr) return Stop(kMsgSyntaxOrUndefinedFunction);
    value = l->Value;
    isString = l->IsString != 0;
    name = l->Name;
  } else {
    const TProgramUnitRecord* unit = word == CodeVariable ? CurrentProgramUnit : MainProgramUnit;
    const TVariableRecord* v = unit != nullptr ? unit->Variable(std::abs(index)) : nullptr;
    if (v == nullptr) return Stop(kMsgSyntaxOrUndefinedFunction);
    value = v->Value;
    isString = v->IsString != 0;
    name = v->Name;
  }
  if (IsUnsetLocalValue(value)) {
    SetCalcError(kMsgNotDefined, name);
    return false;
  }
  return true;
}

}  // namespace

void AssignLookupCell(TEquationRecord* statement, Extended residual) {
  if (statement == nullptr) return;
  const std::vector<TCompiledArgument> args = LookupCallArguments(*statement);
  // Sub-code and table, row, column, by-name flag.
  if (args.size() < 4 || args[0].Operands.size() < 2) {
    CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
    return;
  }
  Extended tableCode = args[0].Operands[1].second;
  if (args[0].HasOperator) tableCode = -tableCode;  // a negative code is written negated
  int32_t id = 0;
  TLookupTableInfo info;
  // The table's string variable, if any, is read as the running routine
  // reads its locals.
  static TEvaluationState routineState;
  routineState.RoutineSlot = CompilingFunctionIndex;
  if (!ResolveTableArgument(routineState, tableCode, id, info)) return;
  // Only a tab of the Lookup Table window takes values: a lookup file, the
  // Parametric table or no table at all is refused rather than written
  // into another table.
  if (info.IsFile || id == 0 || id == kLookupParametricId) {
    SetCalcError(kMsgLookupReadError);
    return;
  }
  const TCompiledArgument& rowArgument = args[1];
  const TCompiledArgument& columnArgument = args[2];
  if (rowArgument.Operands.size() != 1 || rowArgument.HasOperator || columnArgument.Operands.size() != 1 ||
      columnArgument.HasOperator) {
    CalcErrorCode = kMsgLookupExpressionArgument;
    return;
  }
  Extended rowValue = rowArgument.Operands[0].second;
  bool isString = false;
  const int32_t rowWord = rowArgument.Operands[0].first;
  if ((rowWord == CodeVariable || rowWord == CodeLocalVariable) &&
      !OperandVariable(rowWord, Truncated(rowValue), rowValue, isString))
    return;
  const int32_t row = Rounded(rowValue);
  if (row < 1 || row > info.Rows) {
    SetMessageArg(1, std::to_string(row));
    SetMessageArg(2, "Lookup");
    CalcErrorCode = kMsgTableRowRange;
    return;
  }
  const int32_t columnWord = columnArgument.Operands[0].first;
  Extended columnValue = columnArgument.Operands[0].second;
  isString = columnWord == CodeStringConstant;
  if ((columnWord == CodeVariable || columnWord == CodeLocalVariable) &&
      !OperandVariable(columnWord, Truncated(columnValue), columnValue, isString))
    return;
  if (isString) {
    columnValue = LookupTables().ColumnNumber(TextOf(columnValue), id);
    if (CalcErrorCode > 0) return;
  }
  const int32_t column = Rounded(columnValue);
  if (column < 1 || column > info.Columns) {
    SetMessageArg(1, std::to_string(column));
    SetMessageArg(2, "Lookup");
    CalcErrorCode = kMsgTableColumnRange;
    return;
  }
  Extended current = LookupTables().Cell(id, column, row, kLookupNumeric);
  if (CalcErrorCode > 0) return;
  if (IsBlank(current)) current = kErrorResult;
  if (!LookupTables().SetCell(id, column, row, current - residual)) CalcErrorCode = kMsgLookupReadError;
}

void InstallLookupFunctions() {
  SetLookupCellAssigner(AssignLookupCell);
  SetOpcodeHandler(241, InterpolateOpcode);
  SetOpcodeHandler(242, [](TEvaluationState& s, int32_t) { return Interpolate2D(s); });
  SetOpcodeHandler(244, LookupOpcode);
  SetOpcodeHandler(245, SearchOpcode);
  SetOpcodeHandler(246, SearchOpcode);
  SetFamilyMemberHandler(247, 14, LookupRowCount);
}

}  // namespace voq
