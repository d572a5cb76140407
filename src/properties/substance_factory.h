#pragma once
// The substance factory: the model object for a substance code (a row of
// SubstanceCatalog), and the swap of an equation's object when a string
// variable names another substance at run time.
#include <cstdint>

#include "model/substance_base.h"

namespace voq {

struct TEquationRecord;

// Constructs the object for code 0..SubstanceCount and sets its
// SubstanceCode, HelpContext and Next. Errors of the constructor stay in
// CalcErrorCode. Substances whose models are not built yet (moist air,
// Martin-Hou and high-accuracy fluids) get an object that passes the
// compiler's trial call and reports error 215 at every evaluation.
void CreatePropertyObject(int32_t code, TSubstanceBase*& object);
TSubstanceBase* CreatePropertyObject(int32_t code);

// The evaluator's swap: the substance named by string constant nameIndex
// replaces object in the equation's chain, keeping the call's argument
// kinds. Errors 29 (no such substance) and 353 (object not in the chain);
// on error object and chain stay as they were.
void ReplacePropertyObject(int32_t nameIndex, TEquationRecord* equation, TSubstanceBase*& object);

// The most recently constructed object of each model kind.
extern TSubstanceBase* LastIdealGasObject;
extern TSubstanceBase* LastPlaceholderObject;

}  // namespace voq
