// Colours, coordinates, materials, the OpenGL caches and the scene objects,
// with every OpenGL call recorded by RecordingGlApi.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "view3d/gl_state.h"
#include "view3d/gl_values.h"
#include "view3d/scene_objects.h"
#include "view3d/view3d_state.h"

namespace voq {
namespace {

class FakeScene : public TGLSceneServices {
 public:
  int Changes = 0;
  std::vector<std::string> Errors;
  void PropagateChange() override { ++Changes; }
  void ReportOpenGLError(const std::string& text) override { Errors.push_back(text); }
};

// An object whose geometry is one recorded line, or that fails to build.
class Marker : public TGLSceneObject {
 public:
  explicit Marker(float tag = 0, bool fails = false) : fails_(fails) { TagFloat = tag; }
  void BuildGeometry(TRenderContextInfo& /*rci*/) override {
    if (fails_) throw std::runtime_error("no geometry");
    if (GlApi* api = CurrentGlApi()) api->Vertex3f(TagFloat, 0, 0);
  }

 private:
  bool fails_;
};

class SceneObjectsTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentGlApi(&gl_); }
  void TearDown() override { SetCurrentGlApi(nullptr); }

  // The TagFloat of each object drawn, in drawing order.
  std::vector<float> DrawOrder() const {
    std::vector<float> order;
    for (const std::string& call : gl_.CallsStartingWith("Vertex3f ")) order.push_back(std::stof(call.substr(9)));
    return order;
  }

  RecordingGlApi gl_;
  FakeScene scene_;
};

TEST_F(SceneObjectsTest, AnUnchangedColourIsSilentAnUnchangedCoordinateIsNot) {
  TGLSceneObject root;
  root.SetScene(&scene_);
  auto* object = new TGLSceneObject;
  root.AddChild(object);
  root.UpdateTransformation();
  int handled = 0;
  object->Material.FrontProperties.Diffuse.ChangeHandler = [&](TGLUpdateAbleObject*) { ++handled; };
  scene_.Changes = 0;

  object->Material.FrontProperties.Diffuse.SetComponent(0, 0.8f);  // the current value
  EXPECT_EQ(handled, 0);
  EXPECT_EQ(scene_.Changes, 0);
  object->Material.FrontProperties.Diffuse.SetComponent(0, 0.5f);
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(scene_.Changes, 1);

  scene_.Changes = 0;
  object->Position.SetCoordinate(0, object->Position.Coords[0]);  // the current value
  EXPECT_EQ(scene_.Changes, 1);
  EXPECT_NE(object->ChangeFlags & kChangeTransformation, 0);
  // A second change before the render propagates nothing more.
  object->Position.SetCoordinate(1, 2);
  object->MarkTransformationChanged();
  EXPECT_EQ(scene_.Changes, 1);
}

TEST_F(SceneObjectsTest, MaterialCachesSendOnlyWhatOpenGLDoesNotHold) {
  ResetMaterialColors();
  TGLSceneObject object;
  TRenderContextInfo rci;
  object.Material.BeginUse(rci);
  EXPECT_EQ(gl_.Count("Materialfv 0x0404"), 4);  // emission, ambient, diffuse, specular
  EXPECT_EQ(gl_.Count("Materialfv 0x0405"), 4);  // no culling: the back too
  gl_.Calls.clear();

  object.Material.FrontProperties.Ambient.SetComponent(3, 0.5f);  // alpha alone
  object.Material.BeginUse(rci);
  EXPECT_EQ(gl_.Count("Materialfv"), 0);
  object.Material.FrontProperties.Diffuse.SetComponent(3, 0.5f);  // diffuse alpha counts
  object.Material.BeginUse(rci);
  EXPECT_EQ(gl_.CallsStartingWith("Materialfv"),
            std::vector<std::string>{"Materialfv 0x0404 0x1201 0.8 0.8 0.8 0.5"});
  gl_.Calls.clear();

  // With face culling the back is never sent, even after a reset.
  ResetMaterialColors();
  gl_.Calls.clear();
  EnableState(rci.GLStates, TGLState::CullFace);
  object.Material.BeginUse(rci);
  EXPECT_EQ(gl_.Count("Materialfv 0x0405"), 0);
  EXPECT_EQ(gl_.Count("Materialfv 0x0404"), 4);
}

