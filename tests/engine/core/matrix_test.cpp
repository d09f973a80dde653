#include "engine/core/math.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

Matrix FromRows(std::initializer_list<float> e) {
    Matrix m;
    m.SetElements(std::data(e));
    return m;
}

void ExpectElements(const Matrix& m, std::initializer_list<float> expected, float tolerance = 0.0f) {
    const float* e = std::data(expected);
    for (int i = 0; i < 16; ++i) {
        if (tolerance == 0.0f)
            EXPECT_EQ(m.GetPointer()[i], e[i]) << "element " << i;
        else
            EXPECT_NEAR(m.GetPointer()[i], e[i], tolerance) << "element " << i;
    }
}

bool Aligned(const Matrix& m) { return reinterpret_cast<uintptr_t>(m.GetPointer()) % 16 == 0; }

TEST(MatrixTest, CopyHasItsOwnAlignedStorage) {
    Matrix source;
    source.SetTranslation(1, 2, 3);
    Matrix copy(source);
    copy.Set(4, 1, 9.0f);
    EXPECT_NE(copy.GetPointer(), source.GetPointer());
    EXPECT_EQ(source.Get(4, 1), 1.0f);
    EXPECT_TRUE(Aligned(copy));

    std::vector<Matrix> many(5, source);
    auto onHeap = std::make_unique<Matrix>(source);
    for (const Matrix& m : many) EXPECT_TRUE(Aligned(m));
    EXPECT_TRUE(Aligned(*onHeap));
    EXPECT_EQ(onHeap->Get(4, 3), 3.0f);
}

TEST(MatrixTest, OneBasedAccessInRowOrder) {
    Matrix m;
    m.Set(2, 3, 5.0f);
    EXPECT_EQ(m.GetPointer()[6], 5.0f);
    EXPECT_EQ(m.Get(2, 3), 5.0f);
    m.Set(0, 1, 7.0f);  // outside 1..4: ignored
    m.Set(5, 5, 7.0f);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m.GetPointer()[i], i == 6 ? 5.0f : 0.0f);
    EXPECT_EQ(m.Get(4, 5), 0.0f);
}

