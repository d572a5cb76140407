#pragma once
// The OpenGL state a render pass keeps track of: the enabled states as a
// bit set carried by the pass, and the material and polygon-mode caches of
// the view's state. Each call reaches OpenGL only when the cache says it
// does not already hold the value.
#include <array>
#include <cstdint>

#include "view3d/gl_api.h"

namespace voq {

enum class TGLState : uint8_t {
  AlphaTest, AutoNormal, Blend, ColorMaterial, CullFace, DepthTest, Dither, Fog, Lighting, LineSmooth,
  LineStipple, LogicOp, Normalize, PointSmooth, PolygonSmooth, PolygonStipple, ScissorTest, StencilTest,
  Texture1D, Texture2D
};
inline constexpr int kGLStateCount = 20;
using TGLStates = uint32_t;  // bit k: state k is enabled

GLenum GLStateEnum(TGLState state);
bool HasState(TGLStates states, TGLState state);
void EnableState(TGLStates& states, TGLState state);
void DisableState(TGLStates& states, TGLState state);
// glEnable for every state of the set, glDisable for every other, in order.
void ApplyStates(TGLStates states);

using TColorVector = std::array<float, 4>;

// glMaterial for the colours and shininess of one face that differ from the
// cache (emission, ambient and specular by red, green and blue only;
// diffuse by all four).
void SendMaterialColors(GLenum face, const TColorVector& emission, const TColorVector& ambient,
                        const TColorVector& diffuse, const TColorVector& specular, int32_t shininess);
void SendPolygonMode(GLenum face, GLenum mode);
void ForgetPolygonModes();
// OpenGL's default material on both faces, and caches no colour can match.
void ResetMaterialColors();

// A 0x00BBGGRR colour with the given alpha. System colours (the top bit
// set) resolve through SystemColorResolver, black until the windows set it.
TColorVector WinColorToRGBA(uint32_t color, float alpha);
using SystemColorResolver = uint32_t (*)(uint32_t systemColor);
void SetSystemColorResolver(SystemColorResolver resolver);

}  // namespace voq
