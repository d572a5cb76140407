#include "view3d/vector_geometry.h"

#include <cmath>
#include <cstring>

namespace voq {

namespace {

float Round32(long double x) { return static_cast<float>(x); }

}  // namespace

TVector GeomVectorMake(float x, float y, float z, float w) { return {x, y, z, w}; }

TVector GeomPointMake(float x, float y, float z) { return {x, y, z, 1.0f}; }

TVector GeomAdd(const TVector& a, const TVector& b) {
  TVector r{};
  for (int k = 0; k < 4; ++k) r[k] = Round32(static_cast<long double>(a[k]) + b[k]);
  return r;
}

TVector GeomSubtract(const TVector& a, const TVector& b) {
  TVector r{};
  for (int k = 0; k < 4; ++k) r[k] = Round32(static_cast<long double>(a[k]) - b[k]);
  return r;
}

TVector GeomScale(const TVector& v, float factor) {
  TVector r{};
  for (int k = 0; k < 4; ++k) r[k] = Round32(static_cast<long double>(v[k]) * factor);
  return r;
}

float GeomDot(const TVector& a, const TVector& b) {
  long double sum = 0;
  for (int k = 0; k < 4; ++k) sum += static_cast<long double>(a[k]) * b[k];
  return Round32(sum);
}

TVector GeomCross(const TVector& a, const TVector& b) {
  const auto term = [](float p, float q, float r, float s) {
    return Round32(static_cast<long double>(p) * q - static_cast<long double>(r) * s);
  };
  return {term(a[1], b[2], a[2], b[1]), term(a[2], b[0], a[0], b[2]), term(a[0], b[1], a[1], b[0]), 0.0f};
}

float GeomLength(const TVector& v) {
  long double sum = 0;
  for (int k = 0; k < 4; ++k) sum += static_cast<long double>(v[k]) * v[k];
  return Round32(std::sqrt(sum));
}

float GeomLength2D(float a, float b) {
  return Round32(std::sqrt(static_cast<long double>(a) * a + static_cast<long double>(b) * b));
}

float GeomNorm2D(float a, float b) {
  return Round32(static_cast<long double>(a) * a + static_cast<long double>(b) * b);
}

TVector GeomNormalize(const TVector& v) {
  long double sum = 0;
  for (int k = 0; k < 4; ++k) sum += static_cast<long double>(v[k]) * v[k];
  const long double length = std::sqrt(sum);
  TVector r{};
  for (int k = 0; k < 4; ++k) r[k] = Round32(v[k] / length);
  return r;
}

TAffineVector GeomNormalizeAffine(const TVector& v) {
  const TVector n = GeomNormalize(v);
  return {n[0], n[1], n[2]};
}

bool GeomEquals(const TVector& a, const TVector& b) { return std::memcmp(a.data(), b.data(), sizeof(float) * 4) == 0; }

bool GeomEquals3(const TVector& a, const TVector& b) {
  return std::memcmp(a.data(), b.data(), sizeof(float) * 3) == 0;
}

bool GeomIsNull(const TVector& v) { return v[0] == 0.0f && v[1] == 0.0f && v[2] == 0.0f; }

TMatrix GeomMatrixMultiply(const TMatrix& a, const TMatrix& b) {
  TMatrix c{};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      long double sum = 0;
      for (int k = 0; k < 4; ++k) sum += static_cast<long double>(a[i][k]) * b[k][j];
      c[i][j] = Round32(sum);
    }
  }
  return c;
}

TVector GeomTransform(const TVector& v, const TMatrix& m) {
  TVector r{};
  for (int j = 0; j < 4; ++j) {
    long double sum = 0;
    for (int k = 0; k < 4; ++k) sum += static_cast<long double>(v[k]) * m[k][j];
    r[j] = Round32(sum);
  }
  return r;
}

TMatrix GeomRotationMatrix(const TVector& axis, float angle) {
  const TAffineVector n = GeomNormalizeAffine(GeomVectorMake(axis[0], axis[1], axis[2], 0.0f));
  const long double c = Round32(std::cos(static_cast<long double>(angle)));
  const long double s = Round32(std::sin(static_cast<long double>(angle)));
  const long double t = 1.0L - c;
  const long double x = n[0];
  const long double y = n[1];
  const long double z = n[2];
  return {{{Round32(t * x * x + c), Round32(t * x * y - s * z), Round32(t * x * z + s * y), 0},
           {Round32(t * x * y + s * z), Round32(t * y * y + c), Round32(t * y * z - s * x), 0},
           {Round32(t * x * z - s * y), Round32(t * y * z + s * x), Round32(t * z * z + c), 0},
           {0, 0, 0, 1}}};
}

TVector GeomRotateVector(const TVector& v, const TVector& axis, float angle) {
  return GeomTransform(v, GeomRotationMatrix(axis, angle));
}

TMatrix GeomLookAtMatrix(const TVector& eye, const TVector& center, const TVector& up) {
  const TVector forward = GeomNormalize(GeomVectorMake(center[0] - eye[0], center[1] - eye[1], center[2] - eye[2]));
  const TVector side = GeomNormalize(GeomCross(forward, GeomVectorMake(up[0], up[1], up[2])));
  const TVector trueUp = GeomCross(side, forward);
  const TVector e = GeomVectorMake(eye[0], eye[1], eye[2]);
  return {{{side[0], trueUp[0], -forward[0], 0},
           {side[1], trueUp[1], -forward[1], 0},
           {side[2], trueUp[2], -forward[2], 0},
           {-GeomDot(side, e), -GeomDot(trueUp, e), GeomDot(forward, e), 1}}};
}

}  // namespace voq
