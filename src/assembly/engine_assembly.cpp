#include "assembly/engine_assembly.h"

#include "documents/documents_state.h"
#include "documents/user_libraries.h"
#include "output/palette.h"
#include "platform/host.h"
#include "plots/plots_state.h"
#include "session/engine.h"
#include "tables/tables_state.h"
#include "view3d/view3d_state.h"

namespace voq {

// The resets run in the order registered: the plots and tables are freed
// before the documents' carried state and the user libraries go, and the
// output's palette and print state, then the 3-D view's caches.
void InstallEngineLayers() {
  InstallPlots();
  InstallTables();
  InstallDocuments();
  InstallUserLibraries();
  InstallOutput();
  InstallView3d();
}

bool AssembleEngine(const THost& host, std::string* missing) {
  InstallEngineLayers();
  return StartEngine(host, missing);
}

}  // namespace voq
