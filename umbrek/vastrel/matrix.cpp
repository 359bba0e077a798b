#include "umbrek/vastrel/matrix.h"

#include <cmath>

namespace umbrek::vastrel {

namespace {

float radians(float degrees) {
    return float(double(degrees) * degreesToRadians);
}

} // namespace

Matrix identityMatrix() {
    Matrix m{};
    m[0] = m[5] = m[10] = m[15] = 1;
    return m;
}

Matrix zeroMatrix() {
    return Matrix{};
}

Matrix translationMatrix(float x, float y, float z) {
    Matrix m = identityMatrix();
    m[12] = x, m[13] = y, m[14] = z;
    return m;
}

Matrix scaleMatrix(float x, float y, float z) {
    Matrix m = identityMatrix();
    m[0] = x, m[5] = y, m[10] = z;
    return m;
}

namespace {

// A rotation in the plane of axes a and b, turning a toward b: cosines on
// the two diagonal elements, +sin at row b of column a, -sin at row a of column b.
Matrix planeRotation(float degrees, int a, int b) {
    const float r = radians(degrees), c = std::cos(r), s = std::sin(r);
    Matrix m = identityMatrix();
    m[std::size_t(5 * a)] = m[std::size_t(5 * b)] = c;
    m[std::size_t(4 * a + b)] = s;
    m[std::size_t(4 * b + a)] = -s;
    return m;
}

} // namespace

Matrix rotationX(float degrees) {
    return planeRotation(degrees, 1, 2);
}

Matrix rotationY(float degrees) {
    return planeRotation(degrees, 2, 0);
}

Matrix rotationZ(float degrees) {
    return planeRotation(degrees, 0, 1);
}

Matrix eulerMatrix(float a, float b, float c) {
    return multiply(rotationZ(c), multiply(rotationY(b), rotationX(a)));
}

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix out;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[4 * k + r] * b[4 * c + k];
            out[4 * c + r] = sum;
        }
    return out;
}

Vec3 transformPoint(const Matrix& m, Vec3 p) {
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

void orthonormalise(Matrix& m) {
    const Vec3 r1{m[1], m[5], m[9]};
    const Vec3 r2 = normalise({m[2], m[6], m[10]});
    // R1 is not unit length; without normalising R0 (and so R1, made from it)
    // the rows would keep that error and shrink turn after turn.
    const Vec3 r0 = normalise(cross(r1, r2));
    const Vec3 r1New = cross(r2, r0);
    m[0] = r0.x, m[4] = r0.y, m[8] = r0.z;
    m[1] = r1New.x, m[5] = r1New.y, m[9] = r1New.z;
    m[2] = r2.x, m[6] = r2.y, m[10] = r2.z;
}

Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float length(Vec3 v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

Vec3 normalise(Vec3 v) {
    const float l = length(v);
    if (!(l > 0)) return {};
    return {v.x / l, v.y / l, v.z / l};
}

} // namespace umbrek::vastrel
