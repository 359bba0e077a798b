// The engine's small matrix library. Matrices are 16 floats, column-major,
// with the translation in elements 12 to 14; a point (x, y, z) becomes
// (m0 x + m4 y + m8 z + m12, m1 x + m5 y + m9 z + m13, m2 x + m6 y + m10 z + m14).
// Everything is single precision, as the projection snap needs.
#pragma once

#include <array>

namespace umbrek::vastrel {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

using Matrix = std::array<float, 16>;

// Euler angles and the camera's roll are in degrees.
constexpr double degreesToRadians = 0.017453292519943295;

Matrix identityMatrix();
Matrix zeroMatrix();
Matrix translationMatrix(float x, float y, float z);
Matrix scaleMatrix(float x, float y, float z);
// Rz(c) x (Ry(b) x Rx(a)).
Matrix eulerMatrix(float a, float b, float c);
Matrix rotationX(float degrees);
Matrix rotationY(float degrees);
Matrix rotationZ(float degrees);

// C[4c + r] = sum over k of A[4k + r] * B[4c + k]: B is applied first.
Matrix multiply(const Matrix& a, const Matrix& b);
Vec3 transformPoint(const Matrix& m, Vec3 p);

// Rebuilds the rotation rows from the third row (R0 = R1 x R2, R1 = R2 x R0),
// so that accumulated rounding cannot shear or scale an entity that is turned
// every frame.
void orthonormalise(Matrix& m);

Vec3 cross(Vec3 a, Vec3 b);
float length(Vec3 v);
// A vector of length 0 (or NaN) becomes (0, 0, 0), so that a camera whose
// position equals its target stays finite.
Vec3 normalise(Vec3 v);

inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

} // namespace umbrek::vastrel
