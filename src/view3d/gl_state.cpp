#include "view3d/gl_state.h"

#include <cstring>

#include "view3d/view3d_state.h"

namespace voq {

namespace {

constexpr GLenum kStateEnums[kGLStateCount] = {
    gl::AlphaTest, gl::AutoNormal,  gl::Blend,      gl::ColorMaterial, gl::CullFace,
    gl::DepthTest, gl::Dither,      gl::Fog,        gl::Lighting,      gl::LineSmooth,
    gl::LineStipple, gl::LogicOp,   gl::Normalize,  gl::PointSmooth,   gl::PolygonSmooth,
    gl::PolygonStipple, gl::ScissorTest, gl::StencilTest, gl::Texture1D, gl::Texture2D,
};

uint32_t Bit(TGLState state) { return 1u << static_cast<uint32_t>(state); }

SystemColorResolver systemColorResolver = nullptr;

bool RgbDiffers(const TColorVector& a, const std::array<float, 4>& cache) {
  return a[0] != cache[0] || a[1] != cache[1] || a[2] != cache[2];
}

bool AnyDiffers(const TColorVector& a, const std::array<float, 4>& cache) {
  return RgbDiffers(a, cache) || a[3] != cache[3];
}

}  // namespace

GLenum GLStateEnum(TGLState state) { return kStateEnums[static_cast<size_t>(state)]; }

bool HasState(TGLStates states, TGLState state) { return (states & Bit(state)) != 0; }

void EnableState(TGLStates& states, TGLState state) {
  if (HasState(states, state)) return;
  states |= Bit(state);
  if (GlApi* api = CurrentGlApi()) api->Enable(GLStateEnum(state));
}

void DisableState(TGLStates& states, TGLState state) {
  if (!HasState(states, state)) return;
  states &= ~Bit(state);
  if (GlApi* api = CurrentGlApi()) api->Disable(GLStateEnum(state));
}

void ApplyStates(TGLStates states) {
  GlApi* api = CurrentGlApi();
  if (api == nullptr) return;
  for (int k = 0; k < kGLStateCount; ++k) {
    const auto state = static_cast<TGLState>(k);
    if (HasState(states, state)) {
      api->Enable(GLStateEnum(state));
    } else {
      api->Disable(GLStateEnum(state));
    }
  }
}

void SendMaterialColors(GLenum face, const TColorVector& emission, const TColorVector& ambient,
                        const TColorVector& diffuse, const TColorVector& specular, int32_t shininess) {
  GlApi* api = CurrentGlApi();
  if (api == nullptr) return;
  TMaterialColorCache& cache = face == gl::Front ? View3dState().FrontMaterial : View3dState().BackMaterial;
  if (shininess != cache.Shininess) {
    api->Materiali(face, gl::Shininess, shininess);
    cache.Shininess = shininess;
  }
  // The alpha of these three colours has no visible effect: a change of it
  // alone is not worth a call.
  if (RgbDiffers(emission, cache.Emission)) {
    api->Materialfv(face, gl::Emission, emission.data());
    cache.Emission = emission;
  }
  if (RgbDiffers(ambient, cache.Ambient)) {
    api->Materialfv(face, gl::Ambient, ambient.data());
    cache.Ambient = ambient;
  }
  if (AnyDiffers(diffuse, cache.Diffuse)) {
    api->Materialfv(face, gl::Diffuse, diffuse.data());
    cache.Diffuse = diffuse;
  }
  if (RgbDiffers(specular, cache.Specular)) {
    api->Materialfv(face, gl::Specular, specular.data());
    cache.Specular = specular;
  }
}

void SendPolygonMode(GLenum face, GLenum mode) {
  GlApi* api = CurrentGlApi();
  if (api == nullptr) return;
  TView3dState& state = View3dState();
  if (face == gl::Front || face == gl::Back) {
    GLenum& cached = face == gl::Front ? state.FrontPolygonMode : state.BackPolygonMode;
    if (cached == mode) return;
    api->PolygonMode(face, mode);
    cached = mode;
    return;
  }
  if (state.FrontPolygonMode == mode && state.BackPolygonMode == mode) return;
  api->PolygonMode(face, mode);
  state.FrontPolygonMode = mode;
  state.BackPolygonMode = mode;
}

void ForgetPolygonModes() {
  View3dState().FrontPolygonMode = 0;
  View3dState().BackPolygonMode = 0;
}

void ResetMaterialColors() {
  if (GlApi* api = CurrentGlApi()) {
    const float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    const float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    api->Materialfv(gl::FrontAndBack, gl::Ambient, ambient);
    api->Materialfv(gl::FrontAndBack, gl::Diffuse, diffuse);
    api->Materialfv(gl::FrontAndBack, gl::Specular, black);
    api->Materialfv(gl::FrontAndBack, gl::Emission, black);
    api->Materiali(gl::FrontAndBack, gl::Shininess, 0);
  }
  // 0x7F7F7F7F is a float no colour component has: the next material is
  // always sent.
  for (TMaterialColorCache* cache : {&View3dState().FrontMaterial, &View3dState().BackMaterial}) {
    for (auto* colour : {&cache->Emission, &cache->Ambient, &cache->Diffuse, &cache->Specular}) {
      std::memset(colour->data(), 0x7F, sizeof(float) * 4);
    }
    cache->Shininess = 0;
  }
}

TColorVector WinColorToRGBA(uint32_t color, float alpha) {
  if ((color & 0x80000000u) != 0) color = systemColorResolver != nullptr ? systemColorResolver(color) : 0;
  return {static_cast<float>(color & 0xFF) / 255.0f, static_cast<float>((color >> 8) & 0xFF) / 255.0f,
          static_cast<float>((color >> 16) & 0xFF) / 255.0f, alpha};
}

void SetSystemColorResolver(SystemColorResolver resolver) { systemColorResolver = resolver; }

}  // namespace voq
