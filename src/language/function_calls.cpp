#include "language/function_calls.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <new>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/number_text.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "language/duplicate_loops.h"
#include "language/function_catalog.h"
#include "language/integral_forms.h"
#include "language/language_services.h"
#include "language/lookup_forms.h"
#include "language/operands.h"
#include "language/statement_preparation.h"
#include "language/statement_text.h"
#include "language/table_value_forms.h"
#include "model/compiled_code.h"
#include "model/equation_parts.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "units/unit_expressions.h"

namespace voq {

namespace {

constexpr char kRangeEndMark = static_cast<char>(11);
constexpr int32_t kSumHelp = 122;
constexpr int32_t kProductHelp = 116;
constexpr int32_t kDuplicateHelp = 102;

CallFormCompiler externalFunctionCompiler = nullptr;
CallFormCompiler userFunctionCompiler = nullptr;
BuiltinFormCompiler builtinFormCompiler = nullptr;

// The "(" at open and its matching ")", quoted texts skipped; 0 when the
// group does not close.
int32_t MatchingParenthesis(const std::string& text, int32_t open) {
  int depth = 0;
  for (int32_t k = open; k <= Length(text); ++k) {
    const char c = At(text, k);
    if (c == '\'') {
      int32_t close = k + 1;
      while (close <= Length(text) && At(text, close) != '\'') ++close;
      k = close;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      return k;
    }
  }
  return 0;
}

// The first ArgumentSeparator in from..to outside parentheses, brackets and
// quotes; 0 when there is none.
int32_t TopLevelSeparator(const std::string& text, int32_t from, int32_t to) {
  int depth = 0;
  int brackets = 0;
  for (int32_t k = from; k <= to && k <= Length(text); ++k) {
    const char c = At(text, k);
    if (c == '\'') {
      int32_t close = k + 1;
      while (close <= to && At(text, close) != '\'') ++close;
      k = close;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (c == '[') {
      ++brackets;
    } else if (c == ']') {
      --brackets;
    } else if (c == ArgumentSeparator && depth == 0 && brackets == 0) {
      return k;
    }
  }
  return 0;
}

// --- Argument recording ------------------------------------------------------------

// Number of elements of an argument holding a range X[a..b] (several ranged
// subscripts multiply); -1 with error 14 when a bound cannot be evaluated.
int64_t RangeElementCount(const std::string& argument) {
  const size_t open = argument.find('[');
  const size_t close = argument.find(']', open);
  if (open == std::string::npos || close == std::string::npos) {
    SetCalcErrorWithHelp(kMsgIllegalSubscript, 4);
    return -1;
  }
  int64_t count = 1;
  size_t from = open + 1;
  while (from <= close) {
    size_t end = argument.find(ArgumentSeparator, from);
    if (end == std::string::npos || end > close) end = close;
    const std::string subscript = argument.substr(from, end - from);
    const size_t dots = subscript.find("..");
    if (dots != std::string::npos) {
      const int32_t saved = CalcErrorCode;
      const int64_t lo = EvalIndexExpression(subscript.substr(0, dots), "");
      const int64_t hi = CalcErrorCode == saved ? EvalIndexExpression(subscript.substr(dots + 2), "") : 0;
      if (CalcErrorCode != saved) {
        SetCalcErrorWithHelp(kMsgIllegalSubscript, 4);
        return -1;
      }
      const int64_t span = hi < lo ? 0 : hi - lo + 1;
      // Far more elements than any stack holds: the count only has to stay
      // representable, the evaluation reports the stack limit.
      count = std::min<int64_t>(count * span, kMaxSeriesTerms);
    }
    from = end + 1;
  }
  return count;
}

// The string constant that names a range for the argument list: the range
// text with ".." kept, its first "[" as "_" and its first "]" as byte 11.
int32_t RangeTextIndex(const std::string& argument) {
  std::string marked = argument;
  const size_t open = marked.find('[');
  if (open != std::string::npos) marked[open] = '_';
  const size_t close = marked.find(']');
  if (close != std::string::npos) marked[close] = kRangeEndMark;
  return StringConstIndex(marked);
}

// Records one argument text; returns the number of values it stands for.
int64_t RecordArgument(TArgumentListRecord* list, const std::string& argument) {
  if (!argument.empty() && argument[0] == '[') {
    CalcErrorCode = kMsgSyntaxError;
    return 0;
  }
  if (argument.find('[') != std::string::npos && argument.find("..") != std::string::npos) {
    const int64_t elements = RangeElementCount(argument);
    if (elements <= 0) return 0;
    AddCallArgument(list, RangeTextIndex(argument));
    for (int64_t k = 1; k < elements && CalcErrorCode == 0; ++k) AddCallArgument(list, -1);
    return elements;
  }
  AddCallArgument(list, 0);
  return 1;
}

// Takes the first quoted text of the group out of the statement, together
// with the separator that joined it to the next (or else the previous)
// argument.
bool TakeMessageLiteral(std::string& text, int32_t open, TCallArguments& result) {
  int depth = 0;
  for (int32_t k = open; k <= Length(text); ++k) {
    const char c = At(text, k);
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) return true;
    } else if (c == '\'') {
      int32_t close = k + 1;
      while (close <= Length(text) && At(text, close) != '\'') ++close;
      if (close > Length(text)) {
        CalcErrorCode = kMsgMissingQuoteOrSyntax;
        return false;
      }
      result.MessageIndex = StringConstIndex(Slice(text, k + 1, close - 1));
      result.HasLiteral = true;
      int32_t from = k;
      int32_t to = close;
      if (to < Length(text) && At(text, to + 1) == ArgumentSeparator) {
        ++to;
      } else if (from - 1 > open && At(text, from - 1) == ArgumentSeparator) {
        --from;
      }
      text.erase(static_cast<size_t>(from) - 1, static_cast<size_t>(to - from + 1));
      return true;
    }
  }
  return true;
}

// --- Text rewriting ----------------------------------------------------------------

bool FitsStatement(const std::string& text, int32_t maxLength) {
  if (Length(text) > maxLength) {
    CalcErrorCode = kMsgStatementTooLong;
    return false;
  }
  return true;
}

// Inserts s before position at (1-based) unless the statement would grow
// past maxLength (error 340).
bool InsertText(std::string& text, int32_t maxLength, int32_t at, const std::string& s) {
  if (Length(text) + Length(s) > maxLength) {
    CalcErrorCode = kMsgStatementTooLong;
    return false;
  }
  text.insert(static_cast<size_t>(at) - 1, s);
  return true;
}

// Replaces the argument text from..to (1-based, inclusive) by s.
bool ReplaceText(std::string& text, int32_t maxLength, int32_t from, int32_t to, const std::string& s) {
  std::string rewritten = text.substr(0, static_cast<size_t>(from) - 1) + s + text.substr(static_cast<size_t>(to));
  if (!FitsStatement(rewritten, maxLength)) return false;
  text = rewritten;
  return true;
}

// Every whole-word occurrence of upperName (case-insensitive) replaced.
std::string ReplaceWholeWord(const std::string& text, const std::string& upperName,
                             const std::string& replacement) {
  if (upperName.empty()) return text;
  std::string out;
  int32_t k = 1;
  while (k <= Length(text)) {
    if (IsDelimitedAt(upperName, text, k, TokenSeparators)) {
      out += replacement;
      k += Length(upperName);
    } else {
      out.push_back(At(text, k++));
    }
  }
  return out;
}

// The stored statement shows a limit written as an expression by its value;
// such a statement is never taken over by a later compile.
void ShowLimitValueInStoredText(const std::string& limitText, int64_t value) {
  const std::string digits = std::to_string(value);
  if ((limitText.size() == 1 && limitText[0] >= '0' && limitText[0] <= '9') || limitText == digits) return;
  TEquationRecord* e = CurrentEquation;
  if (e == nullptr || !e->Text.has_value()) return;
  std::string find = limitText;
  std::replace(find.begin(), find.end(), kMarkNegate, '-');
  const std::string upperFind = UpperCaseText(find);
  const std::string& stored = *e->Text;
  const std::string upper = UpperCaseText(stored);
  std::string out;
  size_t k = 0;
  while (k < stored.size()) {
    if (upper.compare(k, upperFind.size(), upperFind) == 0 &&
        (k == 0 || IsTokenSeparator(stored[k - 1])) &&
        (k + upperFind.size() >= stored.size() || IsTokenSeparator(stored[k + upperFind.size()]))) {
      out += digits;
      k += upperFind.size();
    } else {
      out.push_back(stored[k++]);
    }
  }
  e->Text = out;
  PrefixTildeToText(e);
}

void DisposePieces(TTextPiece* head) {
  while (head != nullptr) {
    TTextPiece* next = head->Next;
    delete head;
    head = next;
  }
}

// Error 378 for a form whose compiler is not installed.
void NotDefined(const TBuiltinCallContext& context) {
  SetMessageArg(1, "Function " + context.TypedName);
  SetCalcErrorWithHelp(kMsgNotDefined, 84);
}

// The argument list of MIN, MAX, AVERAGE and a SUM of a plain list: every
// argument recorded (ranges expanded), the list appended to the equation's
// BuiltinCallLists, and the number of values appended as a last argument.
void CompileArgumentList(TBuiltinCallContext& context) {
  std::string& text = *context.Text;
  auto* list = new (std::nothrow) TArgumentListRecord;
  if (list == nullptr) {
    ReportOutOfMemory();
    return;
  }
  list->Kind = -3;
  list->Name = context.Name.substr(0, kMaxNameLength);
  if (CurrentEquation != nullptr) {
    TArgumentListRecord** tail = &CurrentEquation->BuiltinCallLists;
    while (*tail != nullptr) tail = &(*tail)->Next;
    *tail = list;
  }
  RangeInFunctionArguments = true;
  ScanCallArguments(text, context.Arguments.Open, false, list, context.Arguments);
  if (CurrentEquation == nullptr) delete list;
  if (CalcErrorCode != 0) return;
  // The evaluator pops exactly this many values: a range counts its elements.
  const std::string count = std::string(1, ArgumentSeparator) + std::to_string(context.Arguments.Values);
  if (InsertText(text, context.MaxLength, context.Arguments.Close, count)) context.Arguments.Close += Length(count);
}

// The message literal of ERROR and WARNING becomes a hidden first argument:
// its string index, -1 when the message comes from a string variable, 0 when
// there is none.
void CompileMessageArguments(TBuiltinCallContext& context) {
  std::string& text = *context.Text;
  TCallArguments& args = context.Arguments;
  ScanCallArguments(text, args.Open, true, nullptr, args);
  if (CalcErrorCode != 0) return;
  std::string index;
  if (args.HasLiteral) {
    index = std::to_string(args.MessageIndex);
  } else if (args.Count == 1 && text.find('$') != std::string::npos) {
    index = std::string(1, kMarkNegate) + "1";
  } else {
    index = "0";
  }
  const bool emptyGroup = args.Close == args.Open + 1;
  if (!emptyGroup) index.push_back(ArgumentSeparator);
  if (InsertText(text, context.MaxLength, args.Open + 1, index)) args.Close += Length(index);
}

// The unit-text operand of a CONVERTTEMP scale: 20000 + a string index when
// the scale is known now, else the string variable's name.
bool ScaleOperand(const std::string& argument, std::string& operand) {
  std::string scale = argument;
  if (!scale.empty() && scale.back() == '$') {
    operand = scale;
    if (CompilingFunctionIndex > 0) return true;  // a local: resolved at evaluation
    const int32_t i = FindOrAddVariable(scale, -1, -1);
    if (CalcErrorCode != 0) return false;
    const TVariableRecord* v = CurrentProgramUnit != nullptr ? CurrentProgramUnit->Variable(i) : nullptr;
    if (v != nullptr && v->UnknownPosition == kDeterminedVariable && std::isfinite(v->Value)) {
      const Extended n = std::nearbyint(v->Value);
      if (n >= 1 && n <= static_cast<Extended>(StringConstants.size())) {
        operand = std::to_string(20000 + static_cast<int64_t>(n));
      }
    }
    return true;
  }
  TrimShort(scale);
  RemoveQuoteChars(scale);
  if (CalcErrorCode != 0) return false;
  const int32_t index = StringConstIndex(UpperCaseText(scale));
  operand = std::to_string(20000 + std::abs(index));
  return true;
}

// The unit-text operand of a CONVERT argument: 20000 + a string index when
// the text is known now, else the string variable's name. Unlike a scale
// the text keeps its case, and a bare "$" is the unit "$".
bool ConvertUnitOperand(const std::string& argument, std::string& operand) {
  std::string units = argument;
  if (units.size() > 1 && units.back() == '$') return ScaleOperand(units, operand);
  if (units == "$") units = "'$'";
  RemoveQuoteChars(units);
  if (CalcErrorCode != 0) return false;
  operand = std::to_string(20000 + std::abs(StringConstIndex(units)));
  return true;
}

void CompileFormOfStep5(TBuiltinCallContext& context) {
  const TFunctionCatalogEntry& entry = *context.Entry;
  switch (entry.Opcode) {
    case 248:
      CompileUnitSystem(context);
      return;
    case 250:
      if (entry.SubCode == 2) CompileConvertTemp(context);
      return;
    case 252:
      CompileTableValue(context);
      return;
    case 201:
      CompileConvert(context);
      return;
    case 244:
    case 245:
    case 246:
      CompileLookupCall(context);
      return;
    case 249:
      if (entry.SubCode == 6) {
        CompileUncertaintyOf(context);
        return;
      }
      if (entry.SubCode == 3) CompileIntegralValue(context);
      return;
    default:
      return;
  }
  // The form's compiler sees the call even after a count error: some forms
  // report their own count error or accept another count.
  if (builtinFormCompiler == nullptr) {
    if (CalcErrorCode == 0) NotDefined(context);
    return;
  }
  builtinFormCompiler(context);
}

}  // namespace

