// Costs of the math and hit-test routines the battle calls hundreds of times
// per frame.
#include "engine/core/math.h"
#include "engine/graphics/collision2d.h"
#include "engine/graphics/visibility.h"

#include <benchmark/benchmark.h>

namespace {

void BM_RandomFloat(benchmark::State& state) {
    SeedRandom(0);
    for (auto _ : state) benchmark::DoNotOptimize(RandomFloat(-1.0f, 1.0f));
}
BENCHMARK(BM_RandomFloat);

void BM_RotateByAngle16(benchmark::State& state) {
    float x = 1.0f, y = 0.0f;
    Angle16 a = 0;
    for (auto _ : state) {
        RotateByAngle16(&x, &y, a += 977);
        benchmark::DoNotOptimize(x);
    }
}
BENCHMARK(BM_RotateByAngle16);

void BM_MatrixInverse(benchmark::State& state) {
    Matrix m, out;
    m.SetRotationY(5000);
    m.Set(4, 1, 3.0f);
    for (auto _ : state) {
        benchmark::DoNotOptimize(out.SetInverse(m));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MatrixInverse);

// Two turned rectangles that overlap only through crossing edges: the
// slowest path of the battle's rectangle test.
void BM_PolygonsOverlapByEdges(benchmark::State& state) {
    const float a[10] = {-1, -10, 1, -10, 1, 10, -1, 10, -1, -10};
    const float b[10] = {-10, -1, 10, -1, 10, 1, -10, 1, -10, -1};
    const Polygon2D pa{5, a}, pb{5, b};
    for (auto _ : state) benchmark::DoNotOptimize(PolygonsOverlap(&pa, &pb));
}
BENCHMARK(BM_PolygonsOverlapByEdges);

void BM_CircleHitsPolygon(benchmark::State& state) {
    const float square[10] = {0, 0, 10, 0, 10, 10, 0, 10, 0, 0};
    const Polygon2D poly{5, square};
    const float circle[3] = {12, 5, 1.5f};
    for (auto _ : state) benchmark::DoNotOptimize(CircleHitsPolygon(circle, &poly));
}
BENCHMARK(BM_CircleHitsPolygon);

// A box that neither has a corner inside nor lies beyond one plane runs every
// edge against every face: the slowest classification.
void BM_ClassifyApartBox(benchmark::State& state) {
    Matrix identity, turned;
    identity.SetIdentity();
    turned.SetRotationZ(8192);
    turned.Set(4, 1, 1.6f);
    turned.Set(4, 2, 1.6f);
    turned.Set(4, 3, 0.5f);
    Vector3 frustumCorners[8], boxCorners[8];
    Plane frustumPlanes[6], boxPlanes[6];
    TransformBoxCorners({-1, -1, 0}, {1, 1, 1}, frustumCorners, frustumPlanes, identity);
    TransformBoxCorners({-0.5f, -0.5f, -0.25f}, {0.5f, 0.5f, 0.25f}, boxCorners, boxPlanes, turned);
    for (auto _ : state)
        benchmark::DoNotOptimize(ClassifyPointsAgainstFrustum(boxCorners, boxPlanes, frustumCorners, frustumPlanes));
}
BENCHMARK(BM_ClassifyApartBox);

}  // namespace
