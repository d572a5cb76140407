#pragma once
// Directives: statements beginning with "$" that change a setting of the
// document or the program, name data to read before or write after the
// calculation, or mark a routine private. ProcessDirective is offered every
// statement before anything else reads it; a directive it recognises is
// carried out and not compiled. $INCLUDE is read by the reader itself and
// $COMMON by the routine and module readers.
#include <cstdint>
#include <string>

namespace voq {

// Recognises and carries out one directive; handled tells whether the
// statement was one. Errors are left in CalcErrorCode and end the read like
// any statement error; $TABWIDTH's syntax alert and $COMPLEX's change alert
// are shown at once (the change alert ends the read through AbortRequested).
void ProcessDirective(std::string& statement, bool& handled);

// $TABWIDTH number unit: the Equations window's tab width from a length in
// centimetres ("CM") or inches ("IN").
void SetTabWidth(const std::string& directive);

// $IMPORT source name name ...: the text after the keyword. The source is
// CLIPBOARD, a quoted file name or a string variable holding one; each name
// (or range X[a..b]) takes the next value of the source.
void ImportDirective(const std::string& text);
// Ends the open $IMPORT source (its file closed).
void CloseImportSource();
// Reads the next value of the open import source into the variable.
void ImportValue(const std::string& name);
// ImportValue for every element of X[a..b] (up to three dimensions).
void ImportRange(const std::string& name);

// 1-based position of the first ArgumentSeparator outside square brackets,
// 0 when none.
int32_t NextListItem(const std::string& text);

// What the directives need of the readers that later parts of the language
// add. The window half is the host's (DirectiveWindows in platform/host.h).
// The defaults: no routine store, and $REFERENCE, $SAVELOOKUP and
// $OPENLOOKUP refused as not available.
class DirectiveServices {
 public:
  virtual ~DirectiveServices() = default;
  // $PRIVATE inside the body of the routine in this FunctionTable slot.
  virtual void MarkRoutinePrivate(int32_t /*routineSlot*/) {}
  // The directives of fluid reference states and lookup files.
  virtual void SetReferenceState(const std::string& directive);
  virtual void SaveLookupDirective(const std::string& directive);
  virtual void OpenLookupDirective(const std::string& directive);
};
DirectiveServices& Directives();
// Installs services (not owned); nullptr restores the defaults.
void SetDirectiveServices(DirectiveServices* services);

}  // namespace voq
