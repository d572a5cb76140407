#pragma once
// $REFERENCE fluid state: the reference state of enthalpy and entropy of a
// high-accuracy fluid (DFT, NBP, ASH or IIR), kept in the fluid's catalogue
// row and in ReferenceStateList across reads of the equations.
#include <string>

namespace voq {

// The directive's upper-cased text. Errors 673 (no fluid and state), 29
// (unknown fluid), 671 (the fluid's reference state is fixed) and 672
// (unknown state word). A listed fluid that gets another state asks for a
// second read (RecompileRequested): statements read before the directive
// used the old state.
void SetReferenceStateDirective(const std::string& upperDirective);

// Around the reads of one compile: every listed state marked unused before
// the first read; at the start of each read every catalogue row back to the
// default state; after the last read the states no directive named dropped.
void MarkReferenceStatesUnused();
void ResetCatalogReferenceStates();
void DeleteUnusedReferenceStates();

}  // namespace voq
