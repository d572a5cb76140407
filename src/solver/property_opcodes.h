#pragma once
// The property-function opcodes 209..223: the bridge between the value
// stack and the operations of the substance objects chained to the equation.
namespace voq {

// Registers the handlers of opcodes 209..223 with the evaluator, and the
// property unit labels with the units inference.
void InstallPropertyOpcodes();

}  // namespace voq
