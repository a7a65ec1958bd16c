#pragma once

#include "Core/PRefPtr.h"
#include "Render/PEffect.h"

#include <map>
#include <string>
#include <vector>

class CPEffectManager;
extern CPEffectManager* g_EffectManager;

// Compiles each effect request once, keeps the pool of the shared parameters,
// and the first shared effect through which the frame sets them. Owns every
// effect it made and deletes them with itself.
class CPEffectManager {
public:
    enum ESharedParameter { VIEW_INVERSE, LIGHT, LIGHT_COLOUR, AMBIENT, CAMERA_POSITION, SHARED_COUNT };

    CPEffectManager();
    virtual ~CPEffectManager();
    CPEffectManager(const CPEffectManager&) = delete;
    CPEffectManager& operator=(const CPEffectManager&) = delete;

    // The effect of the request, compiled on first request; "error.fx" stands
    // in (under the requested string) for an effect that did not load.
    void GetEffect(CPRefPtr<CPEffect>& out, const std::string& request);
    void RemoveEffect(const CPEffect* effect);

    ID3DXEffectPool* GetPool() const { return pool; }
    // The first shared effect compiled becomes the one the frame sets the
    // shared parameters through.
    void OfferSharedEffect(ID3DXEffect* effect);
    ID3DXEffect* GetSharedEffect() const { return sharedEffect; }
    D3DXHANDLE GetSharedHandle(ESharedParameter which) const { return sharedHandles[which]; }

private:
    std::map<std::string, CPRefPtr<CPEffect>> effects;
    ID3DXEffectPool* pool = nullptr;
    ID3DXEffect* sharedEffect = nullptr;
    D3DXHANDLE sharedHandles[SHARED_COUNT] = {};
    std::vector<CPEffect*> owned;
};
