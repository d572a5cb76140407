#pragma once
// The camera the viewer looks through: projection from its style, focal
// length and depth of view against the output's size and resolution, and
// the viewing transformation towards its target (or along its direction).
#include "view3d/scene_objects.h"

namespace voq {

enum class TGLCameraStyle : uint8_t { Perspective, Orthogonal };

class TGLCamera : public TGLBaseSceneObject {
 public:
  TGLCamera();
  bool IsCamera() const override { return true; }
  TGLBaseSceneObject* CreateSameClass() const override { return new TGLCamera; }

  float FocalLength = 50;   // millimetres against the output's dots per inch; at least 1
  float DepthOfView = 100;  // near to far plane; also the length of object axes
  float NearDistance = 0;
  float FrustumRatio = 0;
  TGLBaseSceneObject* TargetObject = nullptr;
  TVector ViewDirection{};
  TGLCameraStyle CameraStyle = TGLCameraStyle::Perspective;
  bool ShowAxisLabels = false;  // whoever changes it asks for the repaint

  void SetFocalLength(float value);
  void SetDepthOfView(float value);
  void SetCameraStyle(TGLCameraStyle style);
  void SetTargetObject(TGLBaseSceneObject* target);
  // Multiplies the model-view matrix by the viewing transformation.
  void LookThrough();
  // Multiplies the projection matrix; nothing for an output narrower than 1.
  void SetProjection(int32_t viewportLeft, int32_t viewportTop, int32_t viewportWidth, int32_t viewportHeight,
                     int32_t width, int32_t height, int32_t dpi);
  // Moves Position on the sphere around the target: pitch measured from Up
  // and kept just inside (0, pi), so the view never flips over a pole.
  void OrbitAroundTarget(float pitchDelta, float turnDelta);
  // A camera draws nothing of its own.
  void RenderSelf(TRenderContextInfo& rci) override { RenderChildren(rci); }
};

}  // namespace voq
