#pragma once
// The objects of a 3-D scene: a tree of objects, each with a position and an
// orthonormal direction/up pair in its parent's frame, a scale, optional
// axes and an OpenGL display list that caches its geometry. Changes travel up
// to the scene, which repaints its viewers once for any number of them.
#include <cstdint>
#include <string>
#include <vector>

#include "view3d/gl_values.h"
#include "view3d/render_context.h"
#include "view3d/vector_geometry.h"

namespace voq {

class TGLCustomSceneObject;

// What the objects of a scene ask of the scene they belong to.
class TGLSceneServices {
 public:
  virtual ~TGLSceneServices() = default;
  // Something visible changed: every viewer repaints.
  virtual void PropagateChange() = 0;
  virtual void AddLight(TGLBaseSceneObject* /*light*/) {}
  virtual void RemoveLight(TGLBaseSceneObject* /*light*/) {}
  // The API of the scene's first viewer, made current when display lists are
  // released while no context is current; null when it has none.
  virtual GlApi* FirstViewerApi() { return nullptr; }
  // An OpenGL error met while building or releasing a display list.
  virtual void ReportOpenGLError(const std::string& /*text*/) {}
};

inline constexpr uint8_t kStyleDrawsDirectly = 1;          // no display list
inline constexpr uint8_t kStyleChangesMaterialColors = 2;  // reset the material caches after rendering
inline constexpr uint8_t kChangeTransformation = 4;
inline constexpr uint8_t kChangeStructure = 8;

enum class TTransformationMode : uint8_t { Local, ParentNoPos, ParentWithPos };

class TGLBaseSceneObject : public TGLUpdateAbleComponent {
 public:
  TGLBaseSceneObject();
  TGLBaseSceneObject(const TGLBaseSceneObject&) = delete;
  TGLBaseSceneObject& operator=(const TGLBaseSceneObject&) = delete;
  // Frees the children and the display list, and leaves the parent.
  ~TGLBaseSceneObject() override;

  TGLBaseSceneObject* AsSceneObject() override { return this; }
  virtual TGLCustomSceneObject* AsCustom() { return nullptr; }
  virtual bool IsLightSource() const { return false; }
  virtual bool IsCamera() const { return false; }
  // A new object of the same class, for Assign's copies of children.
  virtual TGLBaseSceneObject* CreateSameClass() const { return new TGLBaseSceneObject; }

  uint8_t StyleFlags = 0;
  GLuint ListHandle = 0;
  TGLCoordinates Position;
  TGLCoordinates Direction;
  TGLCoordinates Up;
  TGLCoordinates Scale;
  TGLCoordinates Angles;  // pitch, turn and roll in degrees; never turned here
  uint8_t ChangeFlags = kChangeTransformation | kChangeStructure;
  TGLBaseSceneObject* Parent = nullptr;
  TGLSceneServices* Scene = nullptr;
  std::vector<TGLBaseSceneObject*> Children;  // owned, in render order
  bool Visible = true;
  bool ShowAxes = false;
  TTransformationMode TransformationMode = TTransformationMode::Local;
  TGLObjectsSorting ObjectsSorting = TGLObjectsSorting::Inherited;
  float TagFloat = 0;
  int32_t Tag = 0;
  bool Loading = false;  // being read from a stream: no notifications

  // The tree.
  void AddChild(TGLBaseSceneObject* child);
  void Insert(int index, TGLBaseSceneObject* child);
  // Takes child out (not freed); with keepChildren its children move here.
  void Remove(TGLBaseSceneObject* child, bool keepChildren);
  // Frees the cameras below first, then the children from the last.
  void DeleteChildren();
  void MoveTo(TGLBaseSceneObject* newParent);
  int Index() const;  // -1 without parent
  void MoveChildTo(int from, int to);
  // Gives the subtree a scene, releasing its display lists from the old one.
  void SetScene(TGLSceneServices* scene);

