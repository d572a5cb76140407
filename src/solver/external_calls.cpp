#include "solver/external_calls.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/handles.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/search_path.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "platform/platform.h"
#include "model/compiled_code.h"
#include "model/equation_parts.h"
#include "model/external_routines.h"
#include "platform/dynamic_library.h"
#include "properties/external_property_library.h"
#include "properties/janaf.h"
#include "solver/evaluator.h"
#include "solver/evaluator_support.h"

namespace voq {

namespace {

constexpr double kUnfitInput = 1E+99;
constexpr double kPresetOutput = -999.0;

bool StopMalformed() {
  CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
  return false;
}

// The text buffer handed to a routine: the text, zero-filled to its size.
struct TextBuffer {
  char Bytes[kExternalTextSize + 1] = {};
  explicit TextBuffer(const std::string& text) {
    std::memcpy(Bytes, text.data(), std::min<size_t>(text.size(), kExternalTextSize - 1));
  }
  // What the routine left there, never past the buffer's end.
  std::string Text() {
    Bytes[kExternalTextSize - 1] = '\0';
    return std::string(Bytes);
  }
};

std::string OperandText(int32_t index) { return index > 0 ? StringConstText(index) : std::string(); }

// Builds a list of the values of stack slots from..to; nullptr for none.
// False with error 75 when a node cannot be had.
bool BuildInputList(const TEvaluationState& s, int32_t from, int32_t to, TParamNodeRecord*& head) {
  head = nullptr;
  TParamNodeRecord** tail = &head;
  for (int32_t at = from; at <= to; ++at) {
    TParamNodeRecord* node = NewParamNode(ExternalInputValue(s.Values[at]));
    if (node == nullptr) {
      DisposeNodeList(head);
      return false;
    }
    *tail = node;
    tail = &node->Next;
  }
  return true;
}

// The library's folder is current while its routine runs; the folder that
// was current joins the search path, so files named relative to it are still
// found.
class LibraryDirectoryScope {
 public:
  explicit LibraryDirectoryScope(const std::string& folder) : saved_(CurrentDirectoryPath()) {
    AddSearchDirectory(saved_);
    if (!folder.empty()) SetCurrentDirectoryPath(folder);
  }
  ~LibraryDirectoryScope() {
    if (!saved_.empty()) SetCurrentDirectoryPath(saved_);
  }
  LibraryDirectoryScope(const LibraryDirectoryScope&) = delete;
  LibraryDirectoryScope& operator=(const LibraryDirectoryScope&) = delete;

