#include "output/debug_listing.h"
#include "output/equation_typesetter.h"
#include "output/formatted_offsets.h"
#include "output/function_layouts.h"
#include "output/palette.h"
#include "output/print_engine.h"
#include "output/residual_listing.h"
#include "output/solution_listing.h"
#include "session/document_reset.h"
#include "session/engine.h"

namespace voq {

void InstallOutput() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  RegisterEngineReset(ResetOutputState);
  RegisterEngineReset(ResetOutputPrintState);
  RegisterEngineReset(ResetSolutionState);
  RegisterEngineReset(ResetResidualState);
  RegisterEngineReset(ResetDebugState);
  RegisterEngineReset(ResetFormattedEquationState);
  RegisterEngineReset(ResetFormattedOffsets);
  // Moved statements belong to the document.
  RegisterDocumentDisposal(ResetFormattedOffsets);
  InstallFunctionLayouts();
}

}  // namespace voq
