#include "units/unit_conversion_info.h"

#include <algorithm>
#include <cctype>

#include "core/calc_state.h"
#include "core/messages.h"
#include "units/unit_expressions.h"

namespace voq {

int32_t LastDimensionIndex = 0;

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string BaseUnitText(const std::string& formula) {
  std::string inner = formula;
  if (!inner.empty() && inner.front() == '(') inner.erase(0, 1);
  if (!inner.empty() && inner.back() == ')') inner.pop_back();
  std::string text;
  for (char c : inner) {
    switch (c) {
      case 'L': text += "m"; break;
      case 'M': text += "kg"; break;
      case 'T': text += "sec"; break;
      case 'D': text += "K"; break;
      case 'A': text += "radian"; break;
      case 'C': text += "coulomb"; break;
      default: text.push_back(c); break;
    }
  }
  return text;
}

void TConvertInfoModel::FillDimensionList() {
  Dimensions.clear();
  const TUnitDefinitionRecord* previous = nullptr;
  for (const TUnitDefinitionRecord* u = UnitTableHead; u != nullptr; u = u->Next) {
    if (previous == nullptr || u->DimensionName != previous->DimensionName) Dimensions.push_back(u->DimensionName);
    previous = u;
  }
}

void TConvertInfoModel::ShowUnitsOfDimension(const std::string& name) {
  Units.clear();
  UnitRecords.clear();
  std::vector<const TUnitDefinitionRecord*> members;
  for (const TUnitDefinitionRecord* u = UnitTableHead; u != nullptr; u = u->Next) {
    if (u->DimensionName != name) continue;
    if (members.empty()) {
      Units.push_back(DimensionFormula(u->Exponents));
      UnitRecords.push_back(nullptr);
    }
    members.push_back(u);
  }
  // The formula stays the first item whatever the unit names sort like
  // ("%", "$" and "#" come before its parenthesis); only the units sort.
  std::stable_sort(members.begin(), members.end(), [](const TUnitDefinitionRecord* a, const TUnitDefinitionRecord* b) {
    return Upper(a->Name) < Upper(b->Name);
  });
  for (const TUnitDefinitionRecord* u : members) {
    Units.push_back(u->Name);
    UnitRecords.push_back(u);
  }
}

void TConvertInfoModel::FormActivate() {
  FillDimensionList();
  ConvValue.clear();
  Units.clear();
  UnitRecords.clear();
  DimensionIndex = -1;
  DimensionName.clear();
  if (Dimensions.empty()) return;
  // A table read again since may hold fewer dimensions.
  if (LastDimensionIndex < 0 || LastDimensionIndex >= static_cast<int32_t>(Dimensions.size())) LastDimensionIndex = 0;
  DimensionIndex = LastDimensionIndex;
  DimensionName = Dimensions[static_cast<size_t>(DimensionIndex)];
  ShowUnitsOfDimension(DimensionName);
}

bool TConvertInfoModel::DimensionBoxClick(int32_t index) {
  ConvValue.clear();
  if (index < 0 || index >= static_cast<int32_t>(Dimensions.size())) return false;
  DimensionIndex = index;
  if (index == LastDimensionIndex && !Units.empty()) return false;
  LastDimensionIndex = index;
  DimensionName = Dimensions[static_cast<size_t>(index)];
  ShowUnitsOfDimension(DimensionName);
  return true;
}

void TConvertInfoModel::UnitsBoxClick(int32_t index) {
  ConvValue.clear();
  if (index <= 0 || index >= static_cast<int32_t>(Units.size())) return;
  const std::string base = BaseUnitText(Units[0]);
  const std::string& unit = Units[static_cast<size_t>(index)];
  // Each conversion starts clean: an error left by an earlier one would
  // make this one return at once with its stale factor.
  CalcErrorCode = 0;
  Extended factor = 1;
  std::string factorText;
  ConvertUnitFactor(unit, base, factor, factorText);
  if (CalcErrorCode != 0) {
    ConvValue = GetMessageText(CalcErrorCode);
    CalcErrorCode = 0;
    return;
  }
  ConvValue = "1 " + unit + " = " + factorText + " " + base;
}

}  // namespace voq
