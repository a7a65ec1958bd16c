#include "DynamicSky/CloudModel.h"

#include "DynamicSky/CloudFile.h"

#include <algorithm>
#include <cmath>

D3DXVECTOR3 CloudModel::Place(const D3DXVECTOR3& point) const {
    D3DXMATRIX turn;
    D3DXMatrixRotationZ(&turn, angle);
    const D3DXVECTOR3 scaled = point * scale;
    D3DXVECTOR3 placed;
    D3DXVec3TransformCoord(&placed, &scaled, &turn);
    return placed;
}

void CloudModel::Load(const std::string& fileName, float modelScale, float modelAngle) {
    scale = modelScale;
    angle = modelAngle;
    CloudFile file;
    if (!file.Load(fileName))
        return;
    std::vector<D3DXVECTOR3> points(static_cast<size_t>(file.NextCount()));
    for (D3DXVECTOR3& point : points)
        point = Place(file.NextVector());
    const int puffCount = file.NextCount();
    for (int i = 0; i < puffCount; ++i) {
        puffs.push_back(ReadPuff(file, points));
        Reach(puffs.back());
    }
    shadeRange[1] = file.NextReal();
    shadeRange[0] = file.NextReal();
    for (float& shade : shades)
        shade = file.NextReal();
}

CloudPuff CloudModel::ReadPuff(CloudFile& file, const std::vector<D3DXVECTOR3>& points) const {
    CloudPuff puff;
    puff.position = Place(file.NextVector());
    const std::vector<int> ints = file.NextInts(2);
    puff.keptInts[0] = ints[0];
    puff.keptInts[1] = ints[1];
    puff.keptFloat = file.NextReal();
    const int point = file.NextInt();
    // An anchor that is not among the points gives the puff no direction.
    if (point >= 0 && static_cast<size_t>(point) < points.size()) {
        const D3DXVECTOR3 away = puff.position - points[static_cast<size_t>(point)];
        D3DXVec3Normalize(&puff.direction, &away);
    }
    const std::vector<float> sizes = file.NextReals(2);
    puff.size1 = sizes[0] * scale;
    puff.size2 = sizes[1] * scale;
    return puff;
}

void CloudModel::Reach(const CloudPuff& puff) {
    const float r = std::sqrt(puff.size1 * puff.size1 + puff.size2 * puff.size2);
    const D3DXVECTOR3& p = puff.position;
    extents[0] = std::max(extents[0], (std::fabs(p.z) + r) * 0.5f);
    extents[1] = std::max({extents[1], std::fabs(p.x) + r, std::fabs(p.y) + r, std::fabs(p.z) + r});
}
