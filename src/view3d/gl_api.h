#pragma once
// Every OpenGL 1.1 call of the 3-D view goes through GlApi, so the scene
// graph runs and is tested without a window: the desktop program implements
// it over its OpenGL context, tests use RecordingGlApi, which writes each
// call as a line of text and answers glGenLists and glGetError from its own
// counters.
#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace voq {

using GLenum = uint32_t;
using GLuint = uint32_t;

// The OpenGL enumerators the view uses (their values are OpenGL's own).
namespace gl {
inline constexpr GLenum NoError = 0;
inline constexpr GLenum Lines = 0x0001;
inline constexpr GLenum LineStrip = 0x0003;
inline constexpr GLenum TriangleStrip = 0x0005;
inline constexpr GLenum Front = 0x0404;
inline constexpr GLenum Back = 0x0405;
inline constexpr GLenum FrontAndBack = 0x0408;
inline constexpr GLenum InvalidEnum = 0x0500;
inline constexpr GLenum InvalidValue = 0x0501;
inline constexpr GLenum InvalidOperation = 0x0502;
inline constexpr GLenum StackOverflow = 0x0503;
inline constexpr GLenum StackUnderflow = 0x0504;
inline constexpr GLenum OutOfMemory = 0x0505;
inline constexpr GLenum PointSmooth = 0x0B10;
inline constexpr GLenum LineSmooth = 0x0B20;
inline constexpr GLenum LineStipple = 0x0B24;
inline constexpr GLenum PolygonSmooth = 0x0B41;
inline constexpr GLenum PolygonStipple = 0x0B42;
inline constexpr GLenum CullFace = 0x0B44;
inline constexpr GLenum Lighting = 0x0B50;
inline constexpr GLenum ColorMaterial = 0x0B57;
inline constexpr GLenum Fog = 0x0B60;
inline constexpr GLenum DepthTest = 0x0B71;
inline constexpr GLenum StencilTest = 0x0B90;
inline constexpr GLenum Normalize = 0x0BA1;
inline constexpr GLenum AlphaTest = 0x0BC0;
inline constexpr GLenum Dither = 0x0BD0;
inline constexpr GLenum Blend = 0x0BE2;
inline constexpr GLenum LogicOp = 0x0BF1;
inline constexpr GLenum ScissorTest = 0x0C11;
inline constexpr GLenum AutoNormal = 0x0D80;
inline constexpr GLenum Texture1D = 0x0DE0;
inline constexpr GLenum Texture2D = 0x0DE1;
inline constexpr GLenum Ambient = 0x1200;
inline constexpr GLenum Diffuse = 0x1201;
inline constexpr GLenum Specular = 0x1202;
inline constexpr GLenum Position = 0x1203;
inline constexpr GLenum SpotDirection = 0x1204;
inline constexpr GLenum SpotExponent = 0x1205;
inline constexpr GLenum SpotCutoff = 0x1206;
inline constexpr GLenum ConstantAttenuation = 0x1207;
inline constexpr GLenum LinearAttenuation = 0x1208;
inline constexpr GLenum QuadraticAttenuation = 0x1209;
inline constexpr GLenum Light0 = 0x4000;
inline constexpr GLenum Emission = 0x1600;
inline constexpr GLenum AmbientAndDiffuse = 0x1602;
inline constexpr GLenum Shininess = 0x1601;
inline constexpr GLenum Compile = 0x1300;
inline constexpr GLenum Point = 0x1B00;
inline constexpr GLenum Line = 0x1B01;
inline constexpr GLenum Fill = 0x1B02;
inline constexpr GLenum SrcAlpha = 0x0302;
inline constexpr GLenum OneMinusSrcAlpha = 0x0303;
inline constexpr GLenum One = 1;
inline constexpr uint32_t CurrentBit = 0x00000001;
inline constexpr uint32_t LineBit = 0x00000004;
inline constexpr uint32_t ColorBufferBit = 0x00004000;
inline constexpr uint32_t LightingBit = 0x00000040;
inline constexpr uint32_t EnableBit = 0x00002000;
}  // namespace gl

