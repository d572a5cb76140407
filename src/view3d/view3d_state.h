#pragma once
// The process-wide state of the 3-D view: the current rendering context's
// API and the caches of what OpenGL already holds (material colours and
// polygon modes), so redundant calls stay out of the render passes. One
// reset, registered with the engine reset by InstallView3d.
#include <array>
#include <cstdint>
#include <string>

#include "view3d/gl_api.h"
#include "view3d/render_context.h"

namespace voq {

struct TMaterialColorCache {
  std::array<float, 4> Emission{};
  std::array<float, 4> Ambient{};
  std::array<float, 4> Diffuse{};
  std::array<float, 4> Specular{};
  int32_t Shininess = 0;
};

struct TView3dState {
  GlApi* CurrentApi = nullptr;
  GLenum FrontPolygonMode = 0;  // 0: not known
  GLenum BackPolygonMode = 0;
  TMaterialColorCache FrontMaterial;
  TMaterialColorCache BackMaterial;
  // The text of the last OpenGL error a display-list operation met.
  std::string LastOpenGLError;
  // The axis letters of the scene made last (one set for the program).
  std::array<TGLBitmapLetter, 3> AxisLetters;
};

TView3dState& View3dState();
void ResetView3dState();
// Registers ResetView3dState with the engine reset.
void InstallView3d();

}  // namespace voq
