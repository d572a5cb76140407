#include "view3d/gl_api.h"

#include <cstdio>

#include "view3d/view3d_state.h"

namespace voq {

namespace {

std::string Hex(uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%04X", value);
  return buffer;
}

std::string Number(float value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(value));
  return buffer;
}

}  // namespace

std::string GlErrorText(GLenum error) {
  switch (error) {
    case gl::NoError: return "no error";
    case gl::InvalidEnum: return "invalid enumerant";
    case gl::InvalidValue: return "invalid value";
    case gl::InvalidOperation: return "invalid operation";
    case gl::StackOverflow: return "stack overflow";
    case gl::StackUnderflow: return "stack underflow";
    case gl::OutOfMemory: return "out of memory";
    default: return "unknown OpenGL error " + Hex(error);
  }
}

std::vector<std::string> RecordingGlApi::CallsStartingWith(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const std::string& call : Calls) {
    if (call.compare(0, prefix.size(), prefix) == 0) out.push_back(call);
  }
  return out;
}

int32_t RecordingGlApi::Count(const std::string& prefix) const {
  return static_cast<int32_t>(CallsStartingWith(prefix).size());
}

void RecordingGlApi::Enable(GLenum cap) { Calls.push_back("Enable " + Hex(cap)); }
void RecordingGlApi::Disable(GLenum cap) { Calls.push_back("Disable " + Hex(cap)); }
void RecordingGlApi::Materialfv(GLenum face, GLenum name, const float* v) {
  Calls.push_back("Materialfv " + Hex(face) + " " + Hex(name) + " " + Number(v[0]) + " " + Number(v[1]) + " " +
                  Number(v[2]) + " " + Number(v[3]));
}
void RecordingGlApi::Materiali(GLenum face, GLenum name, int32_t value) {
  Calls.push_back("Materiali " + Hex(face) + " " + Hex(name) + " " + std::to_string(value));
}
void RecordingGlApi::PolygonMode(GLenum face, GLenum mode) {
  Calls.push_back("PolygonMode " + Hex(face) + " " + Hex(mode));
}
void RecordingGlApi::BlendFunc(GLenum source, GLenum destination) {
  Calls.push_back("BlendFunc " + Hex(source) + " " + Hex(destination));
}
GLuint RecordingGlApi::GenLists(int32_t range) {
  const GLuint first = NextList;
  NextList += static_cast<GLuint>(range);
  Calls.push_back("GenLists " + std::to_string(range));
  return first;
}
void RecordingGlApi::NewList(GLuint list, GLenum mode) {
  Calls.push_back("NewList " + std::to_string(list) + " " + Hex(mode));
}
void RecordingGlApi::EndList() { Calls.push_back("EndList"); }
void RecordingGlApi::CallList(GLuint list) { Calls.push_back("CallList " + std::to_string(list)); }
void RecordingGlApi::DeleteLists(GLuint list, int32_t range) {
  Calls.push_back("DeleteLists " + std::to_string(list) + " " + std::to_string(range));
}
GLenum RecordingGlApi::GetError() {
  Calls.push_back("GetError");
  if (PendingErrors.empty()) return gl::NoError;
  const GLenum error = PendingErrors.front();
  PendingErrors.pop_front();
  return error;
}
void RecordingGlApi::PushMatrix() { Calls.push_back("PushMatrix"); }
void RecordingGlApi::PopMatrix() { Calls.push_back("PopMatrix"); }
void RecordingGlApi::MultMatrixf(const float* m) {
  std::string line = "MultMatrixf";
  for (int k = 0; k < 16; ++k) line += " " + Number(m[k]);
  Calls.push_back(line);
}
void RecordingGlApi::PushAttrib(uint32_t mask) { Calls.push_back("PushAttrib " + Hex(mask)); }
void RecordingGlApi::PopAttrib() { Calls.push_back("PopAttrib"); }
void RecordingGlApi::LineWidth(float width) { Calls.push_back("LineWidth " + Number(width)); }
void RecordingGlApi::LineStipple(int32_t factor, uint16_t pattern) {
  Calls.push_back("LineStipple " + std::to_string(factor) + " " + Hex(pattern));
}
void RecordingGlApi::Begin(GLenum mode) { Calls.push_back("Begin " + Hex(mode)); }
void RecordingGlApi::End() { Calls.push_back("End"); }
void RecordingGlApi::Color3f(float r, float g, float b) {
  Calls.push_back("Color3f " + Number(r) + " " + Number(g) + " " + Number(b));
}
void RecordingGlApi::Vertex3f(float x, float y, float z) {
  Vertices.push_back({x, y, z});
  if (!QuietVertices) Calls.push_back("Vertex3f " + Number(x) + " " + Number(y) + " " + Number(z));
}
void RecordingGlApi::RasterPos3f(float x, float y, float z) {
  Calls.push_back("RasterPos3f " + Number(x) + " " + Number(y) + " " + Number(z));
}
void RecordingGlApi::Bitmap(int32_t width, int32_t height, float, float, float, float, const uint8_t*) {
  Calls.push_back("Bitmap " + std::to_string(width) + " " + std::to_string(height));
}

void RecordingGlApi::Normal3fv(const float* n) {
  Normals.push_back({n[0], n[1], n[2]});
  if (!QuietVertices) Calls.push_back("Normal3fv " + Number(n[0]) + " " + Number(n[1]) + " " + Number(n[2]));
}
void RecordingGlApi::Color4fv(const float* c) {
  if (!QuietVertices) {
    Calls.push_back("Color4fv " + Number(c[0]) + " " + Number(c[1]) + " " + Number(c[2]) + " " + Number(c[3]));
  }
}
void RecordingGlApi::TexCoord2fv(const float* p) {
  if (!QuietVertices) Calls.push_back("TexCoord2fv " + Number(p[0]) + " " + Number(p[1]));
}
void RecordingGlApi::ColorMaterial(GLenum face, GLenum mode) {
  Calls.push_back("ColorMaterial " + Hex(face) + " " + Hex(mode));
}
void RecordingGlApi::Frustum(double l, double r, double b, double t, double n, double f) {
  Calls.push_back("Frustum " + Number(static_cast<float>(l)) + " " + Number(static_cast<float>(r)) + " " +
                  Number(static_cast<float>(b)) + " " + Number(static_cast<float>(t)) + " " +
                  Number(static_cast<float>(n)) + " " + Number(static_cast<float>(f)));
}
void RecordingGlApi::Ortho(double l, double r, double b, double t, double n, double f) {
  Calls.push_back("Ortho " + Number(static_cast<float>(l)) + " " + Number(static_cast<float>(r)) + " " +
                  Number(static_cast<float>(b)) + " " + Number(static_cast<float>(t)) + " " +
                  Number(static_cast<float>(n)) + " " + Number(static_cast<float>(f)));
}
void RecordingGlApi::Lightfv(GLenum light, GLenum name, const float* v) {
  Calls.push_back("Lightfv " + Hex(light) + " " + Hex(name) + " " + Number(v[0]) + " " + Number(v[1]) + " " +
                  Number(v[2]) + " " + Number(v[3]));
}
void RecordingGlApi::Lightf(GLenum light, GLenum name, float value) {
  Calls.push_back("Lightf " + Hex(light) + " " + Hex(name) + " " + Number(value));
}

GlApi* CurrentGlApi() { return View3dState().CurrentApi; }

void SetCurrentGlApi(GlApi* api) { View3dState().CurrentApi = api; }

}  // namespace voq
