#include "model/substance_base.h"

#include "core/calc_state.h"
#include "core/message_ids.h"

namespace voq {

namespace {
Extended NotAvailable(const char* what) {
  SetCalcError(kMsgSubstanceDataUnavailable, what);
  return ErrorResultValue;
}
}  // namespace

Extended TSubstanceBase::SurfaceTension(TPropertyArgumentRecord&) { return NotAvailable("Surface tension"); }
Extended TSubstanceBase::VolExpCoef(TPropertyArgumentRecord&) { return NotAvailable("VolExpCoef"); }
Extended TSubstanceBase::Fugacity(TPropertyArgumentRecord&) { return NotAvailable("Fugacity"); }

void TSubstanceBase::PlotLines(int32_t, TPlotLinesRequest& request) { request.IsolineValues.fill(0); }

void InitSubstanceBase(TSubstanceBase& object) {
  object.ServedOpcode = 0;
  object.SubstanceCode = 0;
  object.HelpContext = 0;
  object.NameStringIndex = 0;
  object.SuppressWarnings = 0;
  object.ArgCount = 0;
  object.ArgKind.fill(0);
  object.Next = nullptr;
}

}  // namespace voq
