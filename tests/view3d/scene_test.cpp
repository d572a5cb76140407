// The height field, grid planes, camera, scene and lights, with every
// OpenGL call recorded by RecordingGlApi. Expected values are worked by
// hand from the sampling rules (32-bit steps) and the projection formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "view3d/camera.h"
#include "view3d/grid_lines.h"
#include "view3d/height_field.h"
#include "view3d/scene.h"
#include "view3d/view3d_state.h"

namespace voq {
namespace {

class FakeViewer : public TGLSceneViewerServices {
 public:
  explicit FakeViewer(GlApi* api) : api_(api) {}
  int Invalidated = 0;
  void Invalidate() override { ++Invalidated; }
  GlApi* ContextApi() override { return api_; }

 private:
  GlApi* api_;
};

class View3dSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gl_.QuietVertices = true;
    SetCurrentGlApi(&gl_);
  }
  void TearDown() override { SetCurrentGlApi(nullptr); }

  // Builds the field's geometry once into the recorder.
  void Build(THeightField& field) {
    TRenderContextInfo rci;
    gl_.Calls.clear();
    gl_.Vertices.clear();
    gl_.Normals.clear();
    field.BuildGeometry(rci);
  }
  static void Range(TGLSamplingScale& scale, float min, float max, float origin, float step) {
    scale.SetMax(max);
    scale.SetMin(min);
    scale.SetOrigin(origin);
    scale.SetStep(step);
  }

  RecordingGlApi gl_;
};

TEST_F(View3dSceneTest, HeightFieldSamplesRowsToMaxAndColumnsBelowIt) {
  THeightField field;
  Range(field.XSamplingScale, -1, 1, 0, 0.02f);
  Range(field.YSamplingScale, -1, 1, 0, 0.02f);
  Build(field);
  EXPECT_EQ(gl_.Count("Begin 0x0005"), 100);  // 101 rows
  EXPECT_EQ(gl_.Vertices.size(), 100u * 202u);  // 101 columns, two rows a strip
  float maxX = -2;
  for (const auto& v : gl_.Vertices) maxX = std::max(maxX, v[0]);
  // Fifty 32-bit additions of 0.02f from -1 fall just short of 1.
  EXPECT_NEAR(maxX, 0.99999923f, 2e-8f);
  EXPECT_EQ(gl_.Count("PushAttrib 0x2000"), 1);  // two-sided by default
  EXPECT_EQ(gl_.Count("Disable 0x0B44"), 1);

  // Step 0.1 reaches 1.0000001: 20 samples each way, none at 1.
  Range(field.XSamplingScale, -1, 1, 0, 0.1f);
  Range(field.YSamplingScale, -1, 1, 0, 0.1f);
  Build(field);
  EXPECT_EQ(gl_.Count("Begin 0x0005"), 19);
  EXPECT_EQ(gl_.Vertices.size(), 19u * 40u);
  for (const auto& v : gl_.Vertices) EXPECT_LT(v[0], 1.0f);

  // Origin on Min: 101 rows and columns again.
  Range(field.XSamplingScale, -1, 1, -1, 0.02f);
  Range(field.YSamplingScale, -1, 1, -1, 0.02f);
  Build(field);
  EXPECT_EQ(gl_.Count("Begin 0x0005"), 100);
  EXPECT_EQ(gl_.Vertices.size(), 100u * 202u);
}

TEST_F(View3dSceneTest, SamplingScaleRules) {
  TGLSamplingScale scale(static_cast<TGLUpdateAbleObject*>(nullptr));
  Range(scale, 0, 1, -0.25f, 0.1f);
  // k = (-0.25 - 0) / 0.1 = -2.5: n = -3, first = -0.25 + 0.3.
  EXPECT_NEAR(scale.FirstSample(), 0.05f, 1e-7f);
  // Min on the lattice below Origin's side (k = -5 exactly) is itself the
  // first sample.
  Range(scale, 0.5f, 1, 0, 0.1f);
  EXPECT_EQ(scale.FirstSample(), 0.5f);
  scale.SetStep(0);
  EXPECT_EQ(scale.Step, 1.0f);
  scale.SetStep(-3);
  EXPECT_EQ(scale.Step, 1.0f);
  scale.SetMax(1);
  scale.SetMin(2);
  EXPECT_EQ(scale.Min, 2.0f);
  EXPECT_EQ(scale.Max, 2.0f);
  scale.SetMin(0);
  scale.SetMax(-5);
  EXPECT_EQ(scale.Min, -5.0f);
  EXPECT_EQ(scale.Max, -5.0f);
  Range(scale, -1, 1, 0, 0.1f);
  EXPECT_EQ(scale.SampleCount(), 20);  // 20.5 rounds to even
  float first = 0;
  float step = 0;
  float last = 0;
  scale.GridBounds(false, first, step, last);
  EXPECT_EQ(first, 0.0f);
  EXPECT_EQ(last, 0.0f);
}