// --- Argument lists ------------------------------------------------------------------

void AddCallArgument(TArgumentListRecord* list, int32_t code) {
  if (list == nullptr) return;
  const bool firstCode = list->Codes.empty();
  // The codes-per-argument table has room for kMaxArgumentGroups groups.
  if (code >= 0 && !firstCode && list->ArgumentCount >= kMaxArgumentGroups) {
    SetMessageArg(1, list->Name);
    SetMessageArg(2, std::to_string(kMaxArgumentGroups));
    CalcErrorCode = kMsgTooManyArguments;
    return;
  }
  try {
    list->Codes.push_back(code);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return;
  }
  if (firstCode) list->ArgumentCount = 0;
  if (code >= 0) {
    list->ArgumentCount += 1;
    if (list->ArgumentCount < static_cast<int32_t>(list->CodesPerArgument.size())) {
      list->CodesPerArgument[static_cast<size_t>(list->ArgumentCount)] = 1;
    }
  } else if (list->ArgumentCount >= 1 &&
             list->ArgumentCount < static_cast<int32_t>(list->CodesPerArgument.size())) {
    list->CodesPerArgument[static_cast<size_t>(list->ArgumentCount)] += 1;
  }
}

void ScanCallArguments(std::string& text, int32_t open, bool takeMessageLiteral, TArgumentListRecord* list,
                       TCallArguments& result) {
  EnsureScannerCharacterSets();
  result.Open = open;
  result.Close = 0;
  result.Count = 0;
  result.LastSeparator = 0;
  result.FirstBracket = 0;
  result.FirstIsString = false;
  result.Values = 0;
  if (takeMessageLiteral) {
    result.HasLiteral = false;
    result.MessageIndex = 0;
    if (!TakeMessageLiteral(text, open, result)) return;
  }
  int depth = 0;
  int brackets = 0;
  int32_t count = 1;
  int32_t argumentStart = open + 1;
  std::vector<std::string> arguments;
  for (int32_t k = open; k <= Length(text); ++k) {
    const char c = At(text, k);
    if (c == '\'') {
      int32_t close = k + 1;
      while (close <= Length(text) && At(text, close) != '\'') ++close;
      k = close;
      continue;
    }
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) {
        arguments.push_back(Slice(text, argumentStart, k - 1));
        if (count == 1) result.FirstIsString = !arguments.back().empty() && arguments.back().back() == '$';
        result.Close = k;
        break;
      }
    } else if (c == '[') {
      ++brackets;
      if (result.FirstBracket == 0) result.FirstBracket = k;
    } else if (c == ']') {
      --brackets;
    } else if (c == ArgumentSeparator && depth == 1 && brackets == 0) {
      arguments.push_back(Slice(text, argumentStart, k - 1));
      if (count == 1) result.FirstIsString = !arguments.back().empty() && arguments.back().back() == '$';
      ++count;
      result.LastSeparator = k;
      argumentStart = k + 1;
    }
  }
  if (result.Close == 0) {
    CalcErrorCode = kMsgUnmatchedParentheses;
    return;
  }
  result.Count = count;
  if (list == nullptr) return;
  int64_t values = 0;
  for (const std::string& argument : arguments) {
    values += RecordArgument(list, argument);
    if (CalcErrorCode != 0) return;
  }
  result.Values = static_cast<int32_t>(std::min<int64_t>(values, kMaxSeriesTerms));
}

