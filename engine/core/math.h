#pragma once
#include <cstdint>

// ---------------------------------------------------------------------------
// Random numbers
//
// One linear congruential generator shared by the whole game: the sequence of
// the old C runtime's rand (state = state * 214013 + 2531011, yielding bits
// 16..30). Replays and network play re-run a battle from its seed, so the
// exact sequence and the number of draws of every call matter. The state is
// per thread, 1 before any seeding.

void SeedRandom(unsigned seed);
// One raw draw, 0..32767. Game code draws through RandomInt and RandomFloat.
int32_t NextRandom();
// The generator state, for state hashes and tests.
uint32_t GetRandomState();

// (r1 * r2) % (hi - lo + 1) + lo with two draws, always both. A reversed range
// (hi < lo) draws from [hi, lo] instead of dividing by zero or leaving it.
int32_t RandomInt(int32_t lo, int32_t hi);
// r * (1 / 32767) * (hi - lo) + lo with one draw, computed in double and
// rounded once to float; 1 / 32767 is taken as the float 3.0518509e-5.
float RandomFloat(float lo, float hi);

// ---------------------------------------------------------------------------
// Angles: 65536 units per turn (16384 = 90 degrees), wrapping modulo 65536.

using Angle16 = uint16_t;

extern float sineTable[65536];

// Seeds the generator with the time (the sine table is filled as the program
// loads).
void InitializeMathTables();

inline float SinAngle(Angle16 a) { return sineTable[a]; }
inline float CosAngle(Angle16 a) { return sineTable[static_cast<Angle16>(a + 16384)]; }
// r * 65536 / 2pi truncated toward zero, then kept to 16 bits; a product
// outside the int range (or NaN) gives 0.
Angle16 RadianToAngle(float r);
// (d * 65536) / 360 truncated toward zero and not masked: 360 gives 65536.
int32_t DegreeToAngle(int32_t d);
inline Angle16 ToAngle16(int32_t a) { return static_cast<Angle16>(a & 0xFFFF); }
// Turns (x, y) in place by a, both outputs computed from the old x and y.
void RotateByAngle16(float* x, float* y, Angle16 a);

// ---------------------------------------------------------------------------
// Vectors, planes and matrices (Direct3D layout: row vectors, translation in
// row 4).

class Matrix;

struct Vector3 {
    float x, y, z;

    void Set(float nx, float ny, float nz) { x = nx; y = ny; z = nz; }
    // Products and sum taken in double.
    double Dot(const Vector3& v) const;
    // this = a x b (either may be this).
    void Cross(const Vector3& a, const Vector3& b);
    // this = v times the upper 3x3 of m (no translation).
    void TransformNormal(const Vector3& v, const Matrix& m);
    // this = v times m with the translation row and without dividing by w.
    void TransformCoord(const Vector3& v, const Matrix& m);
    void TransformNormalInPlace(const Matrix& m) { TransformNormal(*this, m); }
    void TransformCoordInPlace(const Matrix& m) { TransformCoord(*this, m); }
    // Scales to unit length; a zero vector stays zero.
    void Normalize();
    // this - v, returned by value (safe to nest and to call from any thread).
    Vector3 Subtract(const Vector3& v) const { return {x - v.x, y - v.y, z - v.z}; }
    Vector3& Assign(const Vector3& v) { *this = v; return *this; }
    void CopyFrom(const Vector3& v) { *this = v; }
};

// A plane a x + b y + c z + d = 0; a point with a negative value lies outside.
struct Plane {
    float a, b, c, d;
};

// A 4x4 float matrix in 16-byte aligned storage (the matrix routines may use
// aligned vector loads). Elements start at zero; Get and Set are 1-based and
// ignore indices outside 1..4 (Get gives 0).
class Matrix {
public:
    float* GetPointer() { return m; }
    const float* GetPointer() const { return m; }
    float Get(int row, int col) const;
    void Set(int row, int col, float v);

    int SetIdentity();
    void SetTranspose(const Matrix& a);
    // Leaves this unchanged and returns false when a is singular.
    bool SetInverse(const Matrix& a);
    // this = a x b (either may be this).
    void SetProduct(const Matrix& a, const Matrix& b);
    void Transpose() { SetTranspose(*this); }
    bool Invert() { return SetInverse(*this); }
    void Multiply(const Matrix& b) { SetProduct(*this, b); }

    void SetRotationX(Angle16 a);
    void SetRotationY(Angle16 a);
    void SetRotationZ(Angle16 a);
    void SetScaling(float x, float y, float z);
    void SetTranslation(float x, float y, float z);
    Matrix& Assign(const Matrix& a) { *this = a; return *this; }
    Matrix& SetElements(const float e[16]);
    // q = (x, y, z, w); the rotation of the conjugate quaternion in row-vector
    // convention (the transpose of the usual Direct3D quaternion matrix).
    void SetRotationQuaternion(const float q[4]);

private:
    alignas(16) float m[16] = {};
};