TEST_F(SceneObjectsTest, BlendingFogAndEnabledStates) {
  TGLSceneObject object;
  TRenderContextInfo rci;
  EnableState(rci.GLStates, TGLState::Fog);
  object.Material.SetBlendingMode(TBlendingMode::Transparency);
  object.Material.SetMaterialOptions(kMaterialIgnoreFog);
  gl_.Calls.clear();
  object.Material.BeginUse(rci);
  EXPECT_EQ(gl_.Count("Enable 0x0BE2"), 1);
  EXPECT_EQ(gl_.Count("BlendFunc 0x0302 0x0303"), 1);
  EXPECT_EQ(gl_.Count("Disable 0x0B60"), 1);
  EXPECT_EQ(rci.FogSuspension, 1);
  object.Material.EndUse(rci);
  EXPECT_EQ(rci.FogSuspension, 0);
  EXPECT_TRUE(HasState(rci.GLStates, TGLState::Fog));
  // Enabling an enabled state sends nothing.
  gl_.Calls.clear();
  EnableState(rci.GLStates, TGLState::Blend);
  EXPECT_TRUE(gl_.Calls.empty());
  ApplyStates(rci.GLStates);
  EXPECT_EQ(gl_.Calls.size(), static_cast<size_t>(kGLStateCount));
  // Polygon modes: front and back each cached, both at once only when needed.
  ForgetPolygonModes();
  gl_.Calls.clear();
  SendPolygonMode(gl::FrontAndBack, gl::Fill);
  SendPolygonMode(gl::Front, gl::Fill);
  SendPolygonMode(gl::FrontAndBack, gl::Fill);
  EXPECT_EQ(gl_.Calls, std::vector<std::string>{"PolygonMode 0x0408 0x1B02"});
}

TEST_F(SceneObjectsTest, StreamPropertiesAndWindowsColours) {
  TGLColor colour(static_cast<TGLUpdateAbleObject*>(nullptr));
  std::array<uint8_t, 16> bytes{};
  EXPECT_FALSE(WriteColorProperty(colour, bytes));  // the default is not written
  colour.Color = {1.0f, 0.5f, 0.0f, 1.0f};
  ASSERT_TRUE(WriteColorProperty(colour, bytes));
  // 1.0f = 0x3F800000 and 0.5f = 0x3F000000, little-endian.
  const std::array<uint8_t, 16> expected = {0, 0, 0x80, 0x3F, 0, 0, 0, 0x3F, 0, 0, 0, 0, 0, 0, 0x80, 0x3F};
  EXPECT_EQ(bytes, expected);
  TGLColor read(static_cast<TGLUpdateAbleObject*>(nullptr));
  int handled = 0;
  read.ChangeHandler = [&](TGLUpdateAbleObject*) { ++handled; };
  ReadColorProperty(read, bytes);
  EXPECT_EQ(read.Color, colour.Color);
  EXPECT_EQ(handled, 0);

  TGLCoordinates point(static_cast<TGLUpdateAbleObject*>(nullptr), TGLCoordinates::Point, {0, 0, 0, 1});
  EXPECT_FALSE(WriteCoordinatesProperty(point, bytes));
  point.Coords = {2, 0, 0, 1};
  EXPECT_TRUE(WriteCoordinatesProperty(point, bytes));

  const TColorVector orange = WinColorToRGBA(0x0080FF, 0.25f);  // 0x00BBGGRR
  EXPECT_EQ(orange, (TColorVector{1.0f, 128.0f / 255.0f, 0.0f, 0.25f}));
}

TEST_F(SceneObjectsTest, DirectionAndUpStayOrthonormal) {
  TGLSceneObject object;
  object.SetDirection({0, 1, 0, 0});  // along Up
  const TVector& d = object.Direction.Coords;
  const TVector& u = object.Up.Coords;
  EXPECT_NEAR(GeomLength(d), 1.0f, 1e-6f);
  EXPECT_NEAR(GeomLength(u), 1.0f, 1e-6f);
  EXPECT_NEAR(GeomDot(d, u), 0.0f, 1e-6f);
  // right := (1, 3, 3), Up := right x Direction = (-3, 0, 1)/sqrt(10).
  EXPECT_NEAR(u[0], -3.0f / std::sqrt(10.0f), 1e-6f);
  EXPECT_NEAR(u[2], 1.0f / std::sqrt(10.0f), 1e-6f);

  const TVector before = object.Direction.Coords;
  object.SetDirection({0, 0, 0, 0});  // ignored
  EXPECT_EQ(object.Direction.Coords, before);

  object.SetUp({0, 0, 2, 0});
  EXPECT_NEAR(GeomLength(object.Up.Coords), 1.0f, 1e-6f);
  EXPECT_NEAR(GeomDot(object.Direction.Coords, object.Up.Coords), 0.0f, 1e-6f);
}

