#include "view3d/scene_objects.h"

#include <algorithm>
#include <cfenv>
#include <exception>

#include "view3d/view3d_state.h"

namespace voq {

namespace {

// In-place quicksort of the distances, moving the objects with them.
void SortByDistance(std::vector<float>& distance, std::vector<TGLBaseSceneObject*>& objects, int first, int last) {
  for (;;) {
    if (last - first == 1) {
      if (distance[last] < distance[first]) {
        std::swap(distance[first], distance[last]);
        std::swap(objects[first], objects[last]);
      }
      return;
    }
    int i = first;
    int j = last;
    const float pivot = distance[static_cast<size_t>((first + last) >> 1)];
    do {
      while (distance[i] < pivot) ++i;
      while (distance[j] > pivot) --j;
      if (i <= j) {
        std::swap(distance[i], distance[j]);
        std::swap(objects[i], objects[j]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (first < j) SortByDistance(distance, objects, first, j);
    if (i >= last) return;
    first = i;
  }
}

// The current context's API, or the scene's first viewer's made current for
// the duration.
class TContextScope {
 public:
  explicit TContextScope(TGLSceneServices* scene) {
    if (CurrentGlApi() == nullptr && scene != nullptr && scene->FirstViewerApi() != nullptr) {
      SetCurrentGlApi(scene->FirstViewerApi());
      borrowed_ = true;
    }
  }
  ~TContextScope() {
    if (borrowed_) SetCurrentGlApi(nullptr);
  }
  TContextScope(const TContextScope&) = delete;
  TContextScope& operator=(const TContextScope&) = delete;

 private:
  bool borrowed_ = false;
};

}  // namespace

TGLBaseSceneObject::TGLBaseSceneObject()
    : Position(this, TGLCoordinates::Point, {0, 0, 0, 1}),
      Direction(this, TGLCoordinates::Vector, {0, 0, 1, 0}),
      Up(this, TGLCoordinates::Vector, {0, 1, 0, 0}),
      Scale(this, TGLCoordinates::Vector, {1, 1, 1, 0}),
      Angles(this, TGLCoordinates::Vector, {0, 0, 0, 1}) {}

TGLBaseSceneObject::~TGLBaseSceneObject() {
  DeleteChildren();
  if (Scene != nullptr) {
    TContextScope context(Scene);
    ReleaseDisplayList(CurrentGlApi() == nullptr);
  }
  if (Parent != nullptr) {
    auto& siblings = Parent->Children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

void TGLBaseSceneObject::AddChild(TGLBaseSceneObject* child) {
  if (child == nullptr) return;
  Children.push_back(child);
  child->Parent = this;
  child->OwnerComponent = this;
  child->SetScene(Scene);
  if (child->IsLightSource() && Scene != nullptr) Scene->AddLight(child);
  MarkTransformationChanged();
}

void TGLBaseSceneObject::Insert(int index, TGLBaseSceneObject* child) {
  if (child == nullptr) return;
  if (child->Parent != nullptr) child->Parent->Remove(child, false);
  index = std::clamp(index, 0, static_cast<int>(Children.size()));
  Children.insert(Children.begin() + index, child);
  child->Parent = this;
  child->OwnerComponent = this;
  child->SetScene(Scene);
  if (child->IsLightSource() && Scene != nullptr) Scene->AddLight(child);
  MarkTransformationChanged();
}

void TGLBaseSceneObject::Remove(TGLBaseSceneObject* child, bool keepChildren) {
  const auto at = std::find(Children.begin(), Children.end(), child);
  if (at == Children.end()) return;
  if (child->IsLightSource() && Scene != nullptr) Scene->RemoveLight(child);
  Children.erase(at);
  child->Parent = nullptr;
  child->OwnerComponent = nullptr;
  if (keepChildren) {
    BeginUpdate();
    while (!child->Children.empty()) {
      TGLBaseSceneObject* grandChild = child->Children.front();
      child->Children.erase(child->Children.begin());
      AddChild(grandChild);
    }
    EndUpdate();
  } else {
    PropagateChange(this);
  }
}

void TGLBaseSceneObject::DeleteChildren() {
  std::vector<TGLBaseSceneObject*> cameras;
  std::vector<TGLBaseSceneObject*> pending(Children.begin(), Children.end());
  while (!pending.empty()) {
    TGLBaseSceneObject* object = pending.back();
    pending.pop_back();
    if (object->IsCamera()) {
      cameras.push_back(object);
    } else {
      pending.insert(pending.end(), object->Children.begin(), object->Children.end());
    }
  }
  for (TGLBaseSceneObject* camera : cameras) delete camera;
  while (!Children.empty()) delete Children.back();
}

void TGLBaseSceneObject::MoveTo(TGLBaseSceneObject* newParent) {
  if (newParent == Parent || newParent == nullptr) return;
  if (Parent != nullptr) Parent->Remove(this, false);
  newParent->AddChild(this);
}

int TGLBaseSceneObject::Index() const {
  if (Parent == nullptr) return -1;
  const auto& siblings = Parent->Children;
  return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

void TGLBaseSceneObject::MoveChildTo(int from, int to) {
  const int count = static_cast<int>(Children.size());
  if (count == 0) return;
  from = std::clamp(from, 0, count - 1);
  to = std::clamp(to, 0, count - 1);
  if (from == to) return;
  TGLBaseSceneObject* child = Children[static_cast<size_t>(from)];
  Children.erase(Children.begin() + from);
  Children.insert(Children.begin() + to, child);
  PropagateChange(this);
}

void TGLBaseSceneObject::SetScene(TGLSceneServices* scene) {
  if (Scene == scene) return;
  if (Scene != nullptr) ReleaseDisplayLists(CurrentGlApi() == nullptr && Scene->FirstViewerApi() == nullptr);
  Scene = scene;
  for (TGLBaseSceneObject* child : Children) child->SetScene(scene);
}

void TGLBaseSceneObject::SetVisible(bool visible) {
  if (Visible == visible) return;
  Visible = visible;
  PropagateChange(this);
}

void TGLBaseSceneObject::SetShowAxes(bool show) {
  if (ShowAxes == show) return;
  ShowAxes = show;
  PropagateChange(this);
}

void TGLBaseSceneObject::SetPosition(const TVector& position) {
  Position.SetPoint(position[0], position[1], position[2]);
}

void TGLBaseSceneObject::SetDirection(const TVector& direction) {
  if (GeomIsNull(direction)) return;
  Direction.SetVector(direction[0], direction[1], direction[2]);
  MarkTransformationChanged();
}

void TGLBaseSceneObject::SetUp(const TVector& up) {
  if (GeomIsNull(up)) return;
  Up.SetVector(up[0], up[1], up[2]);
  MarkTransformationChanged();
}

void TGLBaseSceneObject::SetScale(const TVector& scale) {
  Scale.Coords = scale;
  MarkTransformationChanged();
}

void TGLBaseSceneObject::SetObjectsSorting(TGLObjectsSorting sorting) {
  if (ObjectsSorting == sorting) return;
  ObjectsSorting = sorting;
  PropagateChange(this);
}

void TGLBaseSceneObject::MarkTransformationChanged() {
  worldDirty_ = true;
  if (Loading || (ChangeFlags & kChangeTransformation) != 0) return;
  ChangeFlags |= kChangeTransformation;
  PropagateChange(this);
}

void TGLBaseSceneObject::MarkStructureChanged() {
  if ((ChangeFlags & kChangeStructure) != 0) return;
  ChangeFlags |= kChangeStructure;
  PropagateChange(this);
}

void TGLBaseSceneObject::PropagateChange(TGLUpdateAbleComponent* /*sender*/) {
  if (Scene != nullptr && updateCount_ == 0 && !Loading) Scene->PropagateChange();
}

void TGLBaseSceneObject::BeginUpdate() { ++updateCount_; }

void TGLBaseSceneObject::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) PropagateChange(this);
}

void TGLBaseSceneObject::CoordinatesChanged(TGLCoordinates* coordinates) {
  if (inOrthonormalise_) return;
  inOrthonormalise_ = true;
  TVector& direction = Direction.Coords;
  TVector& up = Up.Coords;
  if (coordinates == &Direction) {
    if (GeomLength(direction) == 0.0f) direction = {0, 0, 1, 0};
    direction = GeomNormalize(direction);
    TVector right = GeomCross(direction, up);
    // Direction along Up leaves no right axis: any vector off the line will
    // do to rebuild one.
    if (GeomLength(right) == 0.0f) right = {direction[0] + 1, direction[1] + 2, direction[2] + 3, 0};
    up = GeomNormalize(GeomCross(right, direction));
  } else if (coordinates == &Up) {
    if (GeomLength(up) == 0.0f) up = {0, 1, 0, 0};
    up = GeomNormalize(up);
    TVector right = GeomCross(direction, up);
    if (GeomLength(right) == 0.0f) right = {up[0] + 1, up[1] + 2, up[2] + 3, 0};
    direction = GeomNormalize(GeomCross(up, right));
  }
  MarkTransformationChanged();
  inOrthonormalise_ = false;
}

void TGLBaseSceneObject::RebuildLocalMatrix() {
  TVector right = GeomCross(Up.Coords, Direction.Coords);
  right[3] = 0;
  localMatrix_[0] = GeomScale(right, Scale.Coords[0]);
  localMatrix_[1] = GeomScale(Up.Coords, Scale.Coords[1]);
  localMatrix_[2] = GeomScale(Direction.Coords, Scale.Coords[2]);
  localMatrix_[3] = Position.Coords;
}

const TMatrix& TGLBaseSceneObject::LocalMatrix() {
  if ((ChangeFlags & kChangeTransformation) != 0) RebuildLocalMatrix();
  return localMatrix_;
}

const TMatrix& TGLBaseSceneObject::WorldMatrix() {
  if (worldDirty_) {
    if (Parent == nullptr || dynamic_cast<TGLSceneRootObject*>(Parent) != nullptr) {
      worldMatrix_ = LocalMatrix();
    } else {
      const TMatrix& parentWorld = Parent->WorldMatrix();
      worldMatrix_ = GeomMatrixMultiply(LocalMatrix(), parentWorld);
    }
    worldDirty_ = false;
  }
  return worldMatrix_;
}

TVector TGLBaseSceneObject::WorldPosition() { return WorldMatrix()[3]; }

void TGLBaseSceneObject::UpdateTransformation() {
  if (Parent == nullptr) {
    ChangeFlags |= kChangeTransformation;
    RebuildLocalMatrix();
    worldDirty_ = true;
  } else if ((ChangeFlags & kChangeTransformation) != 0) {
    RebuildLocalMatrix();
    worldDirty_ = true;
  } else {
    worldDirty_ = Parent->worldDirty_;
  }
  for (TGLBaseSceneObject* child : Children) child->UpdateTransformation();
  ChangeFlags &= static_cast<uint8_t>(~kChangeTransformation);
}

void TGLBaseSceneObject::ReportGlErrors(GlApi& api) {
  const GLenum error = api.GetError();
  if (error == gl::NoError) return;
  // Later errors of the same mishap say nothing new.
  for (int k = 0; k < 6 && api.GetError() != gl::NoError; ++k) {
  }
  const std::string text = "OpenGL error: " + GlErrorText(error);
  View3dState().LastOpenGLError = text;
  if (Scene != nullptr) Scene->ReportOpenGLError(text);
}

GLuint TGLBaseSceneObject::EnsureDisplayList(TRenderContextInfo& rci) {
  GlApi* api = CurrentGlApi();
  if (api == nullptr || (ChangeFlags & kChangeStructure) == 0) return ListHandle;
  if (ListHandle == 0) ListHandle = api->GenLists(1);
  api->NewList(ListHandle, gl::Compile);
  try {
    BuildGeometry(rci);
  } catch (const std::exception& e) {
    // A geometry that cannot be built leaves an empty list and a report,
    // never an exception out of the render pass.
    View3dState().LastOpenGLError = e.what();
    if (Scene != nullptr) Scene->ReportOpenGLError(e.what());
  }
  api->EndList();
  ReportGlErrors(*api);
  return ListHandle;
}

void TGLBaseSceneObject::ReleaseDisplayList(bool glContextGone) {
  GlApi* api = CurrentGlApi();
  if (ListHandle != 0 && !glContextGone && api != nullptr) {
    api->GetError();
    api->DeleteLists(ListHandle, 1);
    ReportGlErrors(*api);
  }
  ListHandle = 0;
}

void TGLBaseSceneObject::ReleaseDisplayLists(bool glContextGone) {
  TContextScope context(Scene);
  ChangeFlags |= kChangeStructure;
  ReleaseDisplayList(glContextGone);
  for (TGLBaseSceneObject* child : Children) child->ReleaseDisplayLists(glContextGone);
}

void TGLBaseSceneObject::PrepareRender(TRenderContextInfo& /*rci*/) {
  GlApi* api = CurrentGlApi();
  if (api == nullptr) return;
  api->PushMatrix();
  api->MultMatrixf(LocalMatrix()[0].data());
}

void TGLBaseSceneObject::FinishRender(TRenderContextInfo& /*rci*/) {
  if (GlApi* api = CurrentGlApi()) api->PopMatrix();
}

void TGLBaseSceneObject::RenderOwnGeometry(TRenderContextInfo& rci) {
  if ((StyleFlags & kStyleDrawsDirectly) != 0) {
    BuildGeometry(rci);
    return;
  }
  const GLuint list = EnsureDisplayList(rci);
  GlApi* api = CurrentGlApi();
  if (list != 0 && api != nullptr) api->CallList(list);
}

void TGLBaseSceneObject::RenderChildren(TRenderContextInfo& rci) {
  if (!Children.empty()) RenderChildRange(0, static_cast<int>(Children.size()) - 1, rci);
}

void TGLBaseSceneObject::RenderSelf(TRenderContextInfo& rci) {
  RenderOwnGeometry(rci);
  RenderChildren(rci);
}

void TGLBaseSceneObject::RenderChildRange(int first, int last, TRenderContextInfo& rci) {
  if (first == last) {
    Children[static_cast<size_t>(first)]->RenderObject(rci);
    return;
  }
  if (first > last) return;
  const TGLObjectsSorting saved = rci.ObjectsSorting;
  if (ObjectsSorting != TGLObjectsSorting::Inherited) rci.ObjectsSorting = ObjectsSorting;
  switch (rci.ObjectsSorting) {
    case TGLObjectsSorting::None:
      for (int k = first; k <= last; ++k) Children[static_cast<size_t>(k)]->RenderObject(rci);
      break;
    case TGLObjectsSorting::RenderFarthestFirst:
    case TGLObjectsSorting::RenderBlendedLast: {
      std::vector<TGLBaseSceneObject*> collected;
      std::vector<float> distance;
      const bool blendedLast = ObjectsSorting == TGLObjectsSorting::RenderBlendedLast;
      for (int k = first; k <= last; ++k) {
        TGLBaseSceneObject* child = Children[static_cast<size_t>(k)];
        if (blendedLast) {
          TGLCustomSceneObject* custom = child->AsCustom();
          if (custom == nullptr || custom->Material.BlendingMode == TBlendingMode::Opaque) {
            child->RenderObject(rci);
            continue;
          }
        }
        if (!child->Visible) continue;
        const TVector p = child->WorldPosition();
        const long double dx = static_cast<long double>(p[0]) - rci.CameraPosition[0];
        const long double dy = static_cast<long double>(p[1]) - rci.CameraPosition[1];
        const long double dz = static_cast<long double>(p[2]) - rci.CameraPosition[2];
        collected.push_back(child);
        distance.push_back(static_cast<float>(dx * dx + dy * dy + dz * dz));
      }
      if (collected.size() > 1) SortByDistance(distance, collected, 0, static_cast<int>(collected.size()) - 1);
      for (size_t k = collected.size(); k-- > 0;) collected[k]->RenderObject(rci);
      break;
    }
    case TGLObjectsSorting::Inherited:
      break;
  }
  rci.ObjectsSorting = saved;
}

void TGLBaseSceneObject::DrawAxes(const TRenderContextInfo& rci) const {
  GlApi* api = CurrentGlApi();
  if (api == nullptr) return;
  const float length = rci.AxisLength;
  api->PushAttrib(gl::EnableBit | gl::LightingBit | gl::LineBit);
  api->Disable(gl::Lighting);
  api->Enable(gl::LineStipple);
  api->Enable(gl::LineSmooth);
  api->Enable(gl::Blend);
  api->BlendFunc(gl::SrcAlpha, gl::OneMinusSrcAlpha);
  api->LineWidth(1);
  api->LineStipple(1, 0xCCCC);
  api->Begin(gl::Lines);
  // Each axis in two halves: the negative half in the darker shade.
  const float ends[6][6] = {{0.5f, 0, 0, -length, 0, 0}, {1, 0, 0, length, 0, 0},
                            {0, 0.5f, 0, 0, -length, 0}, {0, 1, 0, 0, length, 0},
                            {0, 0, 0.5f, 0, 0, -length}, {0, 0, 1, 0, 0, length}};
  for (const auto& e : ends) {
    api->Color3f(e[0], e[1], e[2]);
    api->Vertex3f(0, 0, 0);
    api->Vertex3f(e[3], e[4], e[5]);
  }
  api->End();
  if (rci.AxisLabels && rci.AxisLetters != nullptr) {
    api->Color3f(0, 0, 0);
    const float at[3][3] = {{1.5f, 0, 0}, {0, 1.5f, 0}, {0, 0, 1.5f}};
    for (size_t k = 0; k < 3; ++k) {
      const TGLBitmapLetter& letter = (*rci.AxisLetters)[k];
      api->RasterPos3f(at[k][0], at[k][1], at[k][2]);
      api->Bitmap(letter.Width, letter.Height, 0, 0, 0, 0, letter.Bits.data());
    }
  }
  api->PopAttrib();
  std::feclearexcept(FE_ALL_EXCEPT);
}

void TGLBaseSceneObject::RenderObject(TRenderContextInfo& rci) {
  if (!Visible) return;
  PrepareRender(rci);
  if (ShowAxes) DrawAxes(rci);
  RenderSelf(rci);
  if ((StyleFlags & kStyleChangesMaterialColors) != 0) {
    ForgetPolygonModes();
    ResetMaterialColors();
  }
  FinishRender(rci);
  ChangeFlags &= static_cast<uint8_t>(~kChangeStructure);
}

void TGLBaseSceneObject::Assign(const TGLBaseSceneObject& source) {
  BeginUpdate();
  ReleaseDisplayLists(CurrentGlApi() == nullptr);
  Position.Coords = source.Position.Coords;
  Direction.Coords = source.Direction.Coords;
  Up.Coords = source.Up.Coords;
  Scale.Coords = source.Scale.Coords;
  ChangeFlags = kChangeTransformation | kChangeStructure;
  Visible = source.Visible;
  localMatrix_ = source.localMatrix_;
  worldMatrix_ = source.worldMatrix_;
  worldDirty_ = source.worldDirty_;
  ShowAxes = source.ShowAxes;
  ObjectsSorting = source.ObjectsSorting;
  Angles.Coords = source.Angles.Coords;
  TransformationMode = source.TransformationMode;
  SetScene(source.Scene);
  DeleteChildren();
  for (const TGLBaseSceneObject* child : source.Children) {
    TGLBaseSceneObject* copy = child->CreateSameClass();
    copy->Assign(*child);
    AddChild(copy);
  }
  Tag = source.Tag;
  TagFloat = source.TagFloat;
  EndUpdate();
}

void TGLCustomSceneObject::SetMaterial(const TGLMaterial& material) { Material.Assign(material); }

void TGLCustomSceneObject::RenderSelf(TRenderContextInfo& rci) {
  Material.BeginUse(rci);
  RenderOwnGeometry(rci);
  Material.EndUse(rci);
  RenderChildren(rci);
}

void TGLCustomSceneObject::Assign(const TGLBaseSceneObject& source) {
  TGLBaseSceneObject::Assign(source);
  if (const auto* custom = dynamic_cast<const TGLCustomSceneObject*>(&source)) {
    Material.Assign(custom->Material);
    Hint = custom->Hint;
  }
}

}  // namespace voq