// --- Series ----------------------------------------------------------------------------

void ExpandSeries(TBuiltinCallContext& context, char seriesOperator) {
  EnsureScannerCharacterSets();
  std::string& text = *context.Text;
  const bool isSum = seriesOperator == '+';
  const int32_t help = isSum ? kSumHelp : kProductHelp;
  const int32_t open = context.Arguments.Open;
  auto notSeriesForm = [&]() {
    SetMessageArg(1, context.TypedName);
    SetCalcErrorWithHelp(kMsgSumSyntax, help);
  };

  const int32_t close = MatchingParenthesis(text, open);
  if (close == 0) {
    CalcErrorCode = kMsgUnmatchedParentheses;
    return;
  }
  const int32_t termEnd = TopLevelSeparator(text, open + 1, close - 1);
  if (termEnd == 0) return notSeriesForm();
  const std::string rest = Slice(text, termEnd + 1, close - 1);
  const size_t equal = rest.find('=');
  if (equal == std::string::npos) return notSeriesForm();
  const std::string indexName = UpperCaseText(rest.substr(0, equal)).substr(0, kMaxNameLength);
  // The index of an enclosing DUPLICATE loop would be replaced in the term
  // by both the loop and the series.
  const std::string loopIndex = DuplicateIndexOfSeries(indexName);
  if (!loopIndex.empty()) {
    SetMessageArg(1, loopIndex);
    SetMessageArg(2, loopIndex);
    SetMessageArg(3, context.TypedName + " function");
    SetCalcErrorWithHelp(kMsgDuplicateIndexInUse, kDuplicateHelp);
    return;
  }
  const std::string limits = rest.substr(equal + 1);
  const int32_t limitSeparator = TopLevelSeparator(limits, 1, Length(limits));
  if (limitSeparator == 0) return notSeriesForm();
  const std::string lowerText = Slice(limits, 1, limitSeparator - 1);
  const std::string upperText = Slice(limits, limitSeparator + 1, Length(limits));
  const std::string term = Slice(text, open + 1, termEnd - 1);

  auto* record = new (std::nothrow) TSumRecord;
  if (record == nullptr) {
    ReportOutOfMemory();
    return;
  }
  record->TermText = term.substr(0, 255);
  record->LowerText = lowerText.substr(0, kMaxNameLength);
  record->UpperText = upperText.substr(0, kMaxNameLength);

  const std::string command = isSum ? "SUM" : "PRODUCT";
  int64_t lo = 1;
  int64_t hi = 2;
  if (!TrialCompile) {
    lo = EvalIndexExpression(lowerText, command);
    if (CalcErrorCode == 0) ShowLimitValueInStoredText(lowerText, lo);
    if (CalcErrorCode == 0) hi = EvalIndexExpression(upperText, command);
    if (CalcErrorCode == 0) ShowLimitValueInStoredText(upperText, hi);
    if (CalcErrorCode != 0) {
      delete record;
      return;
    }
  }
  record->IndexName = LowerCaseText(indexName);
  if (CurrentEquation != nullptr) {
    TSumRecord** tail = &CurrentEquation->SeriesChain;
    while (*tail != nullptr) tail = &(*tail)->Next;
    *tail = record;
  } else {
    delete record;
  }

  if (PendingTextPieces != nullptr) {
    SetMessageArg(1, context.TypedName);
    SetCalcErrorWithHelp(kMsgNestedSum, help);
    return;
  }
  if (hi < lo) {
    SetCalcErrorWithHelp(kMsgSumLimitsReversed, help);
    return;
  }
  if (hi - lo + 1 > kMaxSeriesTerms) {
    ReportOutOfMemory();
    return;
  }

  // One piece per index value: the term, then the operator and the mark
  // that continues with the next piece; the last term is followed by the
  // separator, the two series ends and the rest of the statement from the
  // call's closing parenthesis on (which closes the call's group).
  const std::string tail = std::string(1, ArgumentSeparator) + static_cast<char>(SeriesEnd) +
                           static_cast<char>(SeriesEnd) + text.substr(static_cast<size_t>(close) - 1);
  TTextPiece* head = nullptr;
  TTextPiece** link = &head;
  for (int64_t k = lo; k <= hi; ++k) {
    auto* piece = new (std::nothrow) TTextPiece;
    if (piece == nullptr) {
      ReportOutOfMemory();
      DisposePieces(head);
      return;
    }
    // A negative value goes in as a parenthesised negation, the form the
    // prepared text gives "-2" after an operator, so i^2 and 2*i read it as
    // the number it is.
    const std::string value =
        k < 0 ? std::string("(") + kMarkNegate + std::to_string(-k) + ")" : std::to_string(k);
    piece->Text = ReplaceWholeWord(term, indexName, value);
    if (k < hi) {
      piece->Text.push_back(seriesOperator);
      piece->Text.push_back(kMarkNextPiece);
    } else {
      piece->Text += tail;
    }
    *link = piece;
    link = &piece->Next;
    // A piece the statement buffer cannot hold would be read cut short.
    if (Length(piece->Text) > context.MaxLength) {
      CalcErrorCode = kMsgStatementTooLong;
      DisposePieces(head);
      return;
    }
  }
  PendingTextPieces = head;
  text = text.substr(0, static_cast<size_t>(open)) + kMarkNextPiece;
  context.Arguments.Close = 0;
}