TEST_F(View3dSceneTest, HeightFieldEdgesNormalsAndGridLines) {
  FakeViewer viewer(&gl_);
  TGLScene scene;
  scene.RegisterViewer(&viewer);
  auto* field = new THeightField;
  scene.ObjectRoot.AddChild(field);
  auto* child = new THeightField;  // renders even when its parent draws nothing
  field->AddChild(child);
  Range(field->XSamplingScale, 0, 0, 0, 0.1f);
  Range(field->YSamplingScale, -1, 1, 0, 0.1f);
  Range(child->XSamplingScale, -1, 1, 0, 0.5f);
  Range(child->YSamplingScale, -1, 1, 0, 0.5f);
  scene.ObjectRoot.UpdateTransformation();
  gl_.Calls.clear();
  scene.RenderPass(&viewer, 100, 100);
  EXPECT_EQ(gl_.Count("NewList"), 2);
  EXPECT_EQ(gl_.Count("Begin 0x0005"), 4);  // the child's 5 rows only

  // One row only: no strip.
  Range(field->XSamplingScale, -1, 1, 0, 0.1f);
  Range(field->YSamplingScale, 0, 0.05f, 0, 0.1f);
  Build(*field);
  EXPECT_EQ(gl_.Count("Begin 0x0005"), 0);

  // A plane z = x: an interior vertex has twice the slope of an edge one.
  field->SetOnGetHeight([](float x, float, float& z, TColorVector&, TTexPoint&) { z = x; });
  Range(field->XSamplingScale, 0, 0.35f, 0, 0.1f);
  Range(field->YSamplingScale, 0, 0.15f, 0, 0.1f);
  Build(*field);
  ASSERT_FALSE(gl_.Normals.empty());
  const float edge = 1 / std::sqrt(2.0f);
  const float inner = 1 / std::sqrt(5.0f);
  // The strip starts with the upper row's first vertex, then the lower
  // row's first, then the upper row's second.
  EXPECT_NEAR(gl_.Normals[0][0], -edge, 1e-5f);
  EXPECT_NEAR(gl_.Normals[0][2], edge, 1e-5f);
  EXPECT_NEAR(gl_.Normals[2][0], -2 * inner, 1e-5f);
  EXPECT_NEAR(gl_.Normals[2][2], inner, 1e-5f);
  EXPECT_EQ(gl_.Count("TexCoord2fv"), 0);  // not asked for

  // The surface grid lines: 19 strips of 101 points at x = -0.9 .. 0.9.
  field->XGridLines = true;
  Range(field->XSamplingScale, -1, 1, 0, 0.5f);
  Range(field->YSamplingScale, -1, 1, 0, 0.5f);
  Build(*field);
  EXPECT_EQ(gl_.Count("Begin 0x0003"), 19);
  const size_t surface = gl_.Vertices.size() - 19 * 101;
  EXPECT_NEAR(gl_.Vertices[surface][0], -0.9f, 1e-6f);
  EXPECT_NEAR(gl_.Vertices.back()[0], 0.9f, 1e-6f);
  EXPECT_NEAR(gl_.Vertices[surface][2], gl_.Vertices[surface][0] + 0.0105f, 1e-6f);  // lifted above z = x
  scene.UnregisterViewer(&viewer);
}

TEST_F(View3dSceneTest, GridLattices) {
  TXYZGrid grid;
  TRenderContextInfo rci;
  grid.SetParts(0);
  gl_.Calls.clear();
  grid.BuildGeometry(rci);
  EXPECT_EQ(gl_.Count("PushAttrib 0x6045"), 1);
  EXPECT_EQ(gl_.Count("PopAttrib"), 1);
  EXPECT_EQ(gl_.Count("Begin"), 0);
  EXPECT_EQ(gl_.Count("LineStipple"), 0);  // solid
  EXPECT_EQ(gl_.Count("Enable 0x0BE2"), 0);

  grid.SetParts(kGridPartX);
  Range(grid.XSamplingScale, -1, 1, 0, 0.1f);
  grid.SetLinePattern(0x0F0F);
  gl_.Calls.clear();
  gl_.Vertices.clear();
  grid.BuildGeometry(rci);
  EXPECT_EQ(gl_.Count("Begin 0x0003"), 1);  // y and z pinned at their origins
  EXPECT_EQ(gl_.Vertices.size(), 21u);       // -1 .. 1, the last kept by the extension
  EXPECT_EQ(gl_.Count("LineStipple 1 0x0F0F"), 1);
  EXPECT_EQ(gl_.Count("Enable 0x0BE2"), 1);

  // A drawn axis without range has one value.
  grid.SetParts(kGridPartX | kGridPartY);
  Range(grid.YSamplingScale, 0.5f, 0.5f, 0, 0.1f);
  gl_.Calls.clear();
  grid.BuildGeometry(rci);
  EXPECT_EQ(gl_.Count("Begin 0x0003"), 1 + 21);

  grid.SetLinesStyle(TXYZGridLinesStyle::Line);
  gl_.Vertices.clear();
  grid.SetParts(kGridPartX);
  grid.BuildGeometry(rci);
  ASSERT_EQ(gl_.Vertices.size(), 2u);
  EXPECT_EQ(gl_.Vertices[0][0], -1.0f);
  EXPECT_EQ(gl_.Vertices[1][0], 1.0f);
}

