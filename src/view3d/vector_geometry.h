#pragma once
// Vectors and matrices of the 3-D view in 32-bit floats. Vectors are rows
// multiplied from the left (v' = v M); a matrix is row-major with the
// translation in row 3, the layout OpenGL takes as it is. Sums are formed
// in 10-byte reals and each result component is rounded once to 32 bits.
#include <array>

namespace voq {

using TAffineVector = std::array<float, 3>;
using TVector = std::array<float, 4>;  // x, y, z, w: w = 1 for points, 0 for directions
using TMatrix = std::array<TVector, 4>;

inline constexpr TMatrix kIdentityMatrix = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

TVector GeomVectorMake(float x, float y, float z, float w = 0.0f);
TVector GeomPointMake(float x, float y, float z);
TVector GeomAdd(const TVector& a, const TVector& b);
TVector GeomSubtract(const TVector& a, const TVector& b);
TVector GeomScale(const TVector& v, float factor);
float GeomDot(const TVector& a, const TVector& b);
// (y z' - z y', z x' - x z', x y' - y x', 0).
TVector GeomCross(const TVector& a, const TVector& b);
// Length over the four components.
float GeomLength(const TVector& v);
float GeomLength2D(float a, float b);
float GeomNorm2D(float a, float b);
// v / GeomLength(v); a zero vector gives non-finite components.
TVector GeomNormalize(const TVector& v);
TAffineVector GeomNormalizeAffine(const TVector& v);
// Bitwise equality of the four (three) components.
bool GeomEquals(const TVector& a, const TVector& b);
bool GeomEquals3(const TVector& a, const TVector& b);
// x, y and z all 0.
bool GeomIsNull(const TVector& v);
TMatrix GeomMatrixMultiply(const TMatrix& a, const TMatrix& b);
TVector GeomTransform(const TVector& v, const TMatrix& m);
// Rotation by angle (radians) about the normalised axis. The rows are those
// of the column-vector form applied to a row vector, so a positive angle
// turns clockwise seen from the tip of the axis.
TMatrix GeomRotationMatrix(const TVector& axis, float angle);
TVector GeomRotateVector(const TVector& v, const TVector& axis, float angle);
// The viewing transformation from eye towards center with up roughly up:
// the camera's frame as rows (side, up, -forward) in the row-vector form,
// followed by the move of the eye to the origin.
TMatrix GeomLookAtMatrix(const TVector& eye, const TVector& center, const TVector& up);

}  // namespace voq
