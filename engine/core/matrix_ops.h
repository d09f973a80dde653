#pragma once

// 4x4 float matrix routines on 16 floats in row order, with the results of
// the Direct3D utility library: row vectors, out = a x b. Every output may
// alias an input.

void MatrixMultiply(float out[16], const float a[16], const float b[16]);
void MatrixTranspose(float out[16], const float m[16]);
// General inverse by cofactors; returns false and leaves out unchanged when m
// is singular (determinant exactly 0).
bool MatrixInverse(float out[16], const float m[16]);
