#include "view3d/gl_values.h"

#include <cmath>
#include <cstring>

#include "view3d/scene_objects.h"

namespace voq {

namespace {

void PackSingles(const std::array<float, 4>& values, std::array<uint8_t, 16>& bytes) {
  for (size_t k = 0; k < 4; ++k) {
    uint32_t bits = 0;
    std::memcpy(&bits, &values[k], 4);
    for (size_t b = 0; b < 4; ++b) bytes[k * 4 + b] = static_cast<uint8_t>(bits >> (8 * b));
  }
}

void UnpackSingles(const std::array<uint8_t, 16>& bytes, std::array<float, 4>& values) {
  for (size_t k = 0; k < 4; ++k) {
    uint32_t bits = 0;
    for (size_t b = 0; b < 4; ++b) bits |= static_cast<uint32_t>(bytes[k * 4 + b]) << (8 * b);
    std::memcpy(&values[k], &bits, 4);
  }
}

GLenum PolygonModeEnum(TPolygonMode mode) {
  switch (mode) {
    case TPolygonMode::Lines: return gl::Line;
    case TPolygonMode::Points: return gl::Point;
    default: return gl::Fill;
  }
}

}  // namespace

void TGLUpdateAbleComponent::PropagateChange(TGLUpdateAbleComponent* /*sender*/) {
  if (OwnerComponent != nullptr) OwnerComponent->PropagateChange(this);
}

TGLBaseSceneObject* TGLUpdateAbleObject::OwnerSceneObject() const {
  return OwnerComponent != nullptr ? OwnerComponent->AsSceneObject() : nullptr;
}

void TGLUpdateAbleObject::SignalChange() {
  if (Updating != 0) return;
  if (OwnerObject != nullptr) {
    OwnerObject->SignalChange();
  } else if (OwnerComponent != nullptr) {
    OwnerComponent->PropagateChange(OwnerComponent);
  } else {
    return;
  }
  if (ChangeHandler) ChangeHandler(this);
}

void TGLColor::SignalChange() {
  if (TGLBaseSceneObject* object = OwnerSceneObject()) object->MarkStructureChanged();
  TGLUpdateAbleObject::SignalChange();
}

void TGLColor::SetComponent(int index, float value) {
  if (index < 0 || index > 3 || Color[static_cast<size_t>(index)] == value) return;
  Color[static_cast<size_t>(index)] = value;
  SignalChange();
}

void TGLColor::SetColor(const TColorVector& color) {
  Color = color;
  SignalChange();
}

void TGLColor::SetInitial(const TColorVector& color) {
  Color = color;
  DefaultColor = color;
}

void TGLColor::Assign(const TGLColor& other) {
  Color = other.Color;
  SignalChange();
}

TGLCoordinates::TGLCoordinates(TGLUpdateAbleComponent* owner, TStyle style, const TVector& initial)
    : TGLUpdateAbleObject(owner), Style(style), Coords(initial), DefaultCoords(initial) {}

TGLCoordinates::TGLCoordinates(TGLUpdateAbleObject* owner, TStyle style, const TVector& initial)
    : TGLUpdateAbleObject(owner), Style(style), Coords(initial), DefaultCoords(initial) {}

void TGLCoordinates::SignalChange() {
  if (Updating != 0) return;
  if (TGLBaseSceneObject* object = OwnerSceneObject()) {
    object->CoordinatesChanged(this);
    return;
  }
  TGLUpdateAbleObject::SignalChange();
}

void TGLCoordinates::SetCoordinate(int index, float value) {
  if (index < 0 || index > 3) return;
  Coords[static_cast<size_t>(index)] = value;
  SignalChange();
}

void TGLCoordinates::SetVector(float x, float y, float z) {
  Coords = {x, y, z, 0.0f};
  SignalChange();
}

void TGLCoordinates::SetPoint(float x, float y, float z) {
  Coords = {x, y, z, 1.0f};
  SignalChange();
}

void TGLCoordinates::AssignVector(const TVector& v) {
  Coords = v;
  Coords[3] = Style == Point ? 1.0f : 0.0f;
  SignalChange();
}

void TGLCoordinates::Assign(const TGLCoordinates& other) { Coords = other.Coords; }

void TGLCoordinates::Normalize() { Coords = GeomNormalize(Coords); }

float TGLCoordinates::Length() const { return GeomLength(Coords); }

void TGLCoordinates::SetInitial(const TVector& v) {
  Coords = v;
  DefaultCoords = v;
}

TGLFaceProperties::TGLFaceProperties(TGLUpdateAbleObject* owner)
    : TGLUpdateAbleObject(owner), Ambient(this), Diffuse(this), Specular(this), Emission(this) {
  Ambient.SetInitial({0.2f, 0.2f, 0.2f, 1.0f});
  Diffuse.SetInitial({0.8f, 0.8f, 0.8f, 1.0f});
}

void TGLFaceProperties::SetPolygonMode(TPolygonMode mode) {
  if (PolygonMode == mode) return;
  PolygonMode = mode;
  SignalChange();
}

void TGLFaceProperties::SetShininess(uint8_t value) {
  if (value > 128) value = 128;
  if (Shininess == value) return;
  Shininess = value;
  SignalChange();
}

void TGLFaceProperties::Assign(const TGLFaceProperties& other) {
  Ambient.Color = other.Ambient.Color;
  Diffuse.Color = other.Diffuse.Color;
  Specular.Color = other.Specular.Color;
  Emission.Color = other.Emission.Color;
  Shininess = other.Shininess;
  PolygonMode = other.PolygonMode;
  SignalChange();
}

void TGLFaceProperties::Apply(GLenum face) const {
  SendMaterialColors(face, Emission.Color, Ambient.Color, Diffuse.Color, Specular.Color, Shininess);
  SendPolygonMode(face, PolygonModeEnum(PolygonMode));
}

TGLMaterial::TGLMaterial(TGLUpdateAbleComponent* owner)
    : TGLUpdateAbleObject(owner), FrontProperties(this), BackProperties(this), Texture(this) {}

void TGLMaterial::SignalChange() {
  if (Updating != 0) return;
  if (TGLBaseSceneObject* object = OwnerSceneObject()) {
    object->PropagateChange(object);
    if (ChangeHandler) ChangeHandler(this);
    return;
  }
  TGLUpdateAbleObject::SignalChange();
}

void TGLMaterial::SetBlendingMode(TBlendingMode mode) {
  if (BlendingMode == mode) return;
  BlendingMode = mode;
  SignalChange();
}

void TGLMaterial::SetMaterialOptions(uint8_t options) {
  if (MaterialOptions == options) return;
  MaterialOptions = options;
  SignalChange();
}

void TGLMaterial::Assign(const TGLMaterial& other) {
  FrontProperties.Assign(other.FrontProperties);
  BackProperties.Assign(other.BackProperties);
  BlendingMode = other.BlendingMode;
  MaterialOptions = other.MaterialOptions;
  Texture.Disabled = other.Texture.Disabled;
  SignalChange();
}

void TGLMaterial::BeginUse(TRenderContextInfo& rci) const {
  FrontProperties.Apply(gl::Front);
  // With face culling the back faces are never seen.
  if (!HasState(rci.GLStates, TGLState::CullFace)) BackProperties.Apply(gl::Back);
  switch (BlendingMode) {
    case TBlendingMode::Opaque:
      DisableState(rci.GLStates, TGLState::Blend);
      break;
    case TBlendingMode::Transparency:
      EnableState(rci.GLStates, TGLState::Blend);
      if (GlApi* api = CurrentGlApi()) api->BlendFunc(gl::SrcAlpha, gl::OneMinusSrcAlpha);
      break;
    case TBlendingMode::Additive:
      EnableState(rci.GLStates, TGLState::Blend);
      if (GlApi* api = CurrentGlApi()) api->BlendFunc(gl::SrcAlpha, gl::One);
      break;
  }
  if ((MaterialOptions & kMaterialIgnoreFog) != 0 && HasState(rci.GLStates, TGLState::Fog)) {
    DisableState(rci.GLStates, TGLState::Fog);
    ++rci.FogSuspension;
  }
  if (Texture.Disabled) DisableState(rci.GLStates, TGLState::Texture2D);
}

void TGLMaterial::EndUse(TRenderContextInfo& rci) const {
  if ((MaterialOptions & kMaterialIgnoreFog) != 0 && rci.FogSuspension > 0) {
    if (--rci.FogSuspension == 0) EnableState(rci.GLStates, TGLState::Fog);
  }
}

bool WriteColorProperty(const TGLColor& color, std::array<uint8_t, 16>& bytes) {
  if (std::memcmp(color.Color.data(), color.DefaultColor.data(), 16) == 0) return false;
  PackSingles(color.Color, bytes);
  return true;
}

void ReadColorProperty(TGLColor& color, const std::array<uint8_t, 16>& bytes) { UnpackSingles(bytes, color.Color); }

bool WriteCoordinatesProperty(const TGLCoordinates& coordinates, std::array<uint8_t, 16>& bytes) {
  if (GeomEquals(coordinates.Coords, coordinates.DefaultCoords)) return false;
  PackSingles(coordinates.Coords, bytes);
  return true;
}

void ReadCoordinatesProperty(TGLCoordinates& coordinates, const std::array<uint8_t, 16>& bytes) {
  UnpackSingles(bytes, coordinates.Coords);
}

}  // namespace voq
