#include "documents/documents_state.h"

#include "documents/defaults_file.h"
#include "documents/document_files.h"
#include "documents/document_text.h"
#include "documents/table_plot_links.h"

#include "session/document_reset.h"
#include "session/engine.h"

namespace voq {

std::vector<std::vector<uint8_t>> WindowLayoutEntries;
int16_t WindowLayoutActive = 1;
std::vector<uint8_t> DiagramEntrySection;
std::vector<uint8_t> DiagramObjectSection;
std::vector<std::string> CustomColors;
bool PrinterLandscape = false;

void ClearDocumentCarriedState() {
  WindowLayoutEntries.clear();
  WindowLayoutActive = 1;
  DiagramEntrySection.clear();
  DiagramObjectSection.clear();
}

void ResetDocumentsState() {
  ClearDocumentCarriedState();
  CustomColors.clear();
  PrinterLandscape = false;
  ResetDocumentFilesState();
  InstallDocumentTextHooks();
}

// A document reset (File > New included) forgets the diagram and the window
// layout the document brought, so the next one is written with the reset
// diagram and the default layout.
void InstallDocuments() {
  RegisterEngineReset(&ResetDocumentsState);
  RegisterDocumentDisposal(&ClearDocumentCarriedState);
  InstallStartupDefaults();
  InstallTablePlotLinks();
}

}  // namespace voq
