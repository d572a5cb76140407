#pragma once
// What the table subsystem offers the layers below it: the Parametric table
// as the compiler, TABLEVALUE and the repeated solves read it
// (ParametricTableAccess), the optimiser's and the uncertainty
// propagation's turn inside a table run (TableRunHooks), and the lookup of
// a measured variable's uncertainty column for the table's cells.
//
// The model layer's reset puts the "no table" access back, so these are
// installed again after every engine reset; InstallTables registers that.

namespace voq {

// Installs the table model's ParametricTableAccess, the table-run hooks
// (the integral members keep their defaults until the integral subsystem
// fills them here) and the uncertainty column lookup.
void InstallTableServices();

}  // namespace voq
