#pragma once
// What one render pass carries from object to object.
#include <array>
#include <cstdint>
#include <vector>

#include "view3d/gl_state.h"
#include "view3d/vector_geometry.h"

namespace voq {

// The order in which an object renders its children.
enum class TGLObjectsSorting : uint8_t { Inherited, None, RenderFarthestFirst, RenderBlendedLast };

// A letter of the axes, drawn with glBitmap.
struct TGLBitmapLetter {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Bits;
};

struct TRenderContextInfo {
  TGLObjectsSorting ObjectsSorting = TGLObjectsSorting::Inherited;  // the sorting in force
  TVector CameraPosition{0, 0, 0, 1};   // absolute
  TVector CameraDirection{0, 0, -1, 0};  // unit, w = 0
  TVector CullPosition{0, 0, 0, 1};
  TVector CullDirection{0, 0, -1, 0};
  float FrustumRatio = 0;
  float FarDistance = 0;  // near plane + depth of view
  int32_t ViewportWidth = 0;
  int32_t ViewportHeight = 0;
  TGLStates GLStates = 0;  // the OpenGL states enabled now
  int32_t Reserved = 0;
  int32_t FogSuspension = 0;  // materials that ignore fog and have turned it off
  // The axes of objects that show them: their length (the camera's depth of
  // view) and, when labelled, the letters X, Y and Z the scene made.
  float AxisLength = 1;
  bool AxisLabels = false;
  const std::array<TGLBitmapLetter, 3>* AxisLetters = nullptr;
};

}  // namespace voq
