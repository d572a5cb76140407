// Vector and matrix operations of the 3-D view against hand-worked values.
#include <gtest/gtest.h>

#include <cmath>

#include "view3d/vector_geometry.h"

namespace voq {
namespace {

void ExpectNear(const TVector& v, const TVector& expected, float tolerance = 1e-6f) {
  for (size_t k = 0; k < 4; ++k) EXPECT_NEAR(v[k], expected[k], tolerance) << "component " << k;
}

TEST(VectorGeometryTest, RotationTurnsClockwiseSeenFromTheAxis) {
  const float halfPi = static_cast<float>(M_PI / 2);
  const TVector z = GeomVectorMake(0, 0, 1);
  // The row vector x times the rotation about z by +90 degrees gives -y.
  ExpectNear(GeomRotateVector({1, 0, 0, 0}, z, halfPi), {0, -1, 0, 0});
  ExpectNear(GeomRotateVector({0, 1, 0, 0}, z, halfPi), {1, 0, 0, 0});
  // The axis need not be of unit length.
  ExpectNear(GeomRotateVector({0, 0, 1, 0}, {5, 0, 0, 0}, halfPi), {0, 1, 0, 0});
  // A rotation about (1, 1, 1) by 120 degrees permutes the axes.
  ExpectNear(GeomRotateVector({1, 0, 0, 0}, {1, 1, 1, 0}, static_cast<float>(2 * M_PI / 3)), {0, 0, 1, 0}, 1e-6f);
}

TEST(VectorGeometryTest, ProductsLengthsAndMatrices) {
  const TVector a{1, 2, 3, 0};
  const TVector b{4, 5, 6, 0};
  EXPECT_EQ(GeomDot(a, b), 32.0f);
  ExpectNear(GeomCross(a, b), {-3, 6, -3, 0});
  EXPECT_EQ(GeomLength({3, 4, 0, 0}), 5.0f);
  EXPECT_EQ(GeomLength2D(6, 8), 10.0f);
  EXPECT_EQ(GeomNorm2D(6, 8), 100.0f);
  ExpectNear(GeomNormalize({0, 3, 4, 0}), {0, 0.6f, 0.8f, 0});
  EXPECT_FALSE(std::isfinite(GeomNormalize({0, 0, 0, 0})[0]));
  EXPECT_TRUE(GeomIsNull({0, 0, 0, 7}));
  EXPECT_TRUE(GeomEquals3({1, 2, 3, 0}, {1, 2, 3, 1}));
  EXPECT_FALSE(GeomEquals({1, 2, 3, 0}, {1, 2, 3, 1}));
  ExpectNear(GeomSubtract(b, a), {3, 3, 3, 0});
  // Translation sits in row 3: a point moves, a direction does not.
  TMatrix translate = kIdentityMatrix;
  translate[3] = {10, 20, 30, 1};
  ExpectNear(GeomTransform({1, 1, 1, 1}, translate), {11, 21, 31, 1});
  ExpectNear(GeomTransform({1, 1, 1, 0}, translate), {1, 1, 1, 0});
  TMatrix scale = kIdentityMatrix;
  scale[0][0] = 2;
  const TMatrix both = GeomMatrixMultiply(scale, translate);  // scale first, then move
  ExpectNear(GeomTransform({1, 1, 1, 1}, both), {12, 21, 31, 1});
}

}  // namespace
}  // namespace voq
