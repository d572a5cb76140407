#pragma once
// The value objects of the scene: owned sub-objects that report their
// changes up an owner chain (TGLUpdateAbleObject), colours and coordinates,
// the face properties and materials that say how a surface reflects light,
// and the textures every material has (always disabled here).
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "view3d/render_context.h"
#include "view3d/vector_geometry.h"

namespace voq {

class TGLBaseSceneObject;

// A component of the scene that passes changes to its owner.
class TGLUpdateAbleComponent {
 public:
  virtual ~TGLUpdateAbleComponent() = default;
  TGLUpdateAbleComponent* OwnerComponent = nullptr;
  virtual void PropagateChange(TGLUpdateAbleComponent* sender);
  // The scene object this component is, or null.
  virtual TGLBaseSceneObject* AsSceneObject() { return nullptr; }
};

class TGLUpdateAbleObject {
 public:
  explicit TGLUpdateAbleObject(TGLUpdateAbleObject* owner) : OwnerObject(owner) {}
  explicit TGLUpdateAbleObject(TGLUpdateAbleComponent* owner) : OwnerComponent(owner) {}
  TGLUpdateAbleObject(const TGLUpdateAbleObject&) = delete;
  TGLUpdateAbleObject& operator=(const TGLUpdateAbleObject&) = delete;
  virtual ~TGLUpdateAbleObject() = default;

  TGLUpdateAbleObject* OwnerObject = nullptr;
  TGLUpdateAbleComponent* OwnerComponent = nullptr;
  int32_t Updating = 0;
  std::function<void(TGLUpdateAbleObject*)> ChangeHandler;

  // The owner hears of the change (an owning object through SignalChange, an
  // owning component through PropagateChange), then ChangeHandler. Nothing
  // happens while updating or without an owner.
  virtual void SignalChange();

 protected:
  TGLBaseSceneObject* OwnerSceneObject() const;
};

class TGLColor : public TGLUpdateAbleObject {
 public:
  using TGLUpdateAbleObject::TGLUpdateAbleObject;
  TColorVector Color{0, 0, 0, 1};
  TColorVector DefaultColor{0, 0, 0, 1};

  // A colour change of a scene object's own colour rebuilds its geometry.
  void SignalChange() override;
  // Stores and notifies only when the value differs (0 red .. 3 alpha).
  void SetComponent(int index, float value);
  void SetColor(const TColorVector& color);
  void SetInitial(const TColorVector& color);
  void Assign(const TGLColor& other);
};

class TGLCoordinates : public TGLUpdateAbleObject {
 public:
  enum TStyle : uint8_t { Point = 0, Vector = 1 };
  TGLCoordinates(TGLUpdateAbleComponent* owner, TStyle style, const TVector& initial);
  TGLCoordinates(TGLUpdateAbleObject* owner, TStyle style, const TVector& initial);
  TStyle Style;
  TVector Coords{};
  TVector DefaultCoords{};

  // A scene object's own coordinates report to its CoordinatesChanged.
  void SignalChange() override;
  // Stores and notifies every time, also for an unchanged value.
  void SetCoordinate(int index, float value);
  void SetVector(float x, float y, float z);
  void SetPoint(float x, float y, float z);
  // Copies the four components, w forced to the style's, one notification.
  void AssignVector(const TVector& v);
  // Copies without notification.
  void Assign(const TGLCoordinates& other);
  void Normalize();
  float Length() const;
  void SetInitial(const TVector& v);
};

enum class TPolygonMode : uint8_t { Fill, Lines, Points };

class TGLFaceProperties : public TGLUpdateAbleObject {
 public:
  explicit TGLFaceProperties(TGLUpdateAbleObject* owner);
  TGLColor Ambient;
  TGLColor Diffuse;
  TGLColor Specular;
  TGLColor Emission;
  TPolygonMode PolygonMode = TPolygonMode::Fill;
  uint8_t Shininess = 0;  // 0..128

  void SetPolygonMode(TPolygonMode mode);
  void SetShininess(uint8_t value);
  void Assign(const TGLFaceProperties& other);
  // The colours, shininess and polygon mode to one face, through the caches.
  void Apply(GLenum face) const;
};

enum class TBlendingMode : uint8_t { Opaque, Transparency, Additive };
inline constexpr uint8_t kMaterialIgnoreFog = 1;  // bit 0 of MaterialOptions

class TGLTexture : public TGLUpdateAbleObject {
 public:
  using TGLUpdateAbleObject::TGLUpdateAbleObject;
  bool Disabled = true;  // textures are never enabled in this program
};

class TGLMaterial : public TGLUpdateAbleObject {
 public:
  explicit TGLMaterial(TGLUpdateAbleComponent* owner);
  TGLFaceProperties FrontProperties;
  TGLFaceProperties BackProperties;
  TBlendingMode BlendingMode = TBlendingMode::Opaque;
  TGLTexture Texture;
  uint8_t MaterialOptions = 0;

  // An owning scene object repaints; the material is applied outside its
  // display list, so nothing is rebuilt.
  void SignalChange() override;
  void SetBlendingMode(TBlendingMode mode);
  void SetMaterialOptions(uint8_t options);
  void Assign(const TGLMaterial& other);
  void BeginUse(TRenderContextInfo& rci) const;
  void EndUse(TRenderContextInfo& rci) const;
};

// The binary stream properties "Color" and "Coordinates": 16 bytes, the four
// components as little-endian IEEE singles, written only when they differ
// from the default; reading sets the value without a notification.
bool WriteColorProperty(const TGLColor& color, std::array<uint8_t, 16>& bytes);
void ReadColorProperty(TGLColor& color, const std::array<uint8_t, 16>& bytes);
bool WriteCoordinatesProperty(const TGLCoordinates& coordinates, std::array<uint8_t, 16>& bytes);
void ReadCoordinatesProperty(TGLCoordinates& coordinates, const std::array<uint8_t, 16>& bytes);

}  // namespace voq