  // Setters of the published properties.
  void SetVisible(bool visible);
  void SetShowAxes(bool show);
  void SetPosition(const TVector& position);
  void SetDirection(const TVector& direction);  // (0, 0, 0) is ignored
  void SetUp(const TVector& up);                // (0, 0, 0) is ignored
  void SetScale(const TVector& scale);
  void SetObjectsSorting(TGLObjectsSorting sorting);

  void MarkTransformationChanged();
  void MarkStructureChanged();
  void PropagateChange(TGLUpdateAbleComponent* sender) override;
  void BeginUpdate();
  void EndUpdate();
  int32_t UpdateCount() const { return updateCount_; }
  // An owned coordinates object changed: Direction and Up are kept
  // orthonormal; the transformation changes in every case.
  virtual void CoordinatesChanged(TGLCoordinates* coordinates);

  const TMatrix& LocalMatrix();
  const TMatrix& WorldMatrix();
  TVector WorldPosition();
  // Rebuilds the local matrices that changed in the subtree (the scene
  // calls it on both roots before each pass).
  void UpdateTransformation();

  GLuint EnsureDisplayList(TRenderContextInfo& rci);
  virtual void ReleaseDisplayList(bool glContextGone);
  // Marks the whole subtree for rebuilding and releases its lists.
  void ReleaseDisplayLists(bool glContextGone);

  virtual void AdvanceTime(double /*deltaTime*/, double /*newTime*/) {}
  virtual void BuildGeometry(TRenderContextInfo& /*rci*/) {}
  virtual void PrepareRender(TRenderContextInfo& rci);
  virtual void FinishRender(TRenderContextInfo& rci);
  virtual void RenderSelf(TRenderContextInfo& rci);
  void RenderChildRange(int first, int last, TRenderContextInfo& rci);
  void RenderObject(TRenderContextInfo& rci);

  // Copies the other object's frame, flags and children (made by class).
  virtual void Assign(const TGLBaseSceneObject& source);

 protected:
  // The object's own geometry: its display list, or BuildGeometry directly.
  void RenderOwnGeometry(TRenderContextInfo& rci);
  void RenderChildren(TRenderContextInfo& rci);

 private:
  void RebuildLocalMatrix();
  void DrawAxes(const TRenderContextInfo& rci) const;
  void ReportGlErrors(GlApi& api);

  TMatrix localMatrix_ = kIdentityMatrix;
  TMatrix worldMatrix_ = kIdentityMatrix;
  bool worldDirty_ = true;
  int32_t updateCount_ = 0;
  bool inOrthonormalise_ = false;
};

class TGLCustomSceneObject : public TGLBaseSceneObject {
 public:
  TGLCustomSceneObject() : Material(this) {}
  TGLCustomSceneObject* AsCustom() override { return this; }
  TGLBaseSceneObject* CreateSameClass() const override { return new TGLCustomSceneObject; }
  TGLMaterial Material;
  std::string Hint;
  void SetMaterial(const TGLMaterial& material);
  // The geometry between the material's BeginUse and EndUse; the children
  // after it.
  void RenderSelf(TRenderContextInfo& rci) override;
  void Assign(const TGLBaseSceneObject& source) override;
};

class TGLImmaterialSceneObject : public TGLCustomSceneObject {
 public:
  TGLBaseSceneObject* CreateSameClass() const override { return new TGLImmaterialSceneObject; }
};

class TGLSceneObject : public TGLImmaterialSceneObject {
 public:
  TGLBaseSceneObject* CreateSameClass() const override { return new TGLSceneObject; }
};

// The invisible root of a scene's tree: drawn directly, without a list.
class TGLSceneRootObject : public TGLCustomSceneObject {
 public:
  TGLSceneRootObject() { StyleFlags |= kStyleDrawsDirectly; }
  TGLBaseSceneObject* CreateSameClass() const override { return new TGLSceneRootObject; }
};

}  // namespace voq
