#include "view3d/scene.h"

#include <algorithm>

#include "view3d/view3d_state.h"

namespace voq {

namespace {

// The letters as pictures, top row first; '#' is a letter pixel.
constexpr const char* kLetterX[13] = {
    "            ", "##      ##  ", " ##    ##   ", "  ##  ##    ", "   ####     ", "    ##      ",
    "   ####     ", "  ##  ##    ", " ##    ##   ", "##      ##  ", "            ", "            ",
    "            "};
constexpr const char* kLetterY[13] = {
    "            ", "##      ##  ", " ##    ##   ", "  ##  ##    ", "   ####     ", "    ##      ",
    "    ##      ", "    ##      ", "    ##      ", "    ##      ", "            ", "            ",
    "            "};
constexpr const char* kLetterZ[13] = {
    "            ", "#########   ", "      ##    ", "     ##     ", "    ##      ", "   ##       ",
    "  ##        ", " ##         ", "##          ", "#########   ", "            ", "            ",
    "            "};

TGLBitmapLetter LetterFromPicture(const char* const (&picture)[13]) {
  TGLBitmapLetter letter;
  letter.Width = 12;
  letter.Height = 13;
  letter.Bits.assign(13 * 4, 0);
  for (int row = 0; row < 13; ++row) {
    const char* line = picture[12 - row];  // bottom-up
    for (int x = 0; x < 12; ++x) {
      if (line[x] == '#') letter.Bits[static_cast<size_t>(row * 4 + x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  return letter;
}

}  // namespace

std::array<TGLBitmapLetter, 3> MakeAxisLetters() {
  return {LetterFromPicture(kLetterX), LetterFromPicture(kLetterY), LetterFromPicture(kLetterZ)};
}

TGLLightSource::TGLLightSource()
    : SpotDirection(this, TGLCoordinates::Vector, {0, 0, -1, 0}), Ambient(this), Diffuse(this), Specular(this) {
  Diffuse.SetInitial({1, 1, 1, 1});
  Visible = false;
  ChangeFlags = 0;
}

TGLLightSource::~TGLLightSource() {
  if (Scene != nullptr) Scene->RemoveLight(this);
}

void TGLLightSource::SetSpotDirection(const TVector& direction) {
  SpotDirection.AssignVector(direction);
  ChangeFlags |= kLightSpotChanged;
  PropagateChange(this);
}

void TGLLightSource::SetSpotExponent(float value) {
  if (SpotExponent == value) return;
  SpotExponent = value;
  ChangeFlags |= kLightSpotChanged;
  PropagateChange(this);
}

void TGLLightSource::SetSpotCutOff(float value) {
  if (SpotCutOff == value) return;
  SpotCutOff = value;
  ChangeFlags |= kLightSpotChanged;
  PropagateChange(this);
}

void TGLLightSource::SetLightStyle(TLightStyle style) {
  if (LightStyle == style) return;
  LightStyle = style;
  ChangeFlags |= kLightSpotChanged;
  PropagateChange(this);
}

void TGLLightSource::SetConstAttenuation(float value) {
  if (ConstAttenuation == value) return;
  ConstAttenuation = value;
  ChangeFlags |= kLightAttenuationChanged;
  PropagateChange(this);
}

void TGLLightSource::SetLinearAttenuation(float value) {
  if (LinearAttenuation == value) return;
  LinearAttenuation = value;
  ChangeFlags |= kLightAttenuationChanged;
  PropagateChange(this);
}

void TGLLightSource::SetQuadraticAttenuation(float value) {
  if (QuadraticAttenuation == value) return;
  QuadraticAttenuation = value;
  ChangeFlags |= kLightAttenuationChanged;
  PropagateChange(this);
}

void TGLLightSource::SetShining(bool shining) {
  if (Shining == shining) return;
  Shining = shining;
  PropagateChange(this);
}

void TGLLightSource::CoordinatesChanged(TGLCoordinates* coordinates) {
  if (coordinates == &SpotDirection) ChangeFlags |= kLightSpotChanged;
  TGLBaseSceneObject::CoordinatesChanged(coordinates);
}

void TGLLightSource::ReleaseDisplayList(bool glContextGone) {
  GlApi* api = CurrentGlApi();
  if (Shining && !glContextGone && api != nullptr && LightID != 0) api->Disable(LightID);
}

TGLScene::TGLScene() {
  ObjectRoot.SetScene(this);
  CameraRoot.SetScene(this);
  View3dState().AxisLetters = MakeAxisLetters();
}

TGLScene::~TGLScene() {
  destroying_ = true;
  {
    // The lists live in the shared context: delete them there when it can
    // be made current, else they go with the context.
    GlApi* saved = CurrentGlApi();
    if (saved == nullptr && SharedContext != nullptr) SetCurrentGlApi(SharedContext);
    ObjectRoot.ReleaseDisplayLists(CurrentGlApi() == nullptr);
    SetCurrentGlApi(saved);
  }
  CameraRoot.DeleteChildren();
  ObjectRoot.DeleteChildren();
  ObjectRoot.Scene = nullptr;
  CameraRoot.Scene = nullptr;
  View3dState().AxisLetters = {};
}

void TGLScene::PropagateChange() {
  if (updateLock_ > 0 || destroying_) return;
  for (TGLSceneViewerServices* viewer : Viewers) viewer->Invalidate();
}

void TGLScene::AddLight(TGLBaseSceneObject* light) { RegisterLight(dynamic_cast<TGLLightSource*>(light)); }

void TGLScene::RemoveLight(TGLBaseSceneObject* light) { UnregisterLight(dynamic_cast<TGLLightSource*>(light)); }

void TGLScene::RegisterLight(TGLLightSource* light) {
  if (light == nullptr || std::find(Lights.begin(), Lights.end(), light) != Lights.end()) return;
  for (size_t i = 0; i < Lights.size(); ++i) {
    if (Lights[i] == nullptr) {
      Lights[i] = light;
      light->LightID = gl::Light0 + static_cast<GLenum>(i);
      return;
    }
  }
}

void TGLScene::UnregisterLight(TGLLightSource* light) {
  for (TGLLightSource*& slot : Lights) {
    if (slot == light) slot = nullptr;
  }
}

void TGLScene::RegisterViewer(TGLSceneViewerServices* viewer) {
  if (viewer == nullptr || std::find(Viewers.begin(), Viewers.end(), viewer) != Viewers.end()) return;
  Viewers.push_back(viewer);
  if (SharedContext == nullptr) SharedContext = viewer->ContextApi();
}

void TGLScene::UnregisterViewer(TGLSceneViewerServices* viewer) {
  const auto at = std::find(Viewers.begin(), Viewers.end(), viewer);
  if (at == Viewers.end()) return;
  if (Viewers.size() == 1) {
    // The lists go with the last context: forget them without deleting.
    ObjectRoot.ReleaseDisplayLists(true);
    Viewers.clear();
    SharedContext = nullptr;
    return;
  }
  Viewers.erase(at);
  SharedContext = Viewers.front()->ContextApi();
}

bool TGLScene::ActivateSharedContext() {
  if (Viewers.empty()) return false;
  SetCurrentGlApi(SharedContext);
  return true;
}

void TGLScene::BeginUpdate() { ++updateLock_; }

void TGLScene::EndUpdate() {
  if (updateLock_ == 0) return;
  if (--updateLock_ == 0) PropagateChange();
}

void TGLScene::SetObjectsSorting(TGLObjectsSorting sorting) {
  if (ObjectsSorting == sorting) return;
  ObjectsSorting = sorting;
  PropagateChange();
}

void TGLScene::PrepareCamera(TGLCamera* camera) {
  CurrentCamera = camera;
  CameraRoot.UpdateTransformation();
  ObjectRoot.UpdateTransformation();
  if (camera != nullptr) camera->LookThrough();
  LastCamera = camera;
}

void TGLScene::SendLights(int32_t maxLights) {
  GlApi* api = CurrentGlApi();
  if (api == nullptr) return;
  api->PushMatrix();
  const int32_t count = std::min<int32_t>(maxLights, static_cast<int32_t>(Lights.size()));
  for (int32_t i = 0; i < count; ++i) {
    TGLLightSource* light = Lights[static_cast<size_t>(i)];
    if (light == nullptr) {
      api->Disable(gl::Light0 + static_cast<GLenum>(i));
      continue;
    }
    if (!light->Shining) {
      api->Disable(light->LightID);
      continue;
    }
    const GLenum id = light->LightID;
    api->Enable(id);
    api->PopMatrix();
    api->PushMatrix();
    if (light->LightStyle == TLightStyle::Parallel) {
      api->MultMatrixf(light->WorldMatrix()[0].data());
      api->Lightfv(id, gl::Position, light->SpotDirection.Coords.data());
    } else {
      const TMatrix& frame = light->Parent != nullptr ? light->Parent->WorldMatrix() : kIdentityMatrix;
      api->MultMatrixf(frame[0].data());
      api->Lightfv(id, gl::Position, light->Position.Coords.data());
    }
    api->Lightfv(id, gl::Ambient, light->Ambient.Color.data());
    api->Lightfv(id, gl::Diffuse, light->Diffuse.Color.data());
    api->Lightfv(id, gl::Specular, light->Specular.Color.data());
    if ((light->ChangeFlags & kLightSpotChanged) != 0) {
      if (light->LightStyle == TLightStyle::Spot) {
        if (light->SpotCutOff != 180) {
          api->Lightfv(id, gl::SpotDirection, light->SpotDirection.Coords.data());
          api->Lightf(id, gl::SpotExponent, light->SpotExponent);
        }
        api->Lightf(id, gl::SpotCutoff, light->SpotCutOff);
      } else if (light->LightStyle == TLightStyle::Omni) {
        api->Lightf(id, gl::SpotCutoff, 180);
      }
      light->ChangeFlags &= static_cast<uint8_t>(~kLightSpotChanged);
    }
    if ((light->ChangeFlags & kLightAttenuationChanged) != 0) {
      api->Lightf(id, gl::ConstantAttenuation, light->ConstAttenuation);
      api->Lightf(id, gl::LinearAttenuation, light->LinearAttenuation);
      api->Lightf(id, gl::QuadraticAttenuation, light->QuadraticAttenuation);
      light->ChangeFlags &= static_cast<uint8_t>(~kLightAttenuationChanged);
    }
  }
  api->PopMatrix();
}

void TGLScene::RenderPass(TGLSceneViewerServices* viewer, int32_t width, int32_t height) {
  ForgetPolygonModes();
  ResetMaterialColors();
  CurrentViewer = viewer;
  TRenderContextInfo rci;
  rci.ObjectsSorting = ObjectsSorting;
  if (viewer != nullptr) {
    rci.CameraPosition = viewer->CameraPosition;
    rci.GLStates = viewer->States;
  }
  if (CurrentCamera != nullptr) {
    TVector direction = GeomNormalize(CurrentCamera->ViewDirection);
    direction[3] = 0;
    if (GeomIsNull(CurrentCamera->ViewDirection)) direction = {0, 0, -1, 0};
    rci.CameraDirection = direction;
    rci.FrustumRatio = CurrentCamera->FrustumRatio;
    rci.FarDistance = CurrentCamera->NearDistance + CurrentCamera->DepthOfView;
    rci.AxisLength = CurrentCamera->DepthOfView;
    rci.AxisLabels = CurrentCamera->ShowAxisLabels;
  }
  rci.CullPosition = rci.CameraPosition;
  rci.CullDirection = rci.CameraDirection;
  rci.ViewportWidth = width;
  rci.ViewportHeight = height;
  rci.AxisLetters = &View3dState().AxisLetters;
  ObjectRoot.RenderObject(rci);
  if (viewer != nullptr) viewer->States = rci.GLStates;
}

}  // namespace voq
