#include "view3d/camera.h"

#include <algorithm>
#include <cmath>

#include "core/geometry_scalars.h"
#include "view3d/view3d_state.h"

namespace voq {

TGLCamera::TGLCamera() { Direction.SetInitial({0, 0, -1, 0}); }

void TGLCamera::SetFocalLength(float value) {
  if (!(value >= 1.0f)) value = 1.0f;
  if (FocalLength == value) return;
  FocalLength = value;
  if (!Loading) MarkTransformationChanged();
}

void TGLCamera::SetDepthOfView(float value) {
  if (DepthOfView == value) return;
  DepthOfView = value;
  if (!Loading) MarkTransformationChanged();
}

void TGLCamera::SetCameraStyle(TGLCameraStyle style) {
  if (CameraStyle == style) return;
  CameraStyle = style;
  PropagateChange(this);
}

void TGLCamera::SetTargetObject(TGLBaseSceneObject* target) {
  if (TargetObject == target) return;
  TargetObject = target;
  if (!Loading) MarkTransformationChanged();
}

void TGLCamera::LookThrough() {
  GlApi* api = CurrentGlApi();
  const TVector c = WorldPosition();
  TMatrix view{};
  if (TargetObject != nullptr) {
    const TVector t = TargetObject->WorldPosition();
    ViewDirection = GeomNormalize(GeomSubtract(t, c));
    view = GeomLookAtMatrix(c, t, Up.Coords);
  } else {
    const TMatrix parent = Parent != nullptr ? Parent->WorldMatrix() : kIdentityMatrix;
    const TVector d = GeomTransform(Direction.Coords, parent);
    ViewDirection = d;
    const TVector u = GeomTransform(Up.Coords, parent);
    view = GeomLookAtMatrix(c, GeomAdd(c, d), u);
  }
  if (api != nullptr) api->MultMatrixf(view[0].data());
  ChangeFlags &= static_cast<uint8_t>(~kChangeStructure);
}

void TGLCamera::SetProjection(int32_t viewportLeft, int32_t viewportTop, int32_t viewportWidth,
                              int32_t viewportHeight, int32_t width, int32_t height, int32_t dpi) {
  if (width < 1) return;
  const long double w = width;
  const long double h = height;
  const long double m = std::max(w, h);
  const bool orthogonal = CameraStyle == TGLCameraStyle::Orthogonal;
  const long double kx = orthogonal ? 100.0L / (w * FocalLength) : 1.0L / w;
  const long double ky = orthogonal ? 100.0L / (h * FocalLength) : 1.0L / h;
  const long double right = w * (2.0L * viewportWidth + 2.0L * viewportLeft - w) * kx / (2 * m);
  const long double left = -w * (w - 2.0L * viewportLeft) * kx / (2 * m);
  const long double top = h * (2.0L * viewportHeight + 2.0L * viewportTop - h) * ky / (2 * m);
  const long double bottom = -h * (h - 2.0L * viewportTop) * ky / (2 * m);
  NearDistance = static_cast<float>(FocalLength * 2.0L * dpi / (25.4L * m));
  const long double farDistance = static_cast<long double>(NearDistance) + DepthOfView;
  if (GlApi* api = CurrentGlApi()) {
    const auto d = [](long double x) { return static_cast<double>(x); };
    if (orthogonal) {
      api->Ortho(d(left), d(right), d(bottom), d(top), NearDistance, d(farDistance));
    } else {
      api->Frustum(d(left), d(right), d(bottom), d(top), NearDistance, d(farDistance));
    }
  }
  FrustumRatio = static_cast<float>(std::sqrt(right * right + top * top) / NearDistance);
}

void TGLCamera::OrbitAroundTarget(float pitchDelta, float turnDelta) {
  if (TargetObject == nullptr) return;
  constexpr float degree = 0.0174532924f;
  const TVector t = TargetObject->WorldPosition();
  const TVector c = WorldPosition();
  const TVector o = GeomSubtract(c, t);
  const float distance = GeomLength(o);
  TVector n = GeomNormalize(o);
  const TVector right = GeomNormalize(GeomCross(Up.Coords, n));
  float pitch = static_cast<float>(GeomArcCos(GeomDot(Up.Coords, n)));
  pitch = GeomClamp(static_cast<float>(static_cast<long double>(pitch) + pitchDelta * degree), 0.001f,
                    3.1405926f);
  n = GeomRotateVector(Up.Coords, right, -pitch);
  n = GeomRotateVector(n, Up.Coords, -turnDelta * degree);
  n = GeomScale(n, distance);
  Position.AssignVector(GeomAdd(Position.Coords, GeomSubtract(n, o)));
}

}  // namespace voq
