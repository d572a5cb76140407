#pragma once
// The property models keep the last computed states to answer repeated
// calls quickly; whatever changes the compiled equations makes them forget.
// The property library installs its caches; until then there is nothing to
// forget.
namespace voq {

class PropertyCaches {
 public:
  virtual ~PropertyCaches() = default;
  // After the compiled equations are cleared: forget the last computed
  // property states so the next call computes afresh (the first ten reals
  // of the steam and Martin-Hou state vectors blank, the first ten of the
  // equation-of-state cache zero).
  virtual void ClearStateCaches() = 0;
  // A new document: the first six reals of the steam and Martin-Hou state
  // vectors -999 and the tenth real of the steam block zero.
  virtual void ResetStateCachesForNewDocument() = 0;
};
PropertyCaches* InstalledPropertyCaches();
void SetPropertyCaches(PropertyCaches* caches);

}  // namespace voq
