#include "view3d/grid_lines.h"

#include <array>

#include "view3d/view3d_state.h"

namespace voq {

TLineBase::TLineBase() : LineColor(this) { LineColor.SetInitial({1, 1, 1, 1}); }

void TLineBase::SetLineColor(const TColorVector& color) {
  LineColor.SetColor(color);
  MarkStructureChanged();
}

void TLineBase::SetLinePattern(uint16_t pattern) {
  if (LinePattern == pattern) return;
  LinePattern = pattern;
  MarkStructureChanged();
}

void TLineBase::SetLineWidth(float width) {
  if (LineWidth == width) return;
  LineWidth = width;
  MarkStructureChanged();
}

void TLineBase::SetAntiAliased(bool antiAliased) {
  if (AntiAliased == antiAliased) return;
  AntiAliased = antiAliased;
  MarkStructureChanged();
}

void TLineBase::Assign(const TGLBaseSceneObject& source) {
  const auto* line = dynamic_cast<const TLineBase*>(&source);
  if (line == nullptr) {
    TGLImmaterialSceneObject::Assign(source);
    return;
  }
  LineColor.Color = line->LineColor.Color;
  LinePattern = line->LinePattern;
  LineWidth = line->LineWidth;
  AntiAliased = line->AntiAliased;
  MarkStructureChanged();
}

void TLineBase::BeginLineStyle() const {
  GlApi* api = CurrentGlApi();
  if (api == nullptr) return;
  api->PushAttrib(gl::LineBit | gl::EnableBit | gl::CurrentBit | gl::ColorBufferBit | gl::LightingBit);
  api->Disable(gl::Lighting);
  if (LinePattern != 0xFFFF) {
    api->Enable(gl::LineStipple);
    api->Enable(gl::Blend);
    api->BlendFunc(gl::SrcAlpha, gl::OneMinusSrcAlpha);
    api->LineStipple(1, LinePattern);
  }
  if (AntiAliased) {
    api->Enable(gl::LineSmooth);
  } else {
    api->Disable(gl::LineSmooth);
  }
  api->LineWidth(LineWidth);
  api->Color3f(LineColor.Color[0], LineColor.Color[1], LineColor.Color[2]);
}

void TLineBase::EndLineStyle() const {
  if (GlApi* api = CurrentGlApi()) api->PopAttrib();
}

TXYZGrid::TXYZGrid() : XSamplingScale(this), YSamplingScale(this), ZSamplingScale(this) {}

void TXYZGrid::SetParts(uint8_t parts) {
  if (Parts == parts) return;
  Parts = parts;
  MarkStructureChanged();
}

void TXYZGrid::SetLinesStyle(TXYZGridLinesStyle style) {
  if (LinesStyle == style) return;
  LinesStyle = style;
  MarkStructureChanged();
}

void TXYZGrid::Assign(const TGLBaseSceneObject& source) {
  if (const auto* grid = dynamic_cast<const TXYZGrid*>(&source)) {
    XSamplingScale.Assign(grid->XSamplingScale);
    YSamplingScale.Assign(grid->YSamplingScale);
    ZSamplingScale.Assign(grid->ZSamplingScale);
    Parts = grid->Parts;
    LinesStyle = grid->LinesStyle;
  }
  TLineBase::Assign(source);
}

void TXYZGrid::BuildGeometry(TRenderContextInfo& /*rci*/) {
  GlApi* api = CurrentGlApi();
  if (api == nullptr) return;
  BeginLineStyle();
  const std::array<const TGLSamplingScale*, 3> scales = {&XSamplingScale, &YSamplingScale, &ZSamplingScale};
  std::array<float, 3> first{};
  std::array<float, 3> step{};
  std::array<float, 3> last{};
  for (size_t a = 0; a < 3; ++a) {
    scales[a]->GridBounds((Parts & (1u << a)) != 0, first[a], step[a], last[a]);
  }
  const bool segments = LinesStyle == TXYZGridLinesStyle::Segments;
  // The lines along axis `along`, one for every lattice point of the other
  // two axes (outer, then inner).
  // A step too small to move a value at its magnitude would never end a
  // loop: each loop stops when adding the step changes nothing.
  auto advance = [](float& value, float by) {
    const float next = value + by;
    const bool moved = next != value;
    value = next;
    return moved;
  };
  auto family = [&](size_t along, size_t outer, size_t inner) {
    for (float u = first[outer]; u <= last[outer];) {
      for (float v = first[inner]; v <= last[inner];) {
        std::array<float, 3> p{};
        p[outer] = u;
        p[inner] = v;
        api->Begin(gl::LineStrip);
        if (segments) {
          for (float w = first[along]; w <= last[along];) {
            p[along] = w;
            api->Vertex3f(p[0], p[1], p[2]);
            if (!advance(w, step[along])) break;
          }
        } else {
          p[along] = scales[along]->Min;
          api->Vertex3f(p[0], p[1], p[2]);
          p[along] = scales[along]->Max;
          api->Vertex3f(p[0], p[1], p[2]);
        }
        api->End();
        if (!advance(v, step[inner])) break;
      }
      if (!advance(u, step[outer])) break;
    }
  };
  if ((Parts & kGridPartX) != 0) family(0, 1, 2);
  if ((Parts & kGridPartY) != 0) family(1, 0, 2);
  if ((Parts & kGridPartZ) != 0) family(2, 0, 1);
  EndLineStyle();
}

}  // namespace voq
