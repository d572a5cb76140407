#pragma once
// What the language core needs of other subsystems, behind small interfaces:
// the built-in function catalogue, the built-in constants of the units
// subsystem. Each has a settable
// instance; until one is installed the default answers "nothing known" (no
// function, no constant) or does nothing. Warnings go straight to the one
// list of solver/warnings_window.h, which the warnings window shows.
#include <cstdint>
#include <string>

#include "core/extended.h"

namespace voq {

// The facts the compiler needs of one catalogue name.
struct TFunctionCatalogEntry {
  std::string Name;            // spelling as listed
  std::string UpperName;
  int32_t ArgumentCount = 0;   // 0 for names used without arguments, -2 for SUM/PRODUCT
  int32_t HelpContext = 0;
  uint8_t Opcode = 0;
  int32_t SubCode = 0;
  Extended ConstantValue = 0;  // PI only
};

class FunctionCatalog {
 public:
  virtual ~FunctionCatalog() = default;
  // The entry for an upper-case name, or null.
  virtual const TFunctionCatalogEntry* FindBuiltinFunction(const std::string& upperName) const = 0;
};
const FunctionCatalog& BuiltinFunctions();
// Installs a catalogue (not owned); nullptr restores the empty default.
void SetBuiltinFunctions(const FunctionCatalog* catalog);

class ConstantsCatalog {
 public:
  virtual ~ConstantsCatalog() = default;
  // 0-based position of the built-in constant with this upper-case name
  // (ending in "#"), or -1.
  virtual int32_t FindConstant(const std::string& upperName) const = 0;
  // Units text of constant j in the document's current unit system.
  virtual std::string ConstantUnits(int32_t j) const = 0;
};
const ConstantsCatalog& BuiltinConstants();
void SetBuiltinConstants(const ConstantsCatalog* catalog);


// The language's part of the engine start-up: the built-in function
// catalogue.
void InstallLanguageServices();
// Every global of the reader, the statement compiler and the catalogues
// back to its start value; the seams later subsystems fill emptied.
void ResetLanguageState();

}  // namespace voq
