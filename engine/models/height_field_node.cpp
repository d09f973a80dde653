#include "engine/models/height_field_node.h"

#include "engine/graphics/visibility.h"

#include <algorithm>

void HeightFieldNode::UpdateWorldBox(const Matrix& world) {
    TransformBoxCorners(boxMin, boxMax, worldBoxCorners, worldBoxPlanes, world);
}

void HeightFieldNode::Draw(int32_t* drawnCount, int32_t* cellFlags, const VisibleTest& visible,
                           const CellDraw& drawCell) const {
    if (!visible(*this)) return;
    if (!cellMesh) {
        for (const HeightFieldNode* child : children) {
            if (child) child->Draw(drawnCount, cellFlags, visible, drawCell);
        }
        return;
    }
    drawCell(cellMesh);
    cellFlags[cellIndex] = 1;
    ++*drawnCount;
}

void BuildHeightFieldNode(HeightFieldNode* node, int32_t i, int32_t j, int32_t size, int32_t gridCellsPerSide,
                          const std::function<HeightFieldCell(int32_t cellIndex)>& cellAt, ResourceList* nodes) {
    if (size < 1) return;  // an empty grid: the node stays without cells
    if (size == 1) {
        node->cellIndex = gridCellsPerSide * j + i;
        const HeightFieldCell cell = cellAt(node->cellIndex);
        node->cellMesh = cell.mesh;
        node->boxMin = cell.boxMin;
        node->boxMax = cell.boxMax;
        return;
    }
    const int32_t half = size / 2;
    const int32_t starts[4][2] = {{i, j}, {i + half, j}, {i, j + half}, {i + half, j + half}};
    for (HeightFieldNode*& child : node->children) {
        child = new HeightFieldNode;
        nodes->PushBack(child);
    }
    for (int c = 0; c < 4; ++c) {
        HeightFieldNode* child = node->children[c];
        BuildHeightFieldNode(child, starts[c][0], starts[c][1], half, gridCellsPerSide, cellAt, nodes);
        const Vector3& lo = child->boxMin;
        const Vector3& hi = child->boxMax;
        if (c == 0) {
            node->boxMin = lo;
            node->boxMax = hi;
            continue;
        }
        node->boxMin = {std::min(node->boxMin.x, lo.x), std::min(node->boxMin.y, lo.y), std::min(node->boxMin.z, lo.z)};
        node->boxMax = {std::max(node->boxMax.x, hi.x), std::max(node->boxMax.y, hi.y), std::max(node->boxMax.z, hi.z)};
    }
}
