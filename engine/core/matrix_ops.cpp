#include "engine/core/matrix_ops.h"

#include <algorithm>

void MatrixMultiply(float out[16], const float a[16], const float b[16]) {
    float r[16];
    for (int row = 0; row < 4; ++row) {
        const float* ar = a + row * 4;
        for (int col = 0; col < 4; ++col)
            r[row * 4 + col] = ar[0] * b[col] + ar[1] * b[4 + col] + ar[2] * b[8 + col] + ar[3] * b[12 + col];
    }
    std::copy(r, r + 16, out);
}

void MatrixTranspose(float out[16], const float m[16]) {
    float r[16];
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) r[col * 4 + row] = m[row * 4 + col];
    std::copy(r, r + 16, out);
}

bool MatrixInverse(float out[16], const float m[16]) {
    // Cofactors in double from the 2x2 minors of the top and bottom row pairs.
    double a[16];
    std::copy(m, m + 16, a);
    const double s0 = a[0] * a[5] - a[4] * a[1];
    const double s1 = a[0] * a[6] - a[4] * a[2];
    const double s2 = a[0] * a[7] - a[4] * a[3];
    const double s3 = a[1] * a[6] - a[5] * a[2];
    const double s4 = a[1] * a[7] - a[5] * a[3];
    const double s5 = a[2] * a[7] - a[6] * a[3];
    const double c5 = a[10] * a[15] - a[14] * a[11];
    const double c4 = a[9] * a[15] - a[13] * a[11];
    const double c3 = a[9] * a[14] - a[13] * a[10];
    const double c2 = a[8] * a[15] - a[12] * a[11];
    const double c1 = a[8] * a[14] - a[12] * a[10];
    const double c0 = a[8] * a[13] - a[12] * a[9];
    const double det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (det == 0.0) return false;
    const double inv = 1.0 / det;
    const double r[16] = {
        (a[5] * c5 - a[6] * c4 + a[7] * c3) * inv,
        (-a[1] * c5 + a[2] * c4 - a[3] * c3) * inv,
        (a[13] * s5 - a[14] * s4 + a[15] * s3) * inv,
        (-a[9] * s5 + a[10] * s4 - a[11] * s3) * inv,
        (-a[4] * c5 + a[6] * c2 - a[7] * c1) * inv,
        (a[0] * c5 - a[2] * c2 + a[3] * c1) * inv,
        (-a[12] * s5 + a[14] * s2 - a[15] * s1) * inv,
        (a[8] * s5 - a[10] * s2 + a[11] * s1) * inv,
        (a[4] * c4 - a[5] * c2 + a[7] * c0) * inv,
        (-a[0] * c4 + a[1] * c2 - a[3] * c0) * inv,
        (a[12] * s4 - a[13] * s2 + a[15] * s0) * inv,
        (-a[8] * s4 + a[9] * s2 - a[11] * s0) * inv,
        (-a[4] * c3 + a[5] * c1 - a[6] * c0) * inv,
        (a[0] * c3 - a[1] * c1 + a[2] * c0) * inv,
        (-a[12] * s3 + a[13] * s1 - a[14] * s0) * inv,
        (a[8] * s3 - a[9] * s1 + a[10] * s0) * inv,
    };
    for (int i = 0; i < 16; ++i) out[i] = static_cast<float>(r[i]);
    return true;
}
