#include "properties/martin_hou_solver.h"

#include <cmath>
#include <utility>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/program_flags.h"
#include "model/warnings_window.h"
#include "properties/martin_hou_data.h"
#include "properties/martin_hou_eos.h"
#include "properties/martin_hou_pairs.h"
#include "properties/martin_hou_solver_iteration.h"

namespace voq {

std::array<Extended, 11> PropertyStateVector{};
int32_t MartinHouLastFluid = 0;
int64_t MartinHouPairSolveCount = 0;

namespace {

void KeepEnglishUnits(int32_t, Extended&, Extended) {}
int32_t NoHelpContext(int32_t) { return 0; }

constexpr TMartinHouSolverServices kDefaultServices{KeepEnglishUnits, KeepEnglishUnits, NoHelpContext};

enum Kind : int32_t { kT = 1, kP = 2, kH = 3, kU = 4, kS = 5, kV = 6, kX = 7 };

constexpr int32_t kHelpPropertyArguments = 129;

void Dispatch(int32_t kind1, int32_t kind2, TMartinHouSolveInputs& in) {
  ++MartinHouPairSolveCount;
  const bool known = kind1 >= kT && kind2 <= kX;
  switch (known ? kind1 * 10 + kind2 : 0) {
    case kT * 10 + kP:
      if (in.IsBlend) {
        MartinHouSolveTPBlend(in);
      } else {
        MartinHouSolveTP(in);
      }
      break;
    case kT * 10 + kH: MartinHouSolveTH(in); break;
    case kT * 10 + kU: MartinHouSolveTU(in); break;
    case kT * 10 + kS: MartinHouSolveTS(in); break;
    case kT * 10 + kV: MartinHouSolveTV(in); break;
    case kT * 10 + kX: MartinHouSolveTX(in); break;
    case kP * 10 + kH:
      if (in.IsBlend) {
        MartinHouSolvePHBlend(in);
      } else {
        MartinHouSolvePH(in);
      }
      break;
    case kP * 10 + kU: MartinHouSolvePU(in); break;
    case kP * 10 + kS: MartinHouSolvePS(in); break;
    case kP * 10 + kV: MartinHouSolvePV(in); break;
    case kP * 10 + kX: MartinHouSolvePX(in); break;
    case kH * 10 + kU: CalcErrorCode = kMsgCorrelationUnavailable; break;
    case kH * 10 + kS: MartinHouSolveHS(in, false); break;
    case kH * 10 + kV: MartinHouSolveHV(in, false); break;
    case kH * 10 + kX: MartinHouSolveHX(in); break;
    case kU * 10 + kS: MartinHouSolveHS(in, true); break;
    case kU * 10 + kV: MartinHouSolveHV(in, true); break;
    case kU * 10 + kX: MartinHouSolveUX(in); break;
    case kS * 10 + kV: MartinHouSolveSV(in); break;
    case kS * 10 + kX: MartinHouSolveSX(in); break;
    case kV * 10 + kX: MartinHouSolveVX(in); break;
    // Kinds the Martin-Hou fluids do not have (the humid-air indicators):
    // nothing is computed, and saying so keeps an old state from being
    // published as the answer.
    default: CalcErrorCode = kMsgCorrelationUnavailable; break;
  }
}

// Transport calls pass T and P in English units: the vapour volume and the
// saturation pressure are all they need.
void TransportState(Extended T, Extended P) {
  MartinHouState.P = P;
  const Extended v = MartinHouVaporVolume(P, T);
  // The same rule as for a solved state: a vapour or supercritical volume
  // that is no root of the equation of state gives no transport property.
  const bool compressedLiquid = T < MartinHouCurrentFluid[kMhTc] && P - MartinHouSatPressure(T) > 1e-5L;
  if (CalcErrorCode == 0 && !compressedLiquid && !MartinHouVolumeIsRoot(P, T, v))
    CalcErrorCode = kMsgPropertyNoConvergence;
  PropertyStateVector.fill(BlankValue);
  PropertyStateVector[6] = v;
  PropertyStateVector[8] = T < MartinHouCurrentFluid[kMhTc] ? MartinHouSatPressure(T) : 9.99e99L;
}

void WarnPressureRange(Extended pressureLimit) {
  DefaultDisplayFormat = TDisplayFormat{kStyleAutomatic, 4};
  SetMessageArg(1, "0 to " + FormatValue(DefaultDisplayFormat, pressureLimit) + " [psia]");
  MessageText = GetMessageText(kMsgPressureRange);
  AddWarning(MessageText);
}

}  // namespace

TMartinHouSolverServices MartinHouSolverServices = kDefaultServices;

void InstallMartinHouSolverServices(const TMartinHouSolverServices& services) {
  MartinHouSolverServices = services;
  if (MartinHouSolverServices.ConvertArgument == nullptr) MartinHouSolverServices.ConvertArgument = KeepEnglishUnits;
  if (MartinHouSolverServices.ConvertResult == nullptr) MartinHouSolverServices.ConvertResult = KeepEnglishUnits;
  if (MartinHouSolverServices.SubstanceHelpContext == nullptr)
    MartinHouSolverServices.SubstanceHelpContext = NoHelpContext;
}

void ResetMartinHouSolverServices() { MartinHouSolverServices = kDefaultServices; }

void ResetMartinHouSolverState() {
  PropertyStateVector.fill(0);
  MartinHouLastFluid = 0;
  MartinHouPairSolveCount = 0;
}

void SolveMartinHouState(int32_t SubstanceIndex, bool TrialCall, bool IsBlend, Extended MolarMass,
                         Extended PressureLimit, int32_t ArgCount, int32_t OutputKind, int32_t Kind1, int32_t Kind2,
                         Extended Value1, Extended Value2) {
  if (ArgCount != 2) {
    CalcErrorCode = Kind1 == 0 ? kMsgPropertyIndicator : kMsgPropertyNeedsTwoVariables;
    MessageHelpContext = kHelpPropertyArguments;
    return;
  }
  if (Kind1 == Kind2) {
    CalcErrorCode = kMsgIdenticalIndependentVariables;
    return;
  }
  if (OutputKind == Kind1 || OutputKind == Kind2) {
    CalcErrorCode = kMsgIndependentIsDependent;
    MessageHelpContext = kHelpPropertyArguments;
    return;
  }
  if (TrialCall) return;
  if (Kind2 < Kind1) {
    std::swap(Kind1, Kind2);
    std::swap(Value1, Value2);
  }
  if (OutputKind >= 9) {
    TransportState(Value1, Value2);
    MartinHouLastFluid = -99;
    return;
  }
  if (MartinHouLastFluid == MartinHouFluidNumber && Kind1 >= 1 && Kind2 <= 7 &&
      std::fabs(Value1 - PropertyStateVector[static_cast<size_t>(Kind1)]) < 1e-9L &&
      std::fabs(Value2 - PropertyStateVector[static_cast<size_t>(Kind2)]) < 1e-9L &&
      !(Kind1 == kT && Kind2 == kP) && !(PropertyStateVector[7] < 0)) {
    return;
  }
  TMartinHouSolveInputs in;
  in.SubstanceIndex = SubstanceIndex;
  // The blend flag follows the fluid's record, which the residuals read too:
  // an object whose own flag disagrees would have its solvers and
  // residuals work on different saturation lines.
  in.IsBlend = MartinHouRecordIsBlend();
  (void)IsBlend;
  in.First = Value1;
  in.Second = Value2;
  MartinHouSolverServices.ConvertArgument(Kind1, in.First, MolarMass);
  if (CalcErrorCode > 0) return;
  MartinHouSolverServices.ConvertArgument(Kind2, in.Second, MolarMass);
  if (CalcErrorCode > 0) return;
  Dispatch(Kind1, Kind2, in);
  if (CalcErrorCode > 0) return;
  TMartinHouState& st = MartinHouState;
  // An iteration that ran off into overflow is no answer.
  for (Extended value : {st.T, st.P, st.h, st.u, st.s, st.v, st.x}) {
    if (!std::isfinite(value)) {
      CalcErrorCode = kMsgPropertyNoConvergence;
      return;
    }
  }
  // A vapour or supercritical state rests on a volume root of the equation
  // of state. Near Tc the volume solve can end on its corresponding-states
  // guess, which the searches walk through on their way, or on a dense root
  // beyond a spurious loop of the isotherm: a state found there is no state
  // of the fluid, and its energies and specific heats are far off (Ammonia_mh
  // at 417 K and 22.7 MPa had cp 123 kJ/kg-K for 6.9), so it is an error.
  if (st.x == 100 && !MartinHouVolumeIsRoot(st.P, st.T, st.v)) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return;
  }
  MartinHouSolverServices.ConvertResult(kT, st.T, MolarMass);
  if (PressureLimit > 0 && st.P > PressureLimit && ShowWarningMessages) WarnPressureRange(PressureLimit);
  MartinHouSolverServices.ConvertResult(kP, st.P, MolarMass);
  MartinHouSolverServices.ConvertResult(kH, st.h, MolarMass);
  MartinHouSolverServices.ConvertResult(kU, st.u, MolarMass);
  MartinHouSolverServices.ConvertResult(kS, st.s, MolarMass);
  MartinHouSolverServices.ConvertResult(kV, st.v, MolarMass);
  PropertyStateVector[1] = st.T;
  PropertyStateVector[2] = st.P;
  PropertyStateVector[3] = st.h;
  PropertyStateVector[4] = st.u;
  PropertyStateVector[5] = st.s;
  PropertyStateVector[6] = st.v;
  PropertyStateVector[7] = st.x;
  MartinHouLastFluid = MartinHouFluidNumber;
  if (st.x == -100) {
    SetMessageArg(1, MartinHouFluidName(MartinHouFluidNumber));
    MessageText = GetMessageText(kMsgSubcooledEstimate);
    AddWarning(MessageText);
    CalcErrorCode = 0;
  }
}

}  // namespace voq
