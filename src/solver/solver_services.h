#pragma once
// The solver's part of the engine start-up and reset.
namespace voq {

// The evaluator's opcode table with the built-in numeric functions.
void InstallSolverServices();
// Every global of the solver (evaluator, blocking, factorisation, Newton
// and one-unknown state, the seams later subsystems fill) back to its start
// value; the opcode table emptied.
void ResetSolverState();

}  // namespace voq
