#pragma once
// The water substances Steam, Water, Steam_NBS, R718 and Ice: one object
// type over the steam formulation (steam_nbs_core.h). Any two of T, P, h,
// u, s, v and x give the state; the last state is kept in SteamStateBlock
// so that the properties of one state cost one solution.
#include <array>
#include <cstdint>

#include "core/extended.h"
#include "model/substance_base.h"

namespace voq {

inline constexpr Extended kSteamMolarMass = 18.015268L;

// The last state in the document's units, entries 1..11: 1 T, 2 P, 3 h,
// 4 u, 5 s, 6 v, 7 x (a fraction, or -100/100 for one phase), 8 and 9
// unused, 10 validity (-1 after a successful solution; >= 0 empty), 11 the
// ice flag of the object that computed it. 999 everywhere after a failure.
extern std::array<Extended, 12> SteamStateBlock;
// After the compiled equations are cleared: entries 1..10 blank.
void EmptySteamStateBlock();
// A new document: entries 1..6 -999 and entry 10 zero.
void ResetSteamStateBlockForNewDocument();

// Validates the pair, reuses the block for a repeated state (never for
// (T, P)), solves and fills the block. Errors 28, 201, 202, 203 and those
// of the pair solvers stay in CalcErrorCode.
void SolveSteamState(bool probe, uint8_t iceFlag, int32_t argCount, Extended value1, Extended value2, int32_t kind1,
                     int32_t kind2, int32_t wanted);

class TSteamNBSSubstance : public TSubstanceBase {
 public:
  // 1 for the row Ice: at exactly 273.15 K with x given, the ice side.
  uint8_t IceFlag = 0;

  Extended isIdealGas() override { return 0; }
  Extended MolarMass() override { return kSteamMolarMass; }
  Extended T_crit() override;
  Extended P_crit() override;
  Extended v_crit() override;
  Extended Temperature(TPropertyArgumentRecord& a) override;
  Extended Pressure(TPropertyArgumentRecord& a) override;
  Extended Enthalpy(TPropertyArgumentRecord& a) override;
  Extended IntEnergy(TPropertyArgumentRecord& a) override;
  Extended Entropy(TPropertyArgumentRecord& a) override;
  Extended Volume(TPropertyArgumentRecord& a) override;
  Extended Quality(TPropertyArgumentRecord& a) override;
  Extended SpecHeat(TPropertyArgumentRecord& a) override;
  Extended Cv(TPropertyArgumentRecord& a) override;
  Extended Viscosity(TPropertyArgumentRecord& a) override;
  Extended Conductivity(TPropertyArgumentRecord& a) override;
  Extended Prandtl(TPropertyArgumentRecord& a) override;
  Extended SoundSpeed(TPropertyArgumentRecord& a) override;
  Extended SurfaceTension(TPropertyArgumentRecord& a) override;
  Extended VolExpCoef(TPropertyArgumentRecord& a) override;
  Extended Fugacity(TPropertyArgumentRecord& a) override;
  // Slot 25: the saturation dome, lines of quality and the two families of
  // lines of each diagram (steam_plot_lines.cpp).
  void PlotLines(int32_t plotKind, TPlotLinesRequest& request) override;
  // Slot 28: cv by a difference of u at constant v (or along the
  // saturation line for a saturated liquid), about the state in the block.
  Extended SteamCvByDifference(TPropertyArgumentRecord& a);

 private:
  // The state slots: solve for the call's arguments, return the entry.
  Extended StateSlot(TPropertyArgumentRecord& a, int32_t wanted);
  // A state slot called with kinds (T, kind2) and values (T, value2).
  Extended StateAt(Extended (TSteamNBSSubstance::*slot)(TPropertyArgumentRecord&), Extended T, int32_t kind2,
                   Extended value2);
  // Viscosity and conductivity share the state and the two-phase check.
  bool TransportState(TPropertyArgumentRecord& a, const char* name, Extended& T, Extended& v);
};

// The constructor the substance factory calls; the coefficient record is
// filled on the first call.
TSteamNBSSubstance* CreateSteamNBSSubstance();
// Catalogue rows of the water substances; the ice row.
bool IsSteamNBSRow(int32_t row);
inline constexpr int32_t kIceRow = 77;

void ResetSteamState();

}  // namespace voq
