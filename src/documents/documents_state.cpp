#include "documents/documents_state.h"
#include "documents/defaults_file.h"
#include "documents/document_files.h"

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
}

void InstallDocuments() {
  RegisterEngineReset(&ResetDocumentsState);
  InstallStartupDefaults();
}

}  // namespace voq
