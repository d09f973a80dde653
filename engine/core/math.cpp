#include "engine/core/math.h"

#include "engine/core/matrix_ops.h"

#include <cmath>
#include <ctime>

// ---------------------------------------------------------------------------
// Random numbers

namespace {
thread_local uint32_t randomState = 1;
}

void SeedRandom(unsigned seed) { randomState = seed; }

int32_t NextRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int32_t>((randomState >> 16) & 0x7FFF);
}

uint32_t GetRandomState() { return randomState; }

int32_t RandomInt(int32_t lo, int32_t hi) {
    const int32_t r1 = NextRandom();
    const int32_t r2 = NextRandom();
    if (hi < lo) {
        const int32_t t = lo;
        lo = hi;
        hi = t;
    }
    // The product stays below 2^30; the range is taken in 64 bits so that
    // even the whole int range neither overflows nor divides by zero.
    const int64_t range = static_cast<int64_t>(hi) - lo + 1;
    return static_cast<int32_t>(static_cast<int64_t>(r1 * r2) % range + lo);
}

float RandomFloat(float lo, float hi) {
    const double r = NextRandom();
    return static_cast<float>(r * static_cast<double>(3.0518509e-5f) * (static_cast<double>(hi) - lo) + lo);
}

// ---------------------------------------------------------------------------
// Angles

float sineTable[65536];

namespace {

// Entry i = sin(i * k), k the float nearest 2pi / 65536, product and sine in
// extended precision.
void FillSineTable() {
    const long double k = static_cast<float>(6.283185307179586 / 65536.0);
    for (int i = 0; i < 65536; ++i) sineTable[i] = static_cast<float>(sinl(static_cast<long double>(i) * k));
}

// The table is ready as soon as the program is loaded, so tools and tests
// that never start the engine read real values, and the engine's start need
// not compute it again.
const bool sineTableFilled = (FillSineTable(), true);

}  // namespace

void InitializeMathTables() {
    SeedRandom(static_cast<unsigned>(std::time(nullptr)));
}

Angle16 RadianToAngle(float r) {
    // Both factors are floats, so the double product is exact.
    const double product = static_cast<double>(r) * static_cast<double>(10430.378f);
    // What the x86 conversion gives for values it cannot hold: INT_MIN, which
    // masks to 0.
    if (!(product > -2147483649.0 && product < 2147483648.0)) return 0;
    return static_cast<Angle16>(static_cast<int32_t>(product) & 0xFFFF);
}

int32_t DegreeToAngle(int32_t d) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(d) * 65536 / 360));
}

void RotateByAngle16(float* x, float* y, Angle16 a) {
    const float c = CosAngle(a);
    const float s = SinAngle(a);
    const float ox = *x;
    const float oy = *y;
    *x = c * ox - s * oy;
    *y = s * ox + c * oy;
}

// ---------------------------------------------------------------------------
// Vector3

double Vector3::Dot(const Vector3& v) const {
    return static_cast<double>(x) * v.x + static_cast<double>(y) * v.y + static_cast<double>(z) * v.z;
}

void Vector3::Cross(const Vector3& a, const Vector3& b) {
    Set(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

void Vector3::TransformNormal(const Vector3& v, const Matrix& m) {
    const float* e = m.GetPointer();
    Set(e[0] * v.x + e[4] * v.y + e[8] * v.z,
        e[1] * v.x + e[5] * v.y + e[9] * v.z,
        e[2] * v.x + e[6] * v.y + e[10] * v.z);
}

void Vector3::TransformCoord(const Vector3& v, const Matrix& m) {
    const float* e = m.GetPointer();
    Set(e[0] * v.x + e[4] * v.y + e[8] * v.z + e[12],
        e[1] * v.x + e[5] * v.y + e[9] * v.z + e[13],
        e[2] * v.x + e[6] * v.y + e[10] * v.z + e[14]);
}

void Vector3::Normalize() {
    const float lengthSquared = x * x + y * y + z * z;
    if (lengthSquared == 0.0f) return;
    const float inverse = 1.0f / std::sqrt(lengthSquared);
    x *= inverse;
    y *= inverse;
    z *= inverse;
}

// ---------------------------------------------------------------------------
// Matrix

namespace {
bool InRange(int row, int col) { return row >= 1 && row <= 4 && col >= 1 && col <= 4; }
}  // namespace

float Matrix::Get(int row, int col) const {
    return InRange(row, col) ? m[(row - 1) * 4 + (col - 1)] : 0.0f;
}

void Matrix::Set(int row, int col, float v) {
    if (InRange(row, col)) m[(row - 1) * 4 + (col - 1)] = v;
}

int Matrix::SetIdentity() {
    SetScaling(1.0f, 1.0f, 1.0f);
    return 0;
}

void Matrix::SetTranspose(const Matrix& a) { MatrixTranspose(m, a.m); }

bool Matrix::SetInverse(const Matrix& a) { return MatrixInverse(m, a.m); }

void Matrix::SetProduct(const Matrix& a, const Matrix& b) { MatrixMultiply(m, a.m, b.m); }

void Matrix::SetRotationX(Angle16 a) {
    const float c = CosAngle(a), s = SinAngle(a);
    const float e[16] = {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
    SetElements(e);
}

void Matrix::SetRotationY(Angle16 a) {
    const float c = CosAngle(a), s = SinAngle(a);
    const float e[16] = {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
    SetElements(e);
}

void Matrix::SetRotationZ(Angle16 a) {
    const float c = CosAngle(a), s = SinAngle(a);
    const float e[16] = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    SetElements(e);
}

void Matrix::SetScaling(float x, float y, float z) {
    const float e[16] = {x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1};
    SetElements(e);
}

void Matrix::SetTranslation(float x, float y, float z) {
    const float e[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
    SetElements(e);
}

Matrix& Matrix::SetElements(const float e[16]) {
    for (int i = 0; i < 16; ++i) m[i] = e[i];
    return *this;
}

void Matrix::SetRotationQuaternion(const float q[4]) {
    const float x = q[0], y = q[1], z = q[2], w = q[3];
    const float e[16] = {
        1 - 2 * (y * y + z * z), 2 * (x * y - z * w),     2 * (x * z + y * w),     0,
        2 * (x * y + z * w),     1 - 2 * (x * x + z * z), 2 * (y * z - w * x),     0,
        2 * (x * z - y * w),     2 * (y * z + w * x),     1 - 2 * (x * x + y * y), 0,
        0,                       0,                       0,                       1,
    };
    SetElements(e);
}
