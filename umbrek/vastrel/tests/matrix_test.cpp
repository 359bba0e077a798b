// The matrix builders and product against hand-worked values, the Euler
// order, and the re-orthonormalisation of an entity turned many times.
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/matrix.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace umbrek::vastrel;

namespace {

void expectMatrix(const Matrix& got, const Matrix& want, const char* what, float tolerance = 0) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(got[std::size_t(i)], want[std::size_t(i)], tolerance)
            << what << ", element " << i;
}

TEST(Matrix, BuildersAndProductsGiveTheHandWorkedElements) {
    Matrix counting, counting16;
    for (int i = 0; i < 16; ++i)
        counting[std::size_t(i)] = float(i), counting16[std::size_t(i)] = float(16 + i);
    // C[4c + r] = sum over k of A[4k + r] * B[4c + k].
    const Matrix product = multiply(counting, counting16);
    EXPECT_EQ(product[0], 0 * 16 + 4 * 17 + 8 * 18 + 12 * 19);
    EXPECT_EQ(product[5], 1 * 20 + 5 * 21 + 9 * 22 + 13 * 23);
    EXPECT_EQ(product[14], 2 * 28 + 6 * 29 + 10 * 30 + 14 * 31);

    const struct {
        const char* what;
        Matrix got, want;
    } cases[] = {
        {"identity", identityMatrix(), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {"zero", zeroMatrix(), {}},
        {"translation",
         translationMatrix(1, 2, 3),
         {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}},
        {"scale", scaleMatrix(2, 3, 4), {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1}},
        {"translate after scaling",
         multiply(translationMatrix(1, 2, 3), scaleMatrix(2, 3, 4)),
         {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 1, 2, 3, 1}},
        {"scale after translating",
         multiply(scaleMatrix(2, 3, 4), translationMatrix(1, 2, 3)),
         {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 2, 6, 12, 1}},
        {"x by 90", rotationX(90), {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1}},
        {"y by 90", rotationY(90), {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1}},
        {"z by 90", rotationZ(90), {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        // x first, then y, then z: x -> -z, y -> y, z -> x.
        {"euler 90 90 90",
         eulerMatrix(90, 90, 90),
         {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1}},
    };
    for (const auto& c : cases) expectMatrix(c.got, c.want, c.what, 1e-6f);

    const Vec3 up = transformPoint(eulerMatrix(90, 0, 0), {0, 1, 0});
    EXPECT_NEAR(up.x, 0, 1e-6f);
    EXPECT_NEAR(up.y, 0, 1e-6f);
    EXPECT_NEAR(up.z, 1, 1e-6f);
    const Vec3 moved = transformPoint(eulerMatrix(0, 90, 90), {1, 0, 0});
    // Ry(90) takes x to -z; Rz leaves z alone.
    EXPECT_NEAR(moved.x, 0, 1e-6f);
    EXPECT_NEAR(moved.z, -1, 1e-6f);
}

TEST(Matrix, NormalisingAZeroVectorGivesZero) {
    const Vec3 zero = normalise({0, 0, 0});
    EXPECT_EQ(zero.x, 0);
    EXPECT_EQ(zero.y, 0);
    EXPECT_EQ(zero.z, 0);
    const Vec3 unit = normalise({3, 0, 4});
    EXPECT_FLOAT_EQ(unit.x, 0.6f);
    EXPECT_FLOAT_EQ(unit.z, 0.8f);
}

TEST(Matrix, AnEntityTurnedTwoThousandTimesStaysOrthonormal) {
    Entity entity;
    // Rounding shrinks the rows a little with every turn; the rebuild every
    // 2000 turns must bring them back to unit length, not just keep them at
    // right angles. 20,001 turns end just after a rebuild.
    for (int i = 0; i < 20001; ++i) KX_RotateEntity(&entity, 0.37f, 1.13f, -0.71f);
    const Matrix& r = entity.rotation;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const float dot = r[std::size_t(i)] * r[std::size_t(j)] +
                              r[std::size_t(4 + i)] * r[std::size_t(4 + j)] +
                              r[std::size_t(8 + i)] * r[std::size_t(8 + j)];
            EXPECT_NEAR(dot, i == j ? 1 : 0, 1e-6f) << "rows " << i << ", " << j;
        }
    // Between rebuilds the drift stays small.
    for (int i = 0; i < 1999; ++i) KX_RotateEntity(&entity, 0.37f, 1.13f, -0.71f);
    EXPECT_NEAR(r[0] * r[0] + r[4] * r[4] + r[8] * r[8], 1, 1e-4f);
    // The order of the turn is rotation x Ry x Rx x Rz, in the entity's own frame.
    Entity once;
    KX_RotateEntity(&once, 90, 90, 0);
    expectMatrix(once.rotation, multiply(rotationY(90), rotationX(90)), "one turn", 1e-6f);
    EXPECT_EQ(once.orthonormaliseCountdown, 2000);
    KX_RotateEntity(&once, 1, 2, 3);
    EXPECT_EQ(once.angles.x, 91);
    EXPECT_EQ(once.angles.y, 92);
    EXPECT_EQ(once.angles.z, 3);
}

} // namespace
