#include "language/table_value_forms.h"

#include <string>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "language/operands.h"
#include "language/statement_text.h"
#include "model/parametric_table_access.h"

namespace voq {

namespace {

constexpr int32_t kNamedColumnBase = 9000;

}  // namespace

void CompileTableValue(TBuiltinCallContext& context) {
  std::string& text = *context.Text;
  TCallArguments& args = context.Arguments;
  const ParametricTableAccess& table = ParametricTable();
  if (args.Count == 2 && CalcErrorCode == kMsgBuiltinArgumentCount && table.WindowExists() &&
      table.TableCount() >= 1) {
    // TABLEVALUE(row, column) reads the first table.
    CalcErrorCode = 0;
    MessageHelpContext = 0;
    const std::string first = "'" + table.TableName(1) + "'" + std::string(1, ArgumentSeparator);
    if (!ReplaceRange(text, context.MaxLength, args.Open + 1, args.Open, first)) return;
    args.Close += Length(first);
    args.LastSeparator += Length(first);
    args.Count = 3;
  }
  if (CalcErrorCode != 0) return;
  std::string column = Slice(text, args.LastSeparator + 1, args.Close - 1);
  TrimShort(column);
  if (column.empty() || (column[0] != '\'' && column[0] != '#')) return;
  std::string name = column[0] == '#' ? column.substr(1) : column;
  RemoveQuoteChars(name);
  if (CalcErrorCode != 0) return;
  const std::string code = std::to_string(kNamedColumnBase + StringConstIndex(name));
  if (ReplaceRange(text, context.MaxLength, args.LastSeparator + 1, args.Close - 1, code))
    args.Close = args.LastSeparator + 1 + Length(code);
}

void CompileUncertaintyOf(TBuiltinCallContext& context) {
  std::string& text = *context.Text;
  TCallArguments& args = context.Arguments;
  if (CalcErrorCode != 0) return;
  if (args.Count != 1) {
    CalcErrorCode = kMsgSyntaxError;
    return;
  }
  std::string name = Slice(text, args.Open + 1, args.Close - 1);
  RemoveQuoteChars(name);
  if (CalcErrorCode != 0) return;
  TrimShort(name);
  const int32_t index = FindOrAddVariable(name, -1, -1);
  if (CalcErrorCode != 0) return;
  const std::string replaced = name + std::string(1, ArgumentSeparator) + std::to_string(index);
  if (ReplaceRange(text, context.MaxLength, args.Open + 1, args.Close - 1, replaced))
    args.Close = args.Open + 1 + Length(replaced);
}

}  // namespace voq
