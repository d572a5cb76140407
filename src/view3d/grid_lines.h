#pragma once
// Line objects: TLineBase gives them colour, stipple, width and smoothing;
// TXYZGrid draws a lattice of lines parallel to the axes, which with one
// axis pinned is a grid plane of the 3-D plot.
#include <cstdint>

#include "view3d/height_field.h"
#include "view3d/scene_objects.h"

namespace voq {

class TLineBase : public TGLImmaterialSceneObject {
 public:
  TLineBase();
  TGLBaseSceneObject* CreateSameClass() const override { return new TLineBase; }
  TGLColor LineColor;
  uint16_t LinePattern = 0xFFFF;  // solid
  float LineWidth = 1.0f;
  bool AntiAliased = false;

  void SetLineColor(const TColorVector& color);
  void SetLinePattern(uint16_t pattern);
  void SetLineWidth(float width);
  void SetAntiAliased(bool antiAliased);
  void Assign(const TGLBaseSceneObject& source) override;
  // Pushes the line, enable, current, colour-buffer and lighting state and
  // sets the style; stipple and blending only for a pattern that is not solid.
  void BeginLineStyle() const;
  void EndLineStyle() const;
};

inline constexpr uint8_t kGridPartX = 1;
inline constexpr uint8_t kGridPartY = 2;
inline constexpr uint8_t kGridPartZ = 4;

enum class TXYZGridLinesStyle : uint8_t { Line, Segments };

class TXYZGrid : public TLineBase {
 public:
  TXYZGrid();
  TGLBaseSceneObject* CreateSameClass() const override { return new TXYZGrid; }
  TGLSamplingScale XSamplingScale;
  TGLSamplingScale YSamplingScale;
  TGLSamplingScale ZSamplingScale;
  uint8_t Parts = kGridPartX | kGridPartY;
  TXYZGridLinesStyle LinesStyle = TXYZGridLinesStyle::Segments;

  void SetParts(uint8_t parts);
  void SetLinesStyle(TXYZGridLinesStyle style);
  void Assign(const TGLBaseSceneObject& source) override;
  void BuildGeometry(TRenderContextInfo& rci) override;
};

}  // namespace voq
