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

// The one start of the program, for every front end:
//
//   THost host = ...;            // every service filled (MissingHostService)
//   InstallPlots(); InstallTables(); InstallDocuments();   // the layers linked
//   if (!StartEngine(host, &missing)) exit: missing names the lacking
//                                   // service, or is empty when start-up
//                                   // stopped after showing its message
//
// StartEngine installs host, keeps ProgramDirectory as the front end set it
// (empty: the "data" folder beside the program) for every later reset, and
// runs InitializeProgram. False, with the missing service's name in
// missing, when the record is incomplete (nothing is installed then); false
// with missing empty when a start-up reader stopped the program (a missing
// "VOQ.DFT": message 560 has been shown). The application's host gives the
// font factory of its screen and the decimal separator of the user's
// regional settings; QuietHostWindows gives fixed metrics and '.'.
bool StartEngine(const THost& host, std::string* missing = nullptr);

// The program's start, once, before any document is read:
//   1. ResetEngineState: every subsystem's start state, among them the
//      scanner's character sets, the main program unit and its name hash,
//      the function and fluid catalogues, the emptied substance tables and
//      lists of the reader, compiler and lookup files, the units and
//      constants files read (from ProgramDirectory, else the "data" folder
//      beside the program), the display fonts, the curve-fit settings.
//   2. The host's system decimal separator (ApplySystemDecimalSeparator:
//      a separator other than '.' or ',' shows message 396 once and ','
//      is used); ApplyStoredDefaults is set; InitMainProgramUnit.
//   3. The start-up readers registered by the layers above, in order (the
//      documents layer: "VOQ.DFT", then "VOQ_DFLT.DVI"); the first that
//      fails stops the start and gives false.
// Neither file of step 1 depends on the settings step 3 reads: the
// constants keep both unit systems' values.
bool InitializeProgram();
// Whether StartEngine has installed a host in this process.
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

// The start-up readers of the layers above (the defaults file). Each gives
// false when the program cannot go on; it has told the user why. Registered
// once, before StartEngine; a reader registered twice runs once. The engine
// reset does not run them: a reset returns to the built-in start values.
using EngineStartupHook = bool (*)();
void RegisterEngineStartup(EngineStartupHook reader);

}  // namespace voq