TEST_F(View3dSceneTest, CameraZoomProjectionAndOrbit) {
  FakeViewer viewer(&gl_);
  TGLScene scene;
  scene.RegisterViewer(&viewer);
  auto* camera = new TGLCamera;
  scene.CameraRoot.AddChild(camera);
  camera->SetFocalLength(0.5f);
  EXPECT_EQ(camera->FocalLength, 1.0f);
  viewer.Invalidated = 0;
  camera->ChangeFlags = 0;
  camera->SetFocalLength(1.0f);
  EXPECT_EQ(viewer.Invalidated, 0);

  // Orthogonal, focal length 10, square output: a 10-unit square.
  camera->SetCameraStyle(TGLCameraStyle::Orthogonal);
  camera->SetFocalLength(10);
  gl_.Calls.clear();
  camera->SetProjection(0, 0, 100, 100, 100, 100, 96);
  ASSERT_EQ(gl_.Count("Ortho"), 1);
  EXPECT_EQ(gl_.CallsStartingWith("Ortho")[0].substr(0, 16), "Ortho -5 5 -5 5 ");
  camera->SetFocalLength(20);
  gl_.Calls.clear();
  camera->SetProjection(0, 0, 100, 100, 100, 100, 96);
  EXPECT_EQ(gl_.CallsStartingWith("Ortho")[0].substr(0, 24), "Ortho -2.5 2.5 -2.5 2.5 ");
  gl_.Calls.clear();
  camera->SetProjection(0, 0, 0, 100, 0, 100, 96);
  EXPECT_TRUE(gl_.Calls.empty());

  // Orbiting: no target, nothing moves.
  camera->SetPosition({0, 0, 10, 1});
  scene.CameraRoot.UpdateTransformation();
  camera->OrbitAroundTarget(30, 30);
  EXPECT_EQ(camera->Position.Coords, (TVector{0, 0, 10, 1}));

  auto* target = new TGLSceneObject;
  scene.ObjectRoot.AddChild(target);
  camera->SetTargetObject(target);
  scene.ObjectRoot.UpdateTransformation();
  // A full turn comes back to the start.
  camera->OrbitAroundTarget(0, 360);
  scene.CameraRoot.UpdateTransformation();
  EXPECT_NEAR(camera->Position.Coords[0], 0.0f, 1e-4f);
  EXPECT_NEAR(camera->Position.Coords[2], 10.0f, 1e-4f);
  // A large pitch stops 0.001 rad short of the up direction, at distance 10.
  camera->OrbitAroundTarget(-1000, 0);
  scene.CameraRoot.UpdateTransformation();
  const TVector offset = camera->Position.Coords;
  const float length = GeomLength(GeomVectorMake(offset[0], offset[1], offset[2]));
  EXPECT_NEAR(length, 10.0f, 1e-3f);
  EXPECT_NEAR(std::acos(offset[1] / length), 0.001f, 2e-4f);
  scene.UnregisterViewer(&viewer);
}

