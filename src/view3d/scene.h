#pragma once
// A 3-D scene: the tree of objects and the cameras, the table of eight
// OpenGL lights, the viewers that show it, and one render pass for a viewer.
#include <array>
#include <string>
#include <vector>

#include "view3d/camera.h"
#include "view3d/scene_objects.h"

namespace voq {

// What the scene asks of a viewer that shows it.
class TGLSceneViewerServices {
 public:
  virtual ~TGLSceneViewerServices() = default;
  // Repaint at the next chance.
  virtual void Invalidate() = 0;
  // The viewer's rendering context.
  virtual GlApi* ContextApi() = 0;
  TGLStates States = 0;                 // the OpenGL states enabled in its context
  TVector CameraPosition{0, 0, 0, 1};  // recorded by its camera set-up
};

enum class TLightStyle : uint8_t { Spot, Omni, Parallel };

inline constexpr uint8_t kLightSpotChanged = 1;         // spot parameters must be sent
inline constexpr uint8_t kLightAttenuationChanged = 2;  // attenuation must be sent

class TGLLightSource : public TGLBaseSceneObject {
 public:
  TGLLightSource();
  ~TGLLightSource() override;
  bool IsLightSource() const override { return true; }
  TGLBaseSceneObject* CreateSameClass() const override { return new TGLLightSource; }

  GLenum LightID = 0;  // GL_LIGHT0 + slot once registered
  TGLCoordinates SpotDirection;
  float SpotExponent = 0;
  float SpotCutOff = 180;  // 180: no cone
  float ConstAttenuation = 0;
  float LinearAttenuation = 0;
  float QuadraticAttenuation = 0;
  bool Shining = true;
  TGLColor Ambient;
  TGLColor Diffuse;
  TGLColor Specular;
  TLightStyle LightStyle = TLightStyle::Spot;

  void SetSpotDirection(const TVector& direction);
  void SetSpotExponent(float value);
  void SetSpotCutOff(float value);
  void SetLightStyle(TLightStyle style);
  void SetConstAttenuation(float value);
  void SetLinearAttenuation(float value);
  void SetQuadraticAttenuation(float value);
  void SetShining(bool shining);
  void CoordinatesChanged(TGLCoordinates* coordinates) override;
  void ReleaseDisplayList(bool glContextGone) override;
  void RenderSelf(TRenderContextInfo& rci) override { RenderChildren(rci); }
};

class TGLScene : public TGLSceneServices {
 public:
  TGLScene();
  ~TGLScene() override;
  TGLScene(const TGLScene&) = delete;
  TGLScene& operator=(const TGLScene&) = delete;

  TGLSceneRootObject ObjectRoot;
  TGLBaseSceneObject CameraRoot;
  std::array<TGLLightSource*, 8> Lights{};
  std::vector<TGLSceneViewerServices*> Viewers;
  GlApi* SharedContext = nullptr;  // the first viewer's; the others share its lists
  TGLCamera* LastCamera = nullptr;
  TGLCamera* CurrentCamera = nullptr;
  TGLSceneViewerServices* CurrentViewer = nullptr;
  TGLObjectsSorting ObjectsSorting = TGLObjectsSorting::RenderBlendedLast;
  std::string LastOpenGLError;

  void PropagateChange() override;
  void AddLight(TGLBaseSceneObject* light) override;
  void RemoveLight(TGLBaseSceneObject* light) override;
  GlApi* FirstViewerApi() override { return SharedContext; }
  void ReportOpenGLError(const std::string& text) override { LastOpenGLError = text; }

  // The first empty slot takes the light; with none left it stays dark.
  void RegisterLight(TGLLightSource* light);
  void UnregisterLight(TGLLightSource* light);
  void RegisterViewer(TGLSceneViewerServices* viewer);
  void UnregisterViewer(TGLSceneViewerServices* viewer);
  // Makes the first viewer's context current; false without a viewer.
  bool ActivateSharedContext();
  void BeginUpdate();
  void EndUpdate();
  void SetObjectsSorting(TGLObjectsSorting sorting);
  void PrepareCamera(TGLCamera* camera);
  // Light colours and positions on every pass; spot and attenuation values
  // only after they changed.
  void SendLights(int32_t maxLights);
  void RenderPass(TGLSceneViewerServices* viewer, int32_t width, int32_t height);

 private:
  int32_t updateLock_ = 0;
  bool destroying_ = false;
};

// The three 12 x 13 one-bit letters X, Y and Z of the axes: rows bottom-up,
// the leftmost pixel in the most significant bit, each row padded to four
// bytes, as glBitmap reads them.
std::array<TGLBitmapLetter, 3> MakeAxisLetters();

}  // namespace voq