// --- Unit forms --------------------------------------------------------------------------

void CompileUnitSystem(TBuiltinCallContext& context) {
  std::string& text = *context.Text;
  TCallArguments& args = context.Arguments;
  if (args.Count != 1) return;  // the count error stands
  const int32_t first = args.Open + 1;
  if (first >= args.Close || At(text, first) != '\'') {
    SetMessageArg(1, "Quote");
    SetCalcErrorWithHelp(kMsgUnitSystemArgument, 128);
    return;
  }
  int32_t closeQuote = first + 1;
  while (closeQuote < args.Close && At(text, closeQuote) != '\'') ++closeQuote;
  if (closeQuote >= args.Close) {
    CalcErrorCode = kMsgMissingQuote;
    return;
  }
  const std::string keyword = UpperCaseText(Slice(text, first + 1, closeQuote - 1)).substr(0, 2);
  int32_t index = 0;
  for (int32_t k = 1; k <= kUnitSystemKeywordCount && index == 0; ++k) {
    const std::string listed =
        UnitSystemKeywords[static_cast<size_t>(k)].empty() ? UnitSystemKeywordTexts[static_cast<size_t>(k) - 1]
                                                           : UnitSystemKeywords[static_cast<size_t>(k)];
    if (keyword == listed) index = k;
  }
  if (index == 0) {
    SetMessageArg(1, "Quote");
    SetCalcErrorWithHelp(kMsgUnitSystemArgument, 128);
    return;
  }
  const std::string digits = std::to_string(index);
  if (ReplaceText(text, context.MaxLength, first, args.Close - 1, digits)) args.Close = first + Length(digits);
}