TEST_F(View3dSceneTest, LightSlotsAndParametersSentOnceAfterAChange) {
  TGLScene scene;
  std::vector<TGLLightSource*> lights;
  for (int k = 0; k < 9; ++k) {
    auto* light = new TGLLightSource;
    scene.ObjectRoot.AddChild(light);
    lights.push_back(light);
  }
  EXPECT_EQ(lights[7]->LightID, gl::Light0 + 7);
  EXPECT_EQ(lights[8]->LightID, 0u);  // the ninth has no slot
  delete lights[2];                    // frees slot 2
  gl_.Calls.clear();
  scene.SendLights(8);
  EXPECT_EQ(gl_.Count("Disable 0x4002"), 1);
  EXPECT_EQ(gl_.Count("Enable 0x4000"), 1);

  lights[0]->SetLightStyle(TLightStyle::Omni);
  gl_.Calls.clear();
  scene.SendLights(8);
  EXPECT_EQ(gl_.Count("Lightf 0x4000 0x1206 180"), 1);
  gl_.Calls.clear();
  scene.SendLights(8);
  EXPECT_EQ(gl_.Count("Lightf 0x4000 0x1206"), 0);  // only after a change

  // A spot left at 180 sends its cut-off but no direction or exponent.
  lights[1]->SetSpotExponent(2);
  gl_.Calls.clear();
  scene.SendLights(8);
  EXPECT_EQ(gl_.Count("Lightf 0x4001 0x1206 180"), 1);
  EXPECT_EQ(gl_.Count("Lightfv 0x4001 0x1204"), 0);
  EXPECT_EQ(gl_.Count("Lightf 0x4001 0x1205"), 0);
  lights[1]->SetSpotCutOff(30);
  gl_.Calls.clear();
  scene.SendLights(8);
  EXPECT_EQ(gl_.Count("Lightfv 0x4001 0x1204"), 1);
  EXPECT_EQ(gl_.Count("Lightf 0x4001 0x1205 2"), 1);
}

TEST_F(View3dSceneTest, ViewersInvalidatedOnceAfterAnUpdate) {
  TGLScene scene;
  auto* object = new TGLSceneObject;
  scene.ObjectRoot.AddChild(object);
  object->SetVisible(false);  // no viewer: ignored
  FakeViewer first(&gl_);
  FakeViewer second(&gl_);
  scene.RegisterViewer(&first);
  scene.RegisterViewer(&second);
  scene.RegisterViewer(&first);
  EXPECT_EQ(scene.Viewers.size(), 2u);
  scene.BeginUpdate();
  object->SetVisible(true);
  object->SetShowAxes(true);
  EXPECT_EQ(first.Invalidated, 0);
  scene.EndUpdate();
  EXPECT_EQ(first.Invalidated, 1);
  EXPECT_EQ(second.Invalidated, 1);
  scene.UnregisterViewer(&first);
  EXPECT_EQ(scene.SharedContext, &gl_);
  scene.UnregisterViewer(&second);
  EXPECT_EQ(scene.SharedContext, nullptr);
}

TEST_F(View3dSceneTest, RenderPassDrawsTheTreeThroughTheCamera) {
  FakeViewer viewer(&gl_);
  TGLScene scene;
  scene.RegisterViewer(&viewer);
  auto* camera = new TGLCamera;
  scene.CameraRoot.AddChild(camera);
  camera->SetPosition({0, 0, 5, 1});
  camera->ShowAxisLabels = true;
  auto* field = new THeightField;
  scene.ObjectRoot.AddChild(field);
  field->SetShowAxes(true);
  Range(field->XSamplingScale, -1, 1, 0, 0.5f);
  Range(field->YSamplingScale, -1, 1, 0, 0.5f);
  gl_.Calls.clear();
  scene.PrepareCamera(camera);
  // Looking from (0, 0, 5) down -z: the view matrix moves the world 5 back.
  const auto look = gl_.CallsStartingWith("MultMatrixf");
  ASSERT_EQ(look.size(), 1u);
  EXPECT_EQ(look[0], "MultMatrixf 1 0 -0 0 -0 1 -0 0 0 0 1 0 -0 -0 -5 1");
  scene.RenderPass(&viewer, 200, 100);
  EXPECT_EQ(gl_.Count("NewList"), 1);
  EXPECT_EQ(gl_.Count("Bitmap 12 13"), 3);  // the axis letters
  EXPECT_EQ(gl_.Count("Vertex3f 100 0 0"), 0);
  EXPECT_EQ(gl_.Count("PushMatrix"), gl_.Count("PopMatrix"));
  scene.UnregisterViewer(&viewer);
}

TEST_F(View3dSceneTest, AxisLettersArePackedBottomUp) {
  const auto letters = MakeAxisLetters();
  ASSERT_EQ(letters[0].Bits.size(), 52u);  // 13 rows of 4 bytes
  // The bottom three rows are blank; row 3 is the X's lowest stroke row
  // "##      ##  ": bits 0 1 and 8 9.
  EXPECT_EQ(letters[0].Bits[0], 0);
  EXPECT_EQ(letters[0].Bits[12], 0xC0);
  EXPECT_EQ(letters[0].Bits[13], 0xC0);
}

}  // namespace
}  // namespace voq
