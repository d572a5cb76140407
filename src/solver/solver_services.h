#pragma once
// The solver's part of the engine start-up and reset.
namespace voq {

// The evaluator's opcode table: the built-in numeric functions, the calls
// of user routines with their ERROR/WARNING calls and IF comparisons.
void InstallSolverServices();
// Every global of the solver (evaluator, blocking, factorisation, Newton
// and one-unknown state, the seams later subsystems fill) back to its start
// value; the opcode table emptied.
void ResetSolverState();

}  // namespace voq