void CompileConvertTemp(TBuiltinCallContext& context) {
  std::string& text = *context.Text;
  TCallArguments& args = context.Arguments;
  if (args.Count != 3) {
    SetCalcErrorWithHelp(kMsgConvertTempArguments, 323);
    return;
  }
  const int32_t firstSeparator = TopLevelSeparator(text, args.Open + 1, args.Close - 1);
  const int32_t secondSeparator =
      firstSeparator == 0 ? 0 : TopLevelSeparator(text, firstSeparator + 1, args.Close - 1);
  if (firstSeparator == 0 || secondSeparator == 0) {
    CalcErrorCode = kMsgSyntaxError;
    return;
  }
  std::string from;
  std::string to;
  if (!ScaleOperand(Slice(text, args.Open + 1, firstSeparator - 1), from)) return;
  if (!ScaleOperand(Slice(text, firstSeparator + 1, secondSeparator - 1), to)) return;
  const std::string scales = from + ArgumentSeparator + to;
  const int32_t oldLength = secondSeparator - args.Open - 1;
  if (ReplaceText(text, context.MaxLength, args.Open + 1, secondSeparator - 1, scales)) {
    args.Close += Length(scales) - oldLength;
  }
}

void CompileConvert(TBuiltinCallContext& context) {
  std::string& text = *context.Text;
  TCallArguments& args = context.Arguments;
  const int32_t separator = args.Count == 2 ? TopLevelSeparator(text, args.Open + 1, args.Close - 1) : 0;
  if (separator == 0) {
    SetCalcErrorWithHelp(kMsgConvertArguments, 181);
    return;
  }
  std::string from;
  std::string to;
  if (!ConvertUnitOperand(Slice(text, args.Open + 1, separator - 1), from)) return;
  if (!ConvertUnitOperand(Slice(text, separator + 1, args.Close - 1), to)) return;
  std::string factorText = "9999";
  auto known = [](const std::string& operand) {
    return !operand.empty() && std::isdigit(static_cast<unsigned char>(operand[0])) != 0;
  };
  if (known(from) && known(to)) {
    // Both texts are known: the factor is found now, to full precision (its
    // display text would round it to six figures).
    Extended factor = 1;
    std::string shown;
    ConvertUnitFactor(StringConstText(std::stoi(from) - 20000), StringConstText(std::stoi(to) - 20000),
                      factor, shown);
    if (CalcErrorCode != 0) return;
    factorText = RealToStr(TDisplayFormat{kStyleExponential, 17}, factor);
  }
  const std::string replacement = factorText + ArgumentSeparator + from + ArgumentSeparator + to;
  const int32_t oldLength = args.Close - args.Open - 1;
  if (ReplaceText(text, context.MaxLength, args.Open + 1, args.Close - 1, replacement)) {
    args.Close += Length(replacement) - oldLength;
  }
}

