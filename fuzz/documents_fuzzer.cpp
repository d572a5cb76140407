// libFuzzer harness: any bytes as a ".VOQ" document (or its library form),
// through what opening one does: the reader fills a reset engine with what
// it can take, the writer writes that state again, and the equations read
// are compiled and solved.
//
// Findings beyond what the sanitizers catch:
// - a document the reader took whole must come back whole from its own
//   re-written image, with the same text, and writing that second reading
//   must give the same bytes again (what the writer writes, the reader
//   reads, without drift);
// - a solved value is a number (as in the equations harness).
//
// The seeds are documents written by the writer (make_document_seeds);
// each input begins from a reset engine, with few iterations and a short
// time for the solve, whatever stop criteria the document carries.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/extended.h"
#include "documents/document_image.h"
#include "documents/documents_state.h"
#include "language/equation_reader.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "plots/plots_state.h"
#include "session/compile_driver.h"
#include "session/engine.h"
#include "tables/tables_state.h"

#include "fuzz_host.h"

namespace {

using namespace voq;

// A document of a few hundred variables, tables and plots is tens of
// kilobytes; far larger inputs only slow every run down.
constexpr size_t kMaxInput = size_t(1) << 18;

[[noreturn]] void Finding(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

std::vector<uint8_t> Rewrite(const TDocumentReadResult& read) {
  return read.Library ? WriteLibraryImage(read.Text) : WriteDocumentImage(read.Text);
}

void CheckSolvedValues() {
  const TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return;
  for (int32_t k = 1; k <= main->UsedVariableCount; ++k) {
    const TVariableRecord* v = main->Variable(main->UsedVariableList[size_t(k)]);
    if (v == nullptr || v->IsString || v->DisplayCode == 0) continue;
    if (std::isnan(v->Value) || std::isinf(v->Value)) Finding("a solved value is not a number");
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
  const TDocumentReadResult first = ReadDocumentImage(data, size);
  if (!first.Read) {
    ResetEngineState();
    return 0;
  }
  TDocumentReadResult read = first;
  if (first.Recognised && first.FailedSection == 0) {
    // The round trip: what was read whole is written and read again.
    const std::vector<uint8_t> image = Rewrite(first);
    ResetEngineState();
    read = ReadDocumentImage(image.data(), image.size());
    if (!read.Read || read.FailedSection != 0) Finding("the writer's image of a document read whole fails to read");
    if (read.Text != first.Text) Finding("the re-written document's text differs");
    if (Rewrite(read) != image) Finding("writing a re-read document changes its bytes");
  } else {
    // What a failed section left still has to be writable.
    Rewrite(first);
  }
  // The equations, solved from the state the document left.
  fuzz::LimitNextSolve();
  Equations().SetText(NormalizeLineBreaks(read.Text));
  CompileEquations(false, false);
  if (CalcErrorCode <= 0 && SolutionAvailable) CheckSolvedValues();
  ResetEngineState();
  return 0;
}
