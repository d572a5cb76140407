#include "view3d/height_field.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/geometry_scalars.h"
#include "view3d/view3d_state.h"

namespace voq {

namespace {

struct TSampleVertex {
  float Z = 0;
  TColorVector Color{};
  TTexPoint TexPoint{};
  std::array<float, 3> Normal{};
};

using TRow = std::vector<TSampleVertex>;

// Interior differences are summed, not averaged: an interior vertex gets
// twice the central slope, an edge vertex the one-sided one. That decides
// how strongly the surface is shaded.
void ComputeNormals(TRow& row, size_t count, const TRow* below, const TRow* above, float invX, float invY) {
  for (size_t i = 0; i < count; ++i) {
    const long double z = row[i].Z;
    long double dx = i >= 1 ? (row[i - 1].Z - z) * invX : 0.0L;
    if (i + 1 < count) dx += (z - row[i + 1].Z) * invX;
    long double dy = below != nullptr ? ((*below)[i].Z - z) * invY : 0.0L;
    if (above != nullptr) dy += (z - (*above)[i].Z) * invY;
    const long double length = std::sqrt(dx * dx + dy * dy + 1.0L);
    row[i].Normal = {static_cast<float>(dx / length), static_cast<float>(dy / length),
                     static_cast<float>(1.0L / length)};
  }
}

}  // namespace

void TGLSamplingScale::SignalChange() {
  if (Updating == 0) {
    if (TGLBaseSceneObject* object = OwnerSceneObject()) object->MarkStructureChanged();
  }
  TGLUpdateAbleObject::SignalChange();
}

void TGLSamplingScale::SetMin(float value) {
  Min = value;
  if (!(value <= Max)) Max = value;
  SignalChange();
}

void TGLSamplingScale::SetMax(float value) {
  Max = value;
  if (!(value >= Min)) Min = value;
  SignalChange();
}

void TGLSamplingScale::SetOrigin(float value) {
  Origin = value;
  SignalChange();
}

void TGLSamplingScale::SetStep(float value) {
  Step = value > 0 ? value : 1.0f;
  SignalChange();
}

void TGLSamplingScale::Assign(const TGLSamplingScale& source) {
  Min = source.Min;
  Max = source.Max;
  Origin = source.Origin;
  Step = source.Step;
  SignalChange();
}

bool TGLSamplingScale::HasRange() const { return Max != Min; }

float TGLSamplingScale::FirstSample() const {
  if (Origin == Min) return Min;
  const float k = static_cast<float>((static_cast<long double>(Origin) - Min) / Step);
  // n is the floor of k: the first lattice value at or above Min. (One
  // less for a whole negative k would pass over a sample lying on Min.)
  int32_t n = GeomTruncSingle(k);
  if (k < 0 && static_cast<float>(n) != k) n -= 1;
  return static_cast<float>(static_cast<long double>(Origin) - static_cast<long double>(n) * Step);
}

int64_t TGLSamplingScale::SampleCount() const {
  return GeomRoundToInt64((static_cast<long double>(Max) - Min) / Step + 0.5L);
}

void TGLSamplingScale::GridBounds(bool drawn, float& first, float& step, float& last) const {
  step = Step;
  if (drawn) {
    first = FirstSample();
    last = static_cast<float>(static_cast<long double>(Max) +
                              (static_cast<long double>(Max) - first) / Step * 0.000001L);
  } else {
    first = Origin;
    last = Origin;
  }
}

THeightField::THeightField() : XSamplingScale(this), YSamplingScale(this) {
  StyleFlags |= kStyleChangesMaterialColors;
}

void THeightField::SetOptions(uint8_t options) {
  if (Options == options) return;
  Options = options;
  MarkStructureChanged();
}

void THeightField::SetColorMode(THeightFieldColorMode mode) {
  if (ColorMode == mode) return;
  ColorMode = mode;
  MarkStructureChanged();
}

void THeightField::SetOnGetHeight(THeightFieldGetHeight handler) {
  OnGetHeight = std::move(handler);
  MarkStructureChanged();
}

void THeightField::Assign(const TGLBaseSceneObject& source) {
  const auto* field = dynamic_cast<const THeightField*>(&source);
  if (field == nullptr) {
    TGLSceneObject::Assign(source);
    return;
  }
  XSamplingScale.Assign(field->XSamplingScale);
  YSamplingScale.Assign(field->YSamplingScale);
  OnGetHeight = field->OnGetHeight;
  Options = field->Options;
  ColorMode = field->ColorMode;
  MarkStructureChanged();
}

void THeightField::DefaultHeight(float x, float y, float& z, TColorVector& /*color*/, TTexPoint& /*texPoint*/) {
  const float r2 = static_cast<float>(static_cast<long double>(x) * x + static_cast<long double>(y) * y);
  z = static_cast<float>(std::cos(12.0L * r2) / ((6.28L * r2 + 1.0L) * 2.0L));
}

void THeightField::BuildGeometry(TRenderContextInfo& /*rci*/) {
  GlApi* api = CurrentGlApi();
  if (api == nullptr || !XSamplingScale.HasRange() || !YSamplingScale.HasRange()) return;
  const THeightFieldGetHeight height = OnGetHeight ? OnGetHeight : THeightFieldGetHeight(&DefaultHeight);
  // Three rotating rows, each one longer than the column count so the
  // 32-bit stepping can never run past them. A lattice finer than any
  // screen can show is cut, rather than exhausting memory or time.
  constexpr int64_t kMaxSamples = 65536;
  const size_t width =
      static_cast<size_t>(std::clamp<int64_t>(XSamplingScale.SampleCount(), 0, kMaxSamples)) + 2;
  std::array<TRow, 3> buffers{TRow(width), TRow(width), TRow(width)};
  const float xFirst = XSamplingScale.FirstSample();
  const float xStep = XSamplingScale.Step;
  const float invX = 1.0f / xStep;
  const float yStep = YSamplingScale.Step;
  const float invY = 1.0f / yStep;

  const bool twoSided = (Options & kHeightFieldTwoSided) != 0;
  const bool pushed = twoSided || ColorMode != THeightFieldColorMode::None;
  if (pushed) {
    api->PushAttrib(gl::EnableBit);
    if (twoSided) api->Disable(gl::CullFace);
    if (ColorMode != THeightFieldColorMode::None) {
      static constexpr GLenum modes[] = {0, gl::Emission, gl::Ambient, gl::Diffuse, gl::AmbientAndDiffuse};
      api->Enable(gl::ColorMaterial);
      api->ColorMaterial(gl::FrontAndBack, modes[static_cast<size_t>(ColorMode)]);
    }
  }
  // Inside the list: every replay starts from the default material.
  ResetMaterialColors();

  const bool colours = ColorMode != THeightFieldColorMode::None;
  const bool textures = (Options & kHeightFieldTextureCoordinates) != 0;
  auto emit = [&](const TSampleVertex& v, float x, float y) {
    api->Normal3fv(v.Normal.data());
    if (colours) api->Color4fv(v.Color.data());
    if (textures) api->TexCoord2fv(v.TexPoint.data());
    api->Vertex3f(x, y, v.Z);
  };
  size_t nx = 0;
  auto strip = [&](const TRow& lower, float yLower, const TRow& upper, float yUpper) {
    if (nx == 0) return;
    api->Begin(gl::TriangleStrip);
    float x = xFirst;
    emit(upper[0], x, yUpper);
    for (size_t i = 0; i + 1 < nx; ++i) {
      const float x2 = x + xStep;
      emit(lower[i], x, yLower);
      emit(upper[i + 1], x2, yUpper);
      x = x2;
    }
    emit(lower[nx - 1], x, yLower);
    api->End();
  };

  TRow* below = nullptr;
  TRow* middle = nullptr;
  TRow* above = nullptr;
  float yBelow = 0;
  float yMiddle = 0;
  float yAbove = 0;
  float y = YSamplingScale.FirstSample();
  int64_t r = 0;
  while (y <= YSamplingScale.Max && r <= kMaxSamples) {
    below = middle;
    middle = above;
    yBelow = yMiddle;
    yMiddle = yAbove;
    above = &buffers[static_cast<size_t>(r % 3)];
    yAbove = y;
    size_t i = 0;
    for (float x = xFirst; x < XSamplingScale.Max && i < width; x += xStep) {
      TSampleVertex& v = (*above)[i];
      v.TexPoint = {x, y};
      height(x, y, v.Z, v.Color, v.TexPoint);
      ++i;
    }
    nx = i;
    if (middle != nullptr) ComputeNormals(*middle, nx, below, above, invX, invY);
    if (below != nullptr) strip(*below, yBelow, *middle, yMiddle);
    ++r;
    // A step too small to move y at its magnitude would never end the rows.
    if (y + yStep == y) break;
    y += yStep;
  }
  if (above != nullptr) {
    ComputeNormals(*above, nx, middle, nullptr, invX, invY);
    if (middle != nullptr) strip(*middle, yMiddle, *above, yAbove);
  }
  if (pushed) api->PopAttrib();
  if (XGridLines) DrawSurfaceGridLines(height, true);
  if (YGridLines) DrawSurfaceGridLines(height, false);
}

void THeightField::DrawSurfaceGridLines(const THeightFieldGetHeight& height, bool constantX) const {
  GlApi* api = CurrentGlApi();
  api->LineWidth(1.0f);
  api->Color3f(0, 0, 0);
  api->Disable(gl::LineStipple);
  float a = -1.0f;
  for (int line = 0; line < 19; ++line) {
    a += 0.1f;
    std::array<std::array<float, 2>, 101> points{};
    std::array<float, 101> z{};
    float b = -1.0f;
    for (size_t k = 0; k < 101; ++k) {
      b += 0.01980198f;
      TColorVector colour{};
      TTexPoint texPoint{};
      float h = 0;
      if (constantX) {
        height(a, b, h, colour, texPoint);
      } else {
        height(b, a, h, colour, texPoint);
      }
      points[k] = {b, 0};
      z[k] = h + 0.0105f;
    }
    api->Begin(gl::LineStrip);
    for (size_t k = 0; k < 101; ++k) {
      if (constantX) {
        api->Vertex3f(a, points[k][0], z[k]);
      } else {
        api->Vertex3f(points[k][0], a, z[k]);
      }
    }
    api->End();
  }
}

}  // namespace voq
