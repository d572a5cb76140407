#include "solver/string_table_functions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "model/parametric_table_access.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "solver/evaluator.h"
#include "solver/numeric_opcodes.h"

namespace voq {

namespace {

// A string argument that names a table or is read by STRINGVAL may carry the
// string-variable offset 10000.
constexpr int32_t kStringVariableOffset = 10000;
// A TABLEVALUE column above this is a name: 9000 + its string index.
constexpr int32_t kNamedColumnBase = 9000;
constexpr int32_t kTableValueHelp = 124;
constexpr int32_t kTableRequiredHelp = 6;

// Integer arguments are rounded to the nearest integer, a half to even.
int32_t IntegerArgument(Extended x) {
  if (std::isnan(x)) return 0;
  const Extended r = std::nearbyint(x);
  if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (r < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

bool InStringTable(int32_t n) { return n >= 1 && n <= static_cast<int32_t>(StringConstants.size()); }

// The text of entry n, or "??" outside the table (no error).
std::string TextOrUnset(Extended x) {
  const int32_t n = IntegerArgument(x);
  return InStringTable(n) ? StringConstants[static_cast<size_t>(n) - 1] : std::string("??");
}

Extended StringResult(const std::string& text) {
  return static_cast<Extended>(StringConstIndex(text.substr(0, kStringConstantLength)));
}

bool Stop(int32_t code) {
  CalcErrorCode = code;
  return false;
}

// --- One argument (247): sub-code, x --------------------------------------------------

bool OneArgumentString(TEvaluationState& s, int32_t /*opcode*/, int32_t sub) {
  const int32_t h = s.Height;
  const Extended x = s.Values[h];
  Extended r = 0;
  switch (sub) {
    case 6: {  // STRINGVAL
      int32_t n = IntegerArgument(x);
      if (n > kStringVariableOffset) n -= kStringVariableOffset;
      if (!InStringTable(n)) return Stop(kMsgStringValSyntax);
      std::string text = StringConstants[static_cast<size_t>(n) - 1];
      TrimShort(text, static_cast<int32_t>(kStringConstantLength));
      int32_t errorPos = 0;
      StrToReal(text, r, errorPos);
      if (errorPos != 0) {
        SetMessageArg(1, text);
        return Stop(kMsgStringValConversion);
      }
      break;
    }
    case 7:  // STRING$
      r = StringResult(FormatValue(TDisplayFormat{kStyleAutomatic, 4}, x));
      break;
    case 11:
      r = StringResult(LowerCaseText(TextOrUnset(x)));
      break;
    case 12:
      r = StringResult(UpperCaseText(TextOrUnset(x)));
      break;
    case 13: {  // STRINGLEN
      const int32_t n = IntegerArgument(x);
      r = InStringTable(n) ? static_cast<Extended>(StringConstants[static_cast<size_t>(n) - 1].size()) : 0;
      break;
    }
    default:
      CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
      return true;
  }
  s.Height = h - 1;
  s.Values[h - 1] = r;
  return true;
}

// --- Two arguments (249): sub-code, W, Y ------------------------------------------------

bool TwoArgumentString(TEvaluationState& s, int32_t /*opcode*/, int32_t sub) {
  const int32_t h = s.Height;
  const Extended w = s.Values[h - 1];
  const Extended y = s.Values[h];
  Extended r = 0;
  switch (sub) {
    case 1:  // CONCAT$
      r = StringResult(TextOrUnset(w) + TextOrUnset(y));
      break;
    case 2: {  // STRINGPOS
      const size_t at = TextOrUnset(y).find(TextOrUnset(w));
      r = at == std::string::npos ? 0 : static_cast<Extended>(at + 1);
      break;
    }
    case 6: {  // UNCERTAINTYOF: the value, the variable's index in the main program
      const int32_t i = IntegerArgument(y);
      const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(i) : nullptr;
      if (UncertaintyMode && v != nullptr && !IsBlank(v->Uncertainty)) {
        r = v->UncertaintyIsRelative != 0 ? v->Uncertainty * v->Value : v->Uncertainty;
      }
      break;
    }
    default:
      CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
      return true;
  }
  s.Height = h - 2;
  s.Values[h - 2] = r;
  return true;
}

// --- Three arguments (250): sub-code, a, b, c -------------------------------------------

bool ThreeArgumentString(TEvaluationState& s, int32_t /*opcode*/, int32_t sub) {
  const int32_t h = s.Height;
  if (sub != 1) {
    CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
    return true;
  }
  // COPY$(text, start, count): a start below 1 counts as 1; a start beyond
  // the end or a negative count gives the empty text.
  const std::string text = TextOrUnset(s.Values[h - 2]);
  const int64_t start = std::max<int64_t>(IntegerArgument(s.Values[h - 1]), 1);
  const int64_t count = IntegerArgument(s.Values[h]);
  std::string part;
  if (start <= static_cast<int64_t>(text.size()) && count > 0)
    part = text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count));
  s.Height = h - 3;
  s.Values[h - 3] = StringResult(part);
  return true;
}

// --- TABLEVALUE (252): table name, row, column ------------------------------------------

bool TableValueFunction(TEvaluationState& s, int32_t /*opcode*/) {
  if (s.Height < 3) return Stop(kMsgSyntaxError);
  const int32_t h = s.Height;
  const ParametricTableAccess& table = ParametricTable();
  const std::string name = TextOrUnset(s.Values[h - 2]);
  int32_t t = 0;
  if (!table.WindowExists()) {
    SetMessageArg(1, "Parametric");
    CalcErrorCode = kMsgTableRequired;
    MessageHelpContext = kTableRequiredHelp;
  } else {
    for (int32_t k = 1; k <= table.TableCount() && t == 0; ++k) {
      if (SameTextNoCase(table.TableName(k), name)) t = k;
    }
    if (t == 0) {
      SetMessageArg(1, name);
      CalcErrorCode = kMsgParametricTableMissing;
      MessageHelpContext = kTableRequiredHelp;
    }
  }
  const int32_t columnArgument = IntegerArgument(s.Values[h]);
  int32_t c = columnArgument;
  if (c > kNamedColumnBase && t > 0) {
    const std::string wanted = UpperCaseText(TextOrUnset(static_cast<Extended>(c - kNamedColumnBase)));
    c = -1;
    const TProgramUnitRecord* main = MainProgramUnit;
    for (int32_t k = 1; k <= table.TableColumnCount(t) && c < 0; ++k) {
      const TVariableRecord* v = main != nullptr ? main->Variable(table.ColumnVariable(t, k)) : nullptr;
      if (v != nullptr && v->UpperName == wanted) c = k;
    }
  }
  if (CalcErrorCode <= 0 && (c < 1 || c > table.ColumnCount())) {
    // The placeholder shows the column as written: its name or its number.
    SetMessageArg(1, columnArgument > kNamedColumnBase
                         ? TextOrUnset(static_cast<Extended>(columnArgument - kNamedColumnBase))
                         : std::to_string(columnArgument));
    CalcErrorCode = kMsgTableValueColumn;
  }
  const int32_t r = IntegerArgument(s.Values[h - 1]);
  if (CalcErrorCode <= 0 && (r < 1 || r > table.RowCount())) {
    CalcErrorCode = kMsgTableValueRow;
    MessageHelpContext = kTableValueHelp;
  }
  s.Height = h - 2;
  if (CalcErrorCode > 0) return true;
  const Extended value = table.CellValue(t, r, c);
  s.Values[h - 2] = value;
  if (IsBlank(value)) {
    CalcErrorCode = kMsgTableValueEmpty;
    MessageHelpContext = kTableValueHelp;
  }
  if (s.ComplexMode) {
    if (s.Height > kImaginaryStackSize) return Stop(kMsgStackLimit);
    s.ImaginaryHeight = s.Height;
    s.Imaginary[s.ImaginaryHeight] = 0;
  }
  return true;
}

}  // namespace

void InstallStringTableFunctions() {
  for (int32_t sub : {6, 7, 11, 12, 13}) SetFamilyMemberHandler(247, sub, OneArgumentString);
  for (int32_t sub : {1, 2, 6}) SetFamilyMemberHandler(249, sub, TwoArgumentString);
  SetFamilyMemberHandler(250, 1, ThreeArgumentString);
  SetOpcodeHandler(252, TableValueFunction);
}

}  // namespace voq
