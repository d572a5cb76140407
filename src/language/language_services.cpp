#include "language/language_services.h"

namespace voq {
namespace {

class EmptyFunctionCatalog : public FunctionCatalog {
 public:
  const TFunctionCatalogEntry* FindBuiltinFunction(const std::string&) const override {
    return nullptr;
  }
};

class EmptyConstantsCatalog : public ConstantsCatalog {
 public:
  int32_t FindConstant(const std::string&) const override { return -1; }
  std::string ConstantUnits(int32_t) const override { return ""; }
};

const EmptyFunctionCatalog kEmptyFunctions;
const EmptyConstantsCatalog kEmptyConstants;
const FunctionCatalog* installedFunctions = &kEmptyFunctions;
const ConstantsCatalog* installedConstants = &kEmptyConstants;
PropertyCaches* installedCaches = nullptr;

}  // namespace

const FunctionCatalog& BuiltinFunctions() { return *installedFunctions; }
void SetBuiltinFunctions(const FunctionCatalog* catalog) {
  installedFunctions = catalog != nullptr ? catalog : &kEmptyFunctions;
}

const ConstantsCatalog& BuiltinConstants() { return *installedConstants; }
void SetBuiltinConstants(const ConstantsCatalog* catalog) {
  installedConstants = catalog != nullptr ? catalog : &kEmptyConstants;
}

PropertyCaches* InstalledPropertyCaches() { return installedCaches; }
void SetPropertyCaches(PropertyCaches* caches) { installedCaches = caches; }

}  // namespace voq