TEST_F(SceneObjectsTest, WorldMatricesFollowTheTree) {
  TGLSceneRootObject root;
  auto* parent = new TGLSceneObject;
  auto* child = new TGLSceneObject;
  root.AddChild(parent);
  parent->AddChild(child);
  parent->SetPosition({1, 2, 3, 1});
  parent->SetScale({2, 2, 2, 0});
  child->SetPosition({1, 0, 0, 1});
  root.UpdateTransformation();
  // The child's origin is one scaled unit along the parent's x axis.
  const TVector p = child->WorldPosition();
  EXPECT_EQ(p, (TVector{3, 2, 3, 1}));
  EXPECT_EQ(child->Index(), 0);
  EXPECT_EQ(root.Index(), -1);
}

TEST_F(SceneObjectsTest, DisplayListBuiltOnceThenReplayed) {
  TGLSceneObject root;
  root.SetScene(&scene_);
  auto* object = new Marker(7);
  root.AddChild(object);
  TRenderContextInfo rci;
  root.UpdateTransformation();
  object->RenderObject(rci);
  EXPECT_EQ(gl_.Count("NewList"), 1);
  EXPECT_EQ(gl_.Count("CallList"), 1);
  gl_.Calls.clear();
  object->RenderObject(rci);
  EXPECT_EQ(gl_.Count("NewList"), 0);
  EXPECT_EQ(gl_.CallsStartingWith("CallList"), std::vector<std::string>{"CallList 1"});
  // A material change repaints without a rebuild: the material is applied
  // outside the list.
  object->Material.FrontProperties.Emission.SetComponent(0, 1);
  gl_.Calls.clear();
  object->RenderObject(rci);
  EXPECT_EQ(gl_.Count("NewList"), 0);
  // A colour the object owns itself is geometry: the list is rebuilt once.
  TGLColor ownColour(object);
  ownColour.SetComponent(0, 1);
  gl_.Calls.clear();
  object->RenderObject(rci);
  object->RenderObject(rci);
  EXPECT_EQ(gl_.CallsStartingWith("NewList"), std::vector<std::string>{"NewList 1 0x1300"});
  EXPECT_EQ(gl_.Count("CallList 1"), 2);
}

TEST_F(SceneObjectsTest, OpenGLErrorsComeBackAsReportsNotExceptions) {
  TGLSceneObject root;
  root.SetScene(&scene_);
  auto* object = new Marker(1);
  auto* broken = new Marker(2, true);
  root.AddChild(object);
  root.AddChild(broken);
  TRenderContextInfo rci;
  gl_.PendingErrors = {gl::InvalidOperation, gl::InvalidValue};
  EXPECT_NO_THROW(object->RenderObject(rci));
  ASSERT_EQ(scene_.Errors.size(), 1u);
  EXPECT_EQ(scene_.Errors[0], "OpenGL error: invalid operation");
  EXPECT_TRUE(gl_.PendingErrors.empty());  // the later error was drained
  EXPECT_NO_THROW(broken->RenderObject(rci));
  EXPECT_EQ(scene_.Errors.back(), "no geometry");
  EXPECT_EQ(gl_.Count("EndList"), 2);  // the list is closed all the same
  gl_.PendingErrors = {gl::OutOfMemory};
  object->ReleaseDisplayList(false);  // the error before the delete is discarded
  EXPECT_EQ(object->ListHandle, 0u);
  EXPECT_EQ(View3dState().LastOpenGLError, "no geometry");
}