TEST(MatrixTest, QuarterTurnsMoveTheAxesOfRowVectors) {
    const struct {
        const char* name;
        void (Matrix::*rotate)(Angle16);
        Vector3 in, out;
    } cases[] = {
        {"x turns y into z", &Matrix::SetRotationX, {0, 1, 0}, {0, 0, 1}},
        {"x turns z into -y", &Matrix::SetRotationX, {0, 0, 1}, {0, -1, 0}},
        {"y turns z into x", &Matrix::SetRotationY, {0, 0, 1}, {1, 0, 0}},
        {"y turns x into -z", &Matrix::SetRotationY, {1, 0, 0}, {0, 0, -1}},
        {"z turns x into y", &Matrix::SetRotationZ, {1, 0, 0}, {0, 1, 0}},
        {"z turns y into -x", &Matrix::SetRotationZ, {0, 1, 0}, {-1, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Matrix m;
        (m.*c.rotate)(16384);
        Vector3 v;
        v.TransformCoord(c.in, m);
        EXPECT_NEAR(v.x, c.out.x, 1e-6f);
        EXPECT_NEAR(v.y, c.out.y, 1e-6f);
        EXPECT_NEAR(v.z, c.out.z, 1e-6f);
        EXPECT_EQ(m.Get(4, 4), 1.0f);
    }
}

TEST(MatrixTest, QuaternionMatrixAsWritten) {
    const float q[4] = {1, 2, 3, 4};  // unnormalised, so every term shows
    Matrix m;
    m.SetRotationQuaternion(q);
    ExpectElements(m, {-25, -20, 22, 0,  //
                       28, -19, 4, 0,    //
                       -10, 20, -9, 0,   //
                       0, 0, 0, 1});
}

TEST(MatrixTest, ScalingTranslationAndIdentity) {
    Matrix m;
    m.SetTranslation(1, 2, 3);
    EXPECT_EQ(m.SetIdentity(), 0);
    ExpectElements(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    m.SetScaling(2, 3, 4);
    ExpectElements(m, {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1});
}

TEST(MatrixTest, ProductAgainstHandValues) {
    const Matrix a = FromRows({1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 0, 0, 1});
    const Matrix b = FromRows({1, 0, 0, 0, 3, 1, 0, 0, 0, 0, 2, 0, 0, 0, 1, 1});
    Matrix ab;
    ab.SetProduct(a, b);
    ExpectElements(ab, {7, 2, 0, 0, 3, 1, 0, 0, 0, 0, 2, 0, 5, 0, 1, 1});

    Matrix inPlace = a;  // the output aliases the left input
    inPlace.Multiply(b);
    ExpectElements(inPlace, {7, 2, 0, 0, 3, 1, 0, 0, 0, 0, 2, 0, 5, 0, 1, 1});
}

TEST(MatrixTest, ProductAppliesTheLeftMatrixFirst) {
    Matrix scale, move, both;
    scale.SetScaling(2, 3, 4);
    move.SetTranslation(1, 2, 3);
    both.SetProduct(scale, move);
    Vector3 v;
    v.TransformCoord({1, 1, 1}, both);
    EXPECT_EQ(v.x, 3.0f);
    EXPECT_EQ(v.y, 5.0f);
    EXPECT_EQ(v.z, 7.0f);
}

TEST(MatrixTest, InverseAgainstHandValues) {
    const Matrix m = FromRows({2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 8, 0, 1, 2, 3, 1});
    Matrix inverse;
    ASSERT_TRUE(inverse.SetInverse(m));
    ExpectElements(inverse, {0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 0.125f, 0, -0.5f, -0.5f, -0.375f, 1});
}

TEST(MatrixTest, InverseOfADenseMatrixGivesTheIdentity) {
    Matrix m = FromRows({4, 7, 2, 3, 0, 5, 1, 2, 3, 1, 6, 0, 2, 2, 2, 9});
    const Matrix original = m;
    ASSERT_TRUE(m.Invert());
    Matrix product;
    product.SetProduct(original, m);
    ExpectElements(product, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 1e-6f);
}

TEST(MatrixTest, SingularInverseLeavesTheOutputUnchanged) {
    const Matrix singular = FromRows({1, 2, 3, 4, 2, 4, 6, 8, 0, 0, 1, 0, 0, 0, 0, 1});
    Matrix out;
    out.SetTranslation(7, 8, 9);
    EXPECT_FALSE(out.SetInverse(singular));
    ExpectElements(out, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 7, 8, 9, 1});
}

TEST(MatrixTest, TransposeInPlace) {
    Matrix m = FromRows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    m.Transpose();
    ExpectElements(m, {1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16});
}

TEST(Vector3Test, TransformsOfARowVector) {
    // Column 4 is deliberately not (0, 0, 0, 1): neither transform divides by w.
    const Matrix m = FromRows({1, 2, 0, 9, 0, 1, 0, 9, 0, 0, 3, 9, 10, 20, 30, 5});
    const struct {
        const char* name;
        void (Vector3::*transform)(const Matrix&);
        Vector3 expected;
    } cases[] = {
        {"coord adds the translation row", &Vector3::TransformCoordInPlace, {11, 23, 33}},
        {"normal ignores it", &Vector3::TransformNormalInPlace, {1, 3, 3}},
    };
    for (const auto& c : cases) {
        Vector3 v{1, 1, 1};
        (v.*c.transform)(m);
        EXPECT_EQ(v.x, c.expected.x) << c.name;
        EXPECT_EQ(v.y, c.expected.y) << c.name;
        EXPECT_EQ(v.z, c.expected.z) << c.name;
    }
}

TEST(Vector3Test, CrossMayOverwriteItsInput) {
    Vector3 a{1, 0, 0};
    const Vector3 b{0, 1, 0};
    a.Cross(a, b);
    EXPECT_EQ(a.x, 0.0f);
    EXPECT_EQ(a.y, 0.0f);
    EXPECT_EQ(a.z, 1.0f);
}

TEST(Vector3Test, NormalizeAndItsZeroGuard) {
    Vector3 v{3, 0, 4};
    v.Normalize();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
    Vector3 zero{0, 0, 0};
    zero.Normalize();
    EXPECT_EQ(zero.x, 0.0f);  // not NaN
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);
}

}  // namespace
