#pragma once
// voq-solve --time-limit: the whole run, compile and solve, within a number
// of seconds. The solver's own clock (the stop criteria's maximum elapsed
// time) ends its iterations; every other loop of the engine (routine bodies,
// DUPLICATE expansion, table runs) polls the keyboard for Esc, and once the
// time is up the console answers that poll with an abort request. A loop
// that polls nothing ends with the program: a watchdog a little after the
// limit.

namespace voq {

// Starts the clock; seconds <= 0 leaves the run without a limit.
void StartTimeLimit(int seconds);
int TimeLimitSeconds();
// True once the limit has passed (and from then on): the abort poll's answer.
bool TimeLimitPassed();
// Whether an abort request came from the limit rather than from Ctrl+C.
bool TimeLimitReached();
// Error 50 on stderr, as voq-solve reports errors.
void ReportTimeLimit();
// The run is over (its output is about to be printed): no watchdog.
void StopTimeLimitWatchdog();

}  // namespace voq
