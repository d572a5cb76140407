#pragma once
// Returning the document to a new, empty one: start-up, File/New, before a
// document file is read, and File/Exit (which sets ShuttingDown first, so
// that library units go too). The windows that show the document's results
// are the host's DocumentWindows.
#include "platform/host.h"  // DocumentWindows

#include <cstdint>

namespace voq {

// The Variable Information dialog's client height and width at its last
// OK, applied when it opens; -1, -1 (its own size) for a new document.
struct TVarInfoDialogSize {
  int32_t Height = -1;
  int32_t Width = -1;
};
extern TVarInfoDialogSize VarInfoDialogSize;

// The document becomes new and empty.
void ResetDocument();

// What a layer above this one frees of a document (the plot list, the
// sections kept for windows not built yet), whatever the host: the host's
// DocumentWindows only close and reset windows. Each hook runs once per
// document reset, in the order registered, where the windows' plots are
// disposed; not while a library file is loaded, which keeps the document.
// A layer registers its hook from its install call; registering a hook
// twice keeps one.
using DocumentDisposalHook = void (*)();
void RegisterDocumentDisposal(DocumentDisposalHook dispose);
// Frees the loaded lookup files that are not marked to keep; with
// dropEquations the equations that read lookup files are compiled afresh at
// the next read.
void DisposeLookupFiles(bool dropEquations);
// The freeing of the loaded lookup files a document reset drops; the table
// subsystem installs it (nullptr: none).
void SetLookupFileDisposal(DocumentDisposalHook dispose);

}  // namespace voq
