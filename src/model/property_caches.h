#pragma once
// The property models keep the last computed states to answer repeated
// calls quickly; whatever changes the compiled equations makes them forget.
// The property library installs its caches; until then there is nothing to
// forget.
namespace voq {

class PropertyCaches {
 public:
  virtual ~PropertyCaches() = default;
  // Forget the last computed property states so the next call computes
  // afresh (steam and Martin-Hou state vectors blank, equation-of-state
  // cache zero).
  virtual void ClearStateCaches() = 0;
};
PropertyCaches* InstalledPropertyCaches();
void SetPropertyCaches(PropertyCaches* caches);

}  // namespace voq
