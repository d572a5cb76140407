#pragma once
// The one assembly of the engine. Every front end (voq-solve, the desktop
// program), every test binary and the benchmarks start the engine here, so
// they all run the same layers: the session layer's `StartEngine` knows
// only the layers below it, and each layer above it joins the engine reset
// and start-up through its install call. Front ends differ only in the host
// record they pass (and the desktop program installs its own shell state
// first).
#include <string>

namespace voq {

struct THost;

// Registers every engine layer above the session layer with the engine
// reset and start-up: output, tables, plots, documents and the user-library
// loaders of $INCLUDE. Calling it again changes nothing. It loads no user
// library: scanning USERLIB is the front end's choice (`ReadExternals`).
void InstallEngineLayers();

// InstallEngineLayers, then `StartEngine` with the host. False when the host
// lacks a service (its name in *missing) or start-up stopped after its
// message (*missing empty).
bool AssembleEngine(const THost& host, std::string* missing);

}  // namespace voq