 private:
  std::string saved_;
};

void SetRoutineFailure(const std::string& name, bool blanks) {
  SetMessageArg(1, name);
  MessageText = GetMessageText(kMsgAccessError) + (blanks ? "  " : "") + GetMessageText(kMsgLibraryCallingChanged);
  CalcErrorCode = kMsgPreparedText;
}

void SetRoutineMessage(const std::string& text) {
  MessageText = text.substr(0, kMessageTextLength);
  CalcErrorCode = kMsgPreparedText;
}

// Opcode 255. Stack, deepest first: the function's number (its slot takes
// the result), the text operand, the m inputs, m + 1.
bool ExternalFunctionOpcode(TEvaluationState& s, int32_t /*opcode*/) {
  if (s.Height < 1) return StopMalformed();
  const int32_t m = StackInteger(s.Values[s.Height]) - 1;
  if (m < 0 || s.Height < m + 3) return StopMalformed();
  const int32_t base = s.Height - m - 2;
  TParamNodeRecord* inputs = nullptr;
  if (!BuildInputList(s, base + 2, base + 1 + m, inputs)) return false;
  const int32_t t = StackInteger(s.Values[base + 1]);
  const int32_t f = StackInteger(s.Values[base]);
  s.Height = base;
  s.Values[base] = ErrorResultValue;

  TExternalFunctionRecord* r = FindExternalFunction(f);
  if (r == nullptr || r->Entry == nullptr) {
    DisposeNodeList(inputs);
    SetCalcError(kMsgExternalProcedureNotFound, r != nullptr ? r->Name : std::string());
    return false;
  }
  if (s.CallCursor != nullptr) s.CallCursor = s.CallCursor->Next;

  const std::string operand = OperandText(t);
  TextBuffer buffer(operand);
  double result = 0;
  {
    LibraryDirectoryScope scope(r->Directory);
    try {
      result = r->Entry(buffer.Bytes, VOQ_MODE_EVALUATE, reinterpret_cast<const VoqParamNode*>(inputs));
    } catch (...) {
      DisposeNodeList(inputs);
      SetRoutineFailure(r->Name, true);
      return false;
    }
  }
  std::string text = buffer.Text();
  if (t > 0 && text == operand) text.clear();
  DisposeNodeList(inputs);
  if (!text.empty()) {
    SetRoutineMessage(text);
    s.Values[base] = 0;
    return true;
  }
  s.Values[base] = static_cast<Extended>(result);
  return true;
}

// A list-style procedure call; the result slot is slot.
void CallListProcedure(TEvaluationState& s, TExternalProcedureRecord& r, int32_t k, int32_t nIn, int32_t nOut,
                       int32_t slot) {
  bool unchanged = true;
  TParamNodeRecord* inputs = nullptr;
  if (!BuildInputList(s, slot + 1, slot + nIn, inputs)) {
    s.Height = slot;
    return;
  }
  const TParamNodeRecord* cached = r.LastInputs;
  for (const TParamNodeRecord* n = inputs; n != nullptr; n = n->Next) {
    if (cached == nullptr || cached->Value != n->Value) unchanged = false;
    if (cached != nullptr) cached = cached->Next;
  }
  if (cached != nullptr) unchanged = false;  // the cache held more inputs
  s.Height = slot;
  DisposeNodeList(r.LastInputs);

  const int32_t t = StackInteger(s.Values[slot]);
  if (t != r.LastTextIndex) unchanged = false;
  const std::string operand = OperandText(t);
  std::string text = operand;

  TParamNodeRecord* outputs = nullptr;
  if (unchanged && r.LastOutputs != nullptr) {
    outputs = r.LastOutputs;
    r.LastOutputs = nullptr;
    text.clear();
  } else {
    DisposeNodeList(r.LastOutputs);
    TParamNodeRecord** tail = &outputs;
    for (int32_t i = 0; i < nOut; ++i) {
      TParamNodeRecord* node = NewParamNode(kPresetOutput);
      if (node == nullptr) {
        DisposeNodeList(outputs);
        DisposeNodeList(inputs);
        return;
      }
      *tail = node;
      tail = &node->Next;
    }
    TextBuffer buffer(text);
    {
      LibraryDirectoryScope scope(r.Directory);
      try {
        if (UpperCaseText(r.Name) == "JANAF") {
          CallJanaf(buffer.Bytes, VOQ_MODE_EVALUATE, inputs, outputs);
        } else if (r.Entry != nullptr) {
          r.Entry(buffer.Bytes, VOQ_MODE_EVALUATE, reinterpret_cast<const VoqParamNode*>(inputs),
                  reinterpret_cast<VoqParamNode*>(outputs));
        } else {
          throw 0;
        }
      } catch (...) {
        DisposeNodeList(inputs);
        DisposeNodeList(outputs);
        r.LastTextIndex = -1;
        SetRoutineFailure(r.Name, false);
        s.Values[slot] = ErrorResultValue;
        return;
      }
    }
    text = buffer.Text();
    r.LastTextIndex = t;
    if (t > 0 && text == operand) text.clear();
    s.Values[slot] = 1.0L;
  }
  if (!text.empty()) {
    // Nothing of this call is kept: the next call runs the routine again.
    DisposeNodeList(inputs);
    DisposeNodeList(outputs);
    r.LastTextIndex = -1;
    SetRoutineMessage(text);
    s.Values[slot] = 1.0L;
    return;
  }
  r.LastInputs = inputs;
  const TParamNodeRecord* out = outputs;
  for (int32_t i = 1; i < k && out != nullptr; ++i) out = out->Next;
  if (k >= 1 && out != nullptr) s.Values[slot] = static_cast<Extended>(out->Value);
  r.LastOutputs = outputs;
  r.LastTextIndex = t;
}

// An array-style procedure call; the result slot is slot.
void CallArrayProcedure(TEvaluationState& s, TExternalProcedureRecord& r, int32_t k, int32_t nIn, int32_t nOut,
                        int32_t slot) {
  bool unchanged = true;
  int32_t mode = 0;
  // Room for at least 20 values each, and for every value of the call.
  const size_t inSize = static_cast<size_t>(std::max(nIn + 1, VOQ_FDL_MIN_VALUES));
  const size_t outSize = static_cast<size_t>(std::max(nOut, VOQ_FDL_MIN_VALUES));
  std::vector<double> inputs(inSize, 0.0);
  std::vector<double> outputs(outSize, 0.0);
  if (r.FdlInputCache.size() < inSize) r.FdlInputCache.resize(inSize, HUGE_VAL);
  if (r.FdlOutputCache.size() < outSize) r.FdlOutputCache.resize(outSize, HUGE_VAL);
  for (int32_t i = 0; i < nIn; ++i) {
    inputs[static_cast<size_t>(i)] = ExternalInputValue(s.Values[slot + 1 + i]);
    if (inputs[static_cast<size_t>(i)] != r.FdlInputCache[static_cast<size_t>(i)]) unchanged = false;
    r.FdlInputCache[static_cast<size_t>(i)] = inputs[static_cast<size_t>(i)];
  }
  s.Height = slot;
  const int32_t t = StackInteger(s.Values[slot]);
  const std::string operand = t != 0 ? OperandText(t) : std::string();
  TextBuffer buffer(operand);
  if (t != r.LastTextIndex) unchanged = false;

  if (unchanged) {
    std::copy(r.FdlOutputCache.begin(), r.FdlOutputCache.begin() + static_cast<std::ptrdiff_t>(outSize),
              outputs.begin());
  } else {
    std::fill(outputs.begin(), outputs.end(), kPresetOutput);
    int32_t inCount = nIn;
    int32_t outCount = nOut;
    const int32_t length = static_cast<int32_t>(std::strlen(buffer.Bytes));
    try {
      if (UpperCaseText(r.Name) == "VOQREFP6") {
        CallVoqRefp6(buffer.Bytes, length, mode, inCount, inputs.data(), outCount, outputs.data());
      } else if (r.FdlEntry != nullptr) {
        r.FdlEntry(buffer.Bytes, length, &mode, &inCount, inputs.data(), &outCount, outputs.data());
      } else {
        throw 0;
      }
    } catch (...) {
      SetMessageArg(1, r.Name);
      ShowAlert(GetMessageText(kMsgAccessError), kAlertErrorOk, true);
      // The next call must reach the routine again.
      std::fill(r.FdlInputCache.begin(), r.FdlInputCache.end(), HUGE_VAL);
      return;
    }
    r.LastTextIndex = t;
    if (mode != 0) {
      std::string text = buffer.Text();
      if (t != 0 && text == operand) text.clear();
      if (!text.empty()) {
        SetRoutineMessage(text);
      } else {
        SetMessageArg(1, std::to_string(mode));
        SetMessageArg(2, r.Name);
        CalcErrorCode = kMsgExternalRoutineError;
      }
      std::copy(outputs.begin(), outputs.end(), r.FdlOutputCache.begin());
      std::fill(r.FdlInputCache.begin(), r.FdlInputCache.end(), HUGE_VAL);
    } else {
      std::copy(outputs.begin(), outputs.end(), r.FdlOutputCache.begin());
    }
  }
  if (k >= 1 && k <= static_cast<int32_t>(outSize)) s.Values[slot] = static_cast<Extended>(outputs[static_cast<size_t>(k - 1)]);
}

// Opcode 254. Stack, deepest first: the text operand (its slot takes the
// result), the inputs, nIn + 1, nOut, the procedure's number, the output
// selector k.
bool ExternalProcedureOpcode(TEvaluationState& s, int32_t /*opcode*/) {
  if (s.Height < 4) return StopMalformed();
  const int32_t k = StackInteger(s.Values[s.Height]);
  const int32_t p = StackInteger(s.Values[s.Height - 1]);
  const int32_t nOut = StackInteger(s.Values[s.Height - 2]);
  const int32_t nIn = StackInteger(s.Values[s.Height - 3]) - 1;
  if (nIn < 0 || nOut < 0 || s.Height < nIn + 5) return StopMalformed();
  s.Height -= 4;
  const int32_t slot = s.Height - nIn;
  TExternalProcedureRecord* r = FindExternalProcedure(p);
  if (r == nullptr) {
    s.Height = slot;
    s.Values[slot] = ErrorResultValue;
    SetCalcError(kMsgExternalProcedureNotFound, "");
    return false;
  }
  if (!r->IsFdl) {
    CallListProcedure(s, *r, k, nIn, nOut, slot);
  } else {
    CallArrayProcedure(s, *r, k, nIn, nOut, slot);
  }
  s.Height = slot;
  return true;
}

}  // namespace

double ExternalInputValue(Extended x) {
  if (std::isnan(x) || x > static_cast<Extended>(DBL_MAX) || x < -static_cast<Extended>(DBL_MAX)) {
    return kUnfitInput;
  }
  return static_cast<double>(x);
}

void InstallExternalCallOpcodes() {
  SetOpcodeHandler(OpExternalFunction, ExternalFunctionOpcode);
  SetOpcodeHandler(OpExternalProcedure, ExternalProcedureOpcode);
}

}  // namespace voq
