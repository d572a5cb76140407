#pragma once
// Starting the engine and putting it back to its start state.
//
// Every front end (the application, voq-solve, the tests, the benchmarks)
// starts the engine through StartEngine with a complete host record; each
// subsystem then installs what it offers the others (the function catalogue,
// the numeric opcodes, the model's readers for the core). ResetEngineState
// frees every program unit and returns every engine global, the opcode table
// and the host's services to what StartEngine left, so one process can
// compile and solve any number of times without one run leaking into the
// next.
#include <string>

#include "platform/host.h"

namespace voq {

// Installs host and every subsystem's services, then resets the engine
// state. False, with the missing service's name in missing, when the record
// is incomplete; nothing is installed then.
bool StartEngine(const THost& host, std::string* missing = nullptr);
// Whether StartEngine has succeeded in this process.
bool EngineStarted();
// Every engine global back to its start value, the store emptied (library
// units too), the opcode table and the host's services as StartEngine
// installed them.
void ResetEngineState();

// The engine halves above this layer (plots, and later documents, the
// diagram, output) keep globals of their own that no layer here may name.
// Each offers its reset through this hook, and the front end that links
// that half registers it once, before StartEngine; ResetEngineState then
// runs the registered resets, in the order registered, after its own. A
// reset registered twice runs once. Registrations last for the process.
using EngineResetHook = void (*)();
void RegisterEngineReset(EngineResetHook reset);

}  // namespace voq
