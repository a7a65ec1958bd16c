#pragma once

#include "Core/PRefPtr.h"
#include "Platform/D3DX9Math.h"

class CPGameObject;

// One ray query, filled by the caller and updated by every test that hits:
// each hit shortens `length` to the hit distance, so later tests must be
// nearer and the query ends at the nearest hit.
struct RayQuery {
    // Never hit (null: none).
    CPRefPtr<CPGameObject> ignore;
    CPRefPtr<CPGameObject> hitObject;
    // The hit object's top owner (the nearest ancestor-or-self with a script).
    CPRefPtr<CPGameObject> hitOwner;
    D3DXVECTOR3 hitPoint;
    float length = 0.0f;
    // The plane of the box face hit last.
    D3DXPLANE hitPlane;
    D3DXVECTOR3 origin;
    // Of unit length.
    D3DXVECTOR3 direction;
};
