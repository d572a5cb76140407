#pragma once
// The table model behind LookupTableAccess: the Lookup Table window's tabs
// and the lookup files of LookupFileList as the compiler, the evaluator and
// the unit check read them.
namespace voq {

// Installs the access; part of InstallTableServices.
void InstallLookupTableAccess();

}  // namespace voq