// --- The built-in call -----------------------------------------------------------------

bool CompileBuiltinCall(std::string& text, int32_t maxLength, const std::string& name, int32_t start,
                        int32_t& p) {
  EnsureScannerCharacterSets();
  if (name.empty() || name[0] < 'A' || name[0] > 'Z') return false;
  const TFunctionCatalogEntry* entry = BuiltinFunctions().FindBuiltinFunction(name);
  if (entry == nullptr) return false;
  // The name's own place in the window, as variables pass theirs: the
  // statement's start alone finds the first look-alike on its line, or
  // nothing when the call stands on a later line of the statement.
  const int32_t windowPosition =
      CurrentStatementPosition.Start < 0 ? -1 : CurrentStatementPosition.Start + start;
  if (entry->ArgumentCount == 0) {
    if (name != "PI") return false;  // DATE$, TIME$, TABLERUN#, ...: not calls
    SyncVariableNameCase(Slice(text, start, p), entry->Name, windowPosition, kFunctionNameCase);
    EmitRealConstant(entry->ConstantValue);
    return true;
  }
  // Names compiled by their own rules are not calls.
  if (entry->Opcode == 0 || entry->Opcode == 32) return false;
  if (p >= Length(text) || At(text, p + 1) != '(') return false;
  SyncVariableNameCase(Slice(text, start, p), entry->Name, windowPosition, kFunctionNameCase);

  TBuiltinCallContext context;
  context.Text = &text;
  context.MaxLength = maxLength;
  context.Name = name;
  context.TypedName = Slice(text, start, p);
  context.Start = start;
  context.Entry = entry;
  TCallArguments& args = context.Arguments;
  args.Open = p + 1;
  int32_t opcode = entry->Opcode;
  int32_t subCode = entry->SubCode;

  if (entry->ArgumentCount > 0) {
    if (opcode != 233) {
      ScanCallArguments(text, args.Open, false, nullptr, args);
      if (CalcErrorCode != 0) return true;
    }
    switch (opcode) {
      case 198:
        CompileMessageArguments(context);
        break;
      case 233:
        CompileArgumentList(context);
        break;
      case 234: {
        const std::string count = std::string(1, ArgumentSeparator) + std::to_string(args.Count);
        if (InsertText(text, maxLength, args.Close, count)) args.Close += Length(count);
        break;
      }
      case 241:
        CompileInterpolate(context);
        break;
      case 242:
        CompileInterpolate2D(context);
        break;
      case 244:
      case 245:
      case 246: {
        static constexpr int32_t kErrors[] = {kMsgLookupFormat, kMsgLookupColFormat,
                                              kMsgLookupRowFormat};
        static constexpr int32_t kHelps[] = {110, 111, 112};
        if (args.Count != 2 && args.Count != 3) SetCalcErrorWithHelp(kErrors[opcode - 244], kHelps[opcode - 244]);
        break;
      }
      case 251:
        if (args.Count != 2 && args.Count != 4 && args.Count != 5) {
          CalcErrorCode = kMsgIntegralArgumentCount;
        } else {
          CompileIntegral(context);
        }
        break;
      default:
        if (args.Count != entry->ArgumentCount) {
          SetMessageArg(1, LowerCaseText(name));
          SetMessageArg(2, std::to_string(entry->ArgumentCount));
          SetCalcErrorWithHelp(kMsgBuiltinArgumentCount, entry->HelpContext);
        }
        break;
    }
  }

  if (opcode == SeriesSum) {
    ExpandSeries(context, '+');
    if (CalcErrorCode == kMsgSumSyntax) {
      // A plain list: SUM(a, b, c) adds its values like MIN and MAX take theirs.
      CalcErrorCode = 0;
      MessageHelpContext = 0;
      opcode = 233;
      subCode = 4;
      CompileArgumentList(context);
    }
  } else if (opcode == SeriesProduct) {
    ExpandSeries(context, '*');
  } else {
    CompileFormOfStep5(context);
  }
  if (CalcErrorCode != 0) return true;

  // The name becomes its opcode byte; a sub-code becomes the first argument.
  std::string rewritten = text.substr(0, static_cast<size_t>(start) - 1);
  rewritten.push_back(static_cast<char>(opcode));
  rewritten += "(";
  if (subCode > 0) {
    rewritten += std::to_string(subCode);
    rewritten.push_back(ArgumentSeparator);
  }
  rewritten += text.substr(static_cast<size_t>(p) + 1);  // after the "("
  if (!FitsStatement(rewritten, maxLength)) return true;
  text = rewritten;
  SourceShift += Length(name) - 1;
  p = start - 1;
  return true;
}

