#pragma once
// The surface z = f(x, y) of a 3-D plot: sampled at fixed steps over the
// ranges of two sampling scales, shaded by normals from finite differences,
// and emitted as one triangle strip per pair of neighbouring rows into the
// object's display list, so it is rebuilt only after a change.
#include <array>
#include <functional>

#include "view3d/scene_objects.h"

namespace voq {

// The sampling lattice of one axis: samples are Origin + k Step within
// Min..Max. Every setter propagates, also an unchanged value.
class TGLSamplingScale : public TGLUpdateAbleObject {
 public:
  using TGLUpdateAbleObject::TGLUpdateAbleObject;
  float Min = 0;
  float Max = 0;
  float Origin = 0;
  float Step = 0.1f;

  // The owning object's structure changes with its lattice.
  void SignalChange() override;
  void SetMin(float value);  // Max follows when it would fall below
  void SetMax(float value);  // Min follows when it would rise above
  void SetOrigin(float value);
  void SetStep(float value);  // 1 for a value not above 0
  void Assign(const TGLSamplingScale& source);
  bool HasRange() const;
  float FirstSample() const;
  int64_t SampleCount() const;
  // first, step and last of the lines or samples drawn: over the lattice
  // when the axis is drawn (last extended by 1e-6 of the range in steps, so
  // a sample that rounding puts just past Max still counts), else the one
  // value Origin.
  void GridBounds(bool drawn, float& first, float& step, float& last) const;
};

using TTexPoint = std::array<float, 2>;
using THeightFieldGetHeight = std::function<void(float x, float y, float& z, TColorVector& color, TTexPoint& texPoint)>;

inline constexpr uint8_t kHeightFieldTextureCoordinates = 1;
inline constexpr uint8_t kHeightFieldTwoSided = 2;

enum class THeightFieldColorMode : uint8_t { None, Emission, Ambient, Diffuse, AmbientAndDiffuse };

class THeightField : public TGLSceneObject {
 public:
  THeightField();
  TGLBaseSceneObject* CreateSameClass() const override { return new THeightField; }

  THeightFieldGetHeight OnGetHeight;
  TGLSamplingScale XSamplingScale;
  TGLSamplingScale YSamplingScale;
  uint8_t Options = kHeightFieldTwoSided;
  THeightFieldColorMode ColorMode = THeightFieldColorMode::None;
  // The fixed lattice of black lines on the surface; a caller that changes
  // these provokes the rebuild itself.
  bool XGridLines = false;
  bool YGridLines = false;

  void SetOptions(uint8_t options);
  void SetColorMode(THeightFieldColorMode mode);
  void SetOnGetHeight(THeightFieldGetHeight handler);
  void Assign(const TGLBaseSceneObject& source) override;
  void BuildGeometry(TRenderContextInfo& rci) override;

  // The ripple drawn without a height source: cos(12 r^2) / (2 (6.28 r^2 + 1)).
  static void DefaultHeight(float x, float y, float& z, TColorVector& color, TTexPoint& texPoint);

 private:
  void DrawSurfaceGridLines(const THeightFieldGetHeight& height, bool constantX) const;
};

}  // namespace voq
