#pragma once
// The model of the "Unit Conversion Information" dialog: the dimensions of
// the unit table in one list, the units of the chosen dimension in a second
// (its dimension formula first), and for a chosen unit its size in the base
// units of that dimension ("1 Btu = 1055.055853 m^2-kg/sec^2").
#include <cstdint>
#include <string>
#include <vector>

#include "units/unit_table.h"

namespace voq {

// The dimension chosen last, kept while the program runs so that the
// dialog reopens on it (0 at start-up).
extern int32_t LastDimensionIndex;

// The base units of a dimension formula without its parentheses, letter by
// letter: L m, M kg, T sec, D K, A radian, C coulomb; every other character
// ("N", "$", "^", digits, "-", "/") stays as it is.
std::string BaseUnitText(const std::string& formula);

class TConvertInfoModel {
 public:
  // DimensionBox: one entry per stretch of the table with one dimension
  // name, so a dimension whose units are split in the file is listed twice.
  std::vector<std::string> Dimensions;
  // UnitsBox: item 0 the dimension formula, then the units sorted as a list
  // box sorts (letter case ignored); UnitRecords runs parallel (item 0 none).
  std::vector<std::string> Units;
  std::vector<const TUnitDefinitionRecord*> UnitRecords;
  // The selected dimension (its index in Dimensions) and its name.
  int32_t DimensionIndex = -1;
  std::string DimensionName;
  // The conversion line.
  std::string ConvValue;

  void FillDimensionList();
  void ShowUnitsOfDimension(const std::string& name);
  // Opening: the list filled, the dimension chosen last selected and shown.
  void FormActivate();
  // A click in the lists (index -1: nothing selected). DimensionBoxClick
  // gives true when the units list was filled again.
  bool DimensionBoxClick(int32_t index);
  void UnitsBoxClick(int32_t index);
};

}  // namespace voq