// --- Hand-off points ---------------------------------------------------------------------

void SetExternalFunctionCallCompiler(CallFormCompiler compiler) { externalFunctionCompiler = compiler; }
void SetUserFunctionCallCompiler(CallFormCompiler compiler) { userFunctionCompiler = compiler; }
void SetBuiltinFormCompiler(BuiltinFormCompiler compiler) { builtinFormCompiler = compiler; }

bool CompileExternalFunctionCall(std::string& text, int32_t maxLength, const std::string& name, int32_t start,
                                 int32_t& p) {
  return externalFunctionCompiler != nullptr && externalFunctionCompiler(text, maxLength, name, start, p);
}

bool DispatchUserFunctionCall(std::string& text, int32_t maxLength, const std::string& name, int32_t start,
                              int32_t& p) {
  return userFunctionCompiler != nullptr && userFunctionCompiler(text, maxLength, name, start, p);
}

bool CompileUnitReference(std::string& text, int32_t maxLength, const std::string& name, int32_t start,
                          int32_t& p) {
  for (size_t u = 1; u < ProgramUnitList.size(); ++u) {
    const TProgramUnitRecord* unit = ProgramUnitList[u];
    if (unit == nullptr || unit->Defined == 0 || unit->UpperName != name) continue;
    std::string rewritten = text.substr(0, static_cast<size_t>(start) - 1);
    rewritten.push_back(static_cast<char>(OpUnitCall));
    rewritten += text.substr(static_cast<size_t>(p));
    if (!FitsStatement(rewritten, maxLength)) return true;
    text = rewritten;
    SourceShift += Length(name) - 1;
    if (CurrentEquation != nullptr) CurrentEquation->CalledUnit = static_cast<int32_t>(u);
    p = start - 1;
    return true;
  }
  return false;
}

}  // namespace voq
