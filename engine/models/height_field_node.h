#pragma once
#include "engine/core/math.h"
#include "engine/core/resource.h"

#include <cstdint>
#include <functional>

class Mesh;

// A node of the quadtree that culls the cell meshes of a height-field model.
// Inner nodes hold four children and the union of their boxes; a leaf holds
// one cell mesh and its grid index.
class HeightFieldNode : public ResourceObject {
public:
    HeightFieldNode* children[4] = {nullptr, nullptr, nullptr, nullptr};
    Vector3 boxMin{};  // model space
    Vector3 boxMax{};
    Vector3 worldBoxCorners[8] = {};
    Plane worldBoxPlanes[6] = {};
    int32_t cellIndex = -1;
    Mesh* cellMesh = nullptr;

    // Places the box in the world (at every model update).
    void UpdateWorldBox(const Matrix& world);

    using VisibleTest = std::function<bool(const HeightFieldNode&)>;
    using CellDraw = std::function<void(Mesh*)>;
    // Walks the visible part of the tree: a node that fails `visible` is
    // skipped with everything below it; a visible leaf is drawn, marked in
    // cellFlags[cellIndex] and counted in *drawnCount.
    void Draw(int32_t* drawnCount, int32_t* cellFlags, const VisibleTest& visible, const CellDraw& drawCell) const;
};

// One cell of the grid as the model's mesh list gives it.
struct HeightFieldCell {
    Mesh* mesh;
    Vector3 boxMin;
    Vector3 boxMax;
};

// Builds the tree below `node` over the size x size cells whose first cell is
// (i, j): a leaf at size 1 (cellIndex = gridCellsPerSide * j + i), otherwise
// four new children, pushed onto `nodes` in order, over (i, j), (i + h, j),
// (i, j + h) and (i + h, j + h) with h = size / 2. So the grid side should be
// a power of two; other sides leave cells out of the tree. A size below 1
// leaves the node empty.
void BuildHeightFieldNode(HeightFieldNode* node, int32_t i, int32_t j, int32_t size, int32_t gridCellsPerSide,
                          const std::function<HeightFieldCell(int32_t cellIndex)>& cellAt, ResourceList* nodes);
