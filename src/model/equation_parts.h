#pragma once
// Records that hang on an equation record and are freed with it: argument
// lists of calls, SUM/PRODUCT series records, the DUPLICATE description, the
// IF branch pair of a routine body and the base of the substance objects.
// The compilers of calls, series, DUPLICATE and IF fill them; the store
// (program_units.h) owns their disposal.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/substance_base.h"

namespace voq {

struct TEquationRecord;

// A parameter list of a routine header or the argument list of one compiled call.
struct TArgumentListRecord {
  std::string Name;          // at most 30 characters
  int32_t Kind = 0;          // -1 header / external procedure, slot of a user routine, -3 external function, -20 unit
  int32_t InputCount = 0;
  int32_t OutputCount = 0;
  std::vector<int32_t> Codes;  // the argument codes, in order
  // Arguments so far; CodesPerArgument[1..ArgumentCount] counts the codes of
  // each (slots beyond 300 are not kept, the count goes on).
  int32_t ArgumentCount = 0;
  std::array<int16_t, 301> CodesPerArgument{};  // [1..300]
  TArgumentListRecord* Next = nullptr;
};

// One SUM or PRODUCT of a statement.
struct TSumRecord {
  std::string TermText;      // up to 255 characters
  std::string LowerText;     // up to 30
  std::string UpperText;     // up to 30
  std::string IndexName;     // lower-cased, up to 30
  TSumRecord* Next = nullptr;
};

// One loop of a DUPLICATE expansion.
struct TDuplicateDescriptionLoop {
  std::string IndexName;
  std::string FirstText;
  std::string LastText;
  uint8_t Substituted = 0;
  TDuplicateDescriptionLoop* Next = nullptr;
};

// The pair made by the DUPLICATE expansion: the trial-compiled statement
// before substitution (owned) and its loop records.
struct TDuplicateDescription {
  TEquationRecord* Equation = nullptr;
  TDuplicateDescriptionLoop* Loops = nullptr;
};

// THEN and ELSE statements of an IF in a routine body. The statements
// themselves belong to the body's chain; the pair only points at them.
struct TBranchPair {
  TEquationRecord* Then = nullptr;
  TEquationRecord* Else = nullptr;
};

}  // namespace voq