class GlApi {
 public:
  virtual ~GlApi() = default;
  virtual void Enable(GLenum cap) = 0;
  virtual void Disable(GLenum cap) = 0;
  virtual void Materialfv(GLenum face, GLenum name, const float* values) = 0;
  virtual void Materiali(GLenum face, GLenum name, int32_t value) = 0;
  virtual void PolygonMode(GLenum face, GLenum mode) = 0;
  virtual void BlendFunc(GLenum source, GLenum destination) = 0;
  virtual GLuint GenLists(int32_t range) = 0;
  virtual void NewList(GLuint list, GLenum mode) = 0;
  virtual void EndList() = 0;
  virtual void CallList(GLuint list) = 0;
  virtual void DeleteLists(GLuint list, int32_t range) = 0;
  virtual GLenum GetError() = 0;
  virtual void PushMatrix() = 0;
  virtual void PopMatrix() = 0;
  virtual void MultMatrixf(const float* matrix) = 0;
  virtual void PushAttrib(uint32_t mask) = 0;
  virtual void PopAttrib() = 0;
  virtual void LineWidth(float width) = 0;
  virtual void LineStipple(int32_t factor, uint16_t pattern) = 0;
  virtual void Begin(GLenum mode) = 0;
  virtual void End() = 0;
  virtual void Color3f(float r, float g, float b) = 0;
  virtual void Vertex3f(float x, float y, float z) = 0;
  virtual void RasterPos3f(float x, float y, float z) = 0;
  virtual void Bitmap(int32_t width, int32_t height, float xOrigin, float yOrigin, float xMove, float yMove,
                      const uint8_t* bits) = 0;
  virtual void Normal3fv(const float* normal) = 0;
  virtual void Color4fv(const float* color) = 0;
  virtual void TexCoord2fv(const float* point) = 0;
  virtual void ColorMaterial(GLenum face, GLenum mode) = 0;
  virtual void Frustum(double left, double right, double bottom, double top, double zNear, double zFar) = 0;
  virtual void Ortho(double left, double right, double bottom, double top, double zNear, double zFar) = 0;
  virtual void Lightfv(GLenum light, GLenum name, const float* values) = 0;
  virtual void Lightf(GLenum light, GLenum name, float value) = 0;
};

// The text of an OpenGL error code, as the error reports name it.
std::string GlErrorText(GLenum error);

// Each call as one line ("Enable 0x0BE2", "Materialfv 0x0404 0x1201 0.8 0.8
// 0.8 1", "NewList 1 0x1300"); glGenLists hands out 1, 2, 3, ...; glGetError
// answers the queued errors, then no error.
class RecordingGlApi : public GlApi {
 public:
  std::vector<std::string> Calls;
  std::deque<GLenum> PendingErrors;
  GLuint NextList = 1;
  // The vertices and normals as numbers, for checks finer than the text.
  std::vector<std::array<float, 3>> Vertices;
  std::vector<std::array<float, 3>> Normals;
  // Vertex and normal calls are not written into Calls (a surface makes
  // tens of thousands); Vertices and Normals hold them.
  bool QuietVertices = false;

  // Lines that begin with prefix, in order.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
  int32_t Count(const std::string& prefix) const;

  void Enable(GLenum cap) override;
  void Disable(GLenum cap) override;
  void Materialfv(GLenum face, GLenum name, const float* values) override;
  void Materiali(GLenum face, GLenum name, int32_t value) override;
  void PolygonMode(GLenum face, GLenum mode) override;
  void BlendFunc(GLenum source, GLenum destination) override;
  GLuint GenLists(int32_t range) override;
  void NewList(GLuint list, GLenum mode) override;
  void EndList() override;
  void CallList(GLuint list) override;
  void DeleteLists(GLuint list, int32_t range) override;
  GLenum GetError() override;
  void PushMatrix() override;
  void PopMatrix() override;
  void MultMatrixf(const float* matrix) override;
  void PushAttrib(uint32_t mask) override;
  void PopAttrib() override;
  void LineWidth(float width) override;
  void LineStipple(int32_t factor, uint16_t pattern) override;
  void Begin(GLenum mode) override;
  void End() override;
  void Color3f(float r, float g, float b) override;
  void Vertex3f(float x, float y, float z) override;
  void RasterPos3f(float x, float y, float z) override;
  void Bitmap(int32_t width, int32_t height, float xOrigin, float yOrigin, float xMove, float yMove,
              const uint8_t* bits) override;
  void Normal3fv(const float* normal) override;
  void Color4fv(const float* color) override;
  void TexCoord2fv(const float* point) override;
  void ColorMaterial(GLenum face, GLenum mode) override;
  void Frustum(double left, double right, double bottom, double top, double zNear, double zFar) override;
  void Ortho(double left, double right, double bottom, double top, double zNear, double zFar) override;
  void Lightfv(GLenum light, GLenum name, const float* values) override;
  void Lightf(GLenum light, GLenum name, float value) override;
};

// The API of the rendering context that is current, or null when none is
// (the viewer makes its context current around every pass).
GlApi* CurrentGlApi();
void SetCurrentGlApi(GlApi* api);

}  // namespace voq