TEST_F(SceneObjectsTest, VisibilityAxesAndScaledFrames) {
  TGLSceneObject root;
  auto* hidden = new Marker(1);
  auto* below = new Marker(2);
  root.AddChild(hidden);
  hidden->AddChild(below);
  hidden->SetVisible(false);
  TRenderContextInfo rci;
  rci.ObjectsSorting = TGLObjectsSorting::None;
  root.RenderObject(rci);
  EXPECT_TRUE(DrawOrder().empty());  // the whole subtree is hidden

  gl_.Calls.clear();
  TGLSceneObject scaled;
  scaled.SetScale({3, 3, 3, 0});
  auto* withAxes = new TGLSceneObject;
  scaled.AddChild(withAxes);
  withAxes->SetShowAxes(true);
  rci.AxisLength = 2;
  scaled.RenderObject(rci);
  // The parent's scaled matrix is on the stack when the child's axes are
  // drawn in its own length, so OpenGL scales them with the parent.
  const auto matrices = gl_.CallsStartingWith("MultMatrixf");
  ASSERT_EQ(matrices.size(), 2u);
  EXPECT_EQ(matrices[0].substr(0, 15), "MultMatrixf 3 0");
  EXPECT_EQ(gl_.Count("LineStipple 1 0xCCCC"), 1);
  EXPECT_EQ(gl_.Count("Vertex3f 2 0 0"), 1);
  EXPECT_EQ(gl_.Count("Vertex3f -2 0 0"), 1);
  EXPECT_EQ(gl_.Count("PushMatrix"), gl_.Count("PopMatrix"));
}

TEST_F(SceneObjectsTest, ChildrenSortedByDistanceOrBlendingMode) {
  TGLSceneObject parent;
  for (float x : {1.0f, 5.0f, 3.0f}) {
    auto* child = new Marker(x);
    child->StyleFlags |= kStyleDrawsDirectly;  // drawn on every render, so the order shows
    child->SetPosition({x, 0, 0, 1});
    parent.AddChild(child);
  }
  parent.UpdateTransformation();
  TRenderContextInfo rci;
  rci.CameraPosition = {0, 0, 0, 1};

  // Own blended-last with opaque materials: list order.
  parent.SetObjectsSorting(TGLObjectsSorting::RenderBlendedLast);
  parent.RenderObject(rci);
  EXPECT_EQ(DrawOrder(), (std::vector<float>{1, 5, 3}));

  // Inherited under a blended-last pass: farthest first.
  gl_.Calls.clear();
  parent.SetObjectsSorting(TGLObjectsSorting::Inherited);
  rci.ObjectsSorting = TGLObjectsSorting::RenderBlendedLast;
  parent.RenderObject(rci);
  EXPECT_EQ(DrawOrder(), (std::vector<float>{5, 3, 1}));
  EXPECT_EQ(rci.ObjectsSorting, TGLObjectsSorting::RenderBlendedLast);  // restored

  // Own blended-last: the transparent child comes after the opaque ones.
  gl_.Calls.clear();
  parent.SetObjectsSorting(TGLObjectsSorting::RenderBlendedLast);
  parent.Children[0]->AsCustom()->Material.SetBlendingMode(TBlendingMode::Transparency);
  parent.RenderObject(rci);
  EXPECT_EQ(DrawOrder(), (std::vector<float>{5, 3, 1}));

  // Inherited in the pass too: nothing.
  gl_.Calls.clear();
  parent.SetObjectsSorting(TGLObjectsSorting::Inherited);
  rci.ObjectsSorting = TGLObjectsSorting::Inherited;
  parent.RenderObject(rci);
  EXPECT_TRUE(DrawOrder().empty());
}

TEST_F(SceneObjectsTest, TreeEditing) {
  TGLSceneObject a;
  TGLSceneObject b;
  a.SetScene(&scene_);
  auto* child = new Marker(1);
  auto* grandChild = new Marker(2);
  a.AddChild(child);
  child->AddChild(grandChild);
  EXPECT_EQ(grandChild->Scene, &scene_);
  child->MoveTo(&b);
  EXPECT_EQ(child->Parent, &b);
  EXPECT_TRUE(a.Children.empty());
  EXPECT_EQ(grandChild->Scene, nullptr);  // b belongs to no scene
  b.Remove(child, true);                  // its child stays in b
  EXPECT_EQ(grandChild->Parent, &b);
  delete child;
  b.Insert(0, new Marker(3));
  EXPECT_EQ(b.Children.size(), 2u);
  b.MoveChildTo(0, 99);  // clamped to the last place
  EXPECT_EQ(b.Children.back()->TagFloat, 3.0f);
  b.DeleteChildren();
  EXPECT_TRUE(b.Children.empty());

  // Assign copies the frame and the children by class.
  TGLSceneObject source;
  source.SetPosition({4, 5, 6, 1});
  source.AddChild(new TGLSceneObject);
  TGLSceneObject copy;
  copy.Assign(source);
  EXPECT_EQ(copy.Position.Coords, source.Position.Coords);
  ASSERT_EQ(copy.Children.size(), 1u);
  EXPECT_NE(copy.Children[0], source.Children[0]);
}

}  // namespace
}  // namespace voq
