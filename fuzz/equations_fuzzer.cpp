// libFuzzer harness: any bytes as the text of the Equations window, through
// the whole road voq-solve takes: read, compile, solve. User functions,
// modules, units and property calls are all reachable from the text; the
// seed corpus (examples/ and tests/cases/) starts the fuzzer off with them.
//
// Each input begins from a reset engine. The solver gets few iterations and
// the whole input a short time: the clock answers the abort poll (the Esc
// key) once the time is up, as voq-solve's --time-limit does, so a loop
// that never polls shows up as a libFuzzer timeout.
//
// Files: $EXPORT writes where the text says; every file this program opens
// for writing goes to /dev/null instead (null_writes.cpp), but for
// libFuzzer's own corpus units and findings.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/message_ids.h"
#include "language/equation_reader.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "session/compile_driver.h"
#include "session/engine.h"

#include "fuzz_host.h"

namespace {

using namespace voq;

// Longer texts add little but slow every run down.
constexpr size_t kMaxInput = 8192;

// True when a compiled statement of chain holds the constant x: the user
// wrote the marker's number (9.99E3998, 1E3999) in the text.
bool ChainHoldsConstant(const TEquationRecord* e, long double x) {
  for (int32_t n = 0; e != nullptr && n < 1000000; e = e->Next, ++n) {
    for (const Extended c : e->Constants)
      if (c == x || c == -x) return true;
  }
  return false;
}

bool TextWritesMarker(const std::string& text, long double x) {
  // StringVal and friends read numbers out of strings at run time.
  if (text.find("3998") != std::string::npos || text.find("3999") != std::string::npos) return true;
  for (const TProgramUnitRecord* unit : ProgramUnitList)
    if (unit != nullptr && ChainHoldsConstant(unit->FirstEquation, x)) return true;
  for (const TRoutineRecord* r : FunctionTable)
    if (r != nullptr && ChainHoldsConstant(r->FirstStatement, x)) return true;
  return false;
}

// What voq-solve would print as the solution: every value a number, never
// a NaN, an infinity, or the blank or infinity marker. voq-solve refuses to
// print such a value; reaching one here is a fault of the engine all the
// same (an evaluation that let a non-number through, a variable counted as
// solved that never got a value). A marker the text itself writes as a
// number is the user's own value. Checked only when the engine says it
// solved.
void CheckSolvedValues(const std::string& text) {
  const TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return;
  for (int32_t k = 1; k <= main->UsedVariableCount; ++k) {
    const TVariableRecord* v = main->Variable(main->UsedVariableList[size_t(k)]);
    if (v == nullptr || v->IsString || v->DisplayCode == 0 || IsShowableValue(v->Value)) continue;
    if (std::isnan(v->Value) || std::isinf(v->Value)) {
      std::fprintf(stderr, "solved value of %s is not a number\n", v->Name.c_str());
      std::abort();
    }
    if (!TextWritesMarker(text, v->Value)) {
      std::fprintf(stderr, "solved value of %s is the %s marker\n", v->Name.c_str(),
                   IsBlank(v->Value) ? "blank" : "infinity");
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartFuzzHost();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return -1;
  ResetEngineState();
  fuzz::LimitNextSolve();
  const std::string text(reinterpret_cast<const char*>(data), size);
  Equations().SetText(NormalizeLineBreaks(text));
  CompileEquations(false, false);
  if (CalcErrorCode <= 0 && SolutionAvailable) CheckSolvedValues(text);
  // Module and subprogram units live only in the unit list: released here,
  // so the leak check sees only what the engine really lost.
  ResetEngineState();
  return 0;
}
