#pragma once
// The Integral table: the $IntegralTable directive interpreted after a read
// (the slot of the named integration variable takes the output increment
// and the listed variables, and the window gets one column per variable),
// and the window as the integral stepping writes and INTEGRALVALUE reads it.
#include <string>

namespace voq {

struct TIntegralRecord;

// Interprets IntegralTableDirective; the result is left in CalcErrorCode
// (positive: stop), the chosen slot and the Integral table window. An
// increment or variable that cannot be used shows its alert and makes no
// table.
void SetUpIntegralTable();
// Adds one variable (an array element's subscripts resolved) to the slot's
// table columns; 606 when it does not exist (Cancel stops with 58), 607 for
// an item holding an operator.
void AddIntegralTableColumn(const std::string& item, TIntegralRecord& slot);
// Every element of X[a..b], X[a..b,c..d] or X[a..b,c..d,e..f].
void AddIntegralTableRange(const std::string& item, TIntegralRecord& slot);
// Message 604 for the increment in MessageArgs[1]; anything but OK stops.
void RejectIntegralTableStep();

// Installs the window behind the stepping's IntegralTableWindow and the
// set-up behind the compile driver.
void InstallIntegralTable();

}  // namespace voq
