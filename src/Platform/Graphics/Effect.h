#pragma once

#include "Platform/Graphics/Direct3DDevice9.h"
#include "Platform/Graphics/EffectPool.h"

#include <memory>
#include <vector>

inline constexpr DWORD D3DXFX_DONOTSAVESTATE = 0x1;

// A compiled effect: parameters, techniques of passes, and the device work
// of drawing with them. Begin saves the device state and End restores it;
// BeginPass applies the pass's states, textures and program; CommitChanges
// hands values set inside a pass to the device. Setting a parameter that
// does not exist fails quietly with D3DERR_INVALIDCALL.
class ID3DXEffect : public IUnknown {
public:
    ID3DXEffect(IDirect3DDevice9* device, PlatEffectFile file, ID3DXEffectPool* pool);
    // Builds the passes' programs; false with the compiler's messages.
    bool Compile(std::string* errors);

    HRESULT GetDesc(D3DXEFFECT_DESC* desc) const;
    D3DXHANDLE GetParameter(D3DXHANDLE parent, UINT index) const;
    D3DXHANDLE GetParameterByName(D3DXHANDLE parent, const char* name) const;
    HRESULT GetParameterDesc(D3DXHANDLE parameter, D3DXPARAMETER_DESC* desc) const;
    D3DXHANDLE GetTechnique(UINT index) const;
    D3DXHANDLE GetTechniqueByName(const char* name) const;
    HRESULT GetTechniqueDesc(D3DXHANDLE technique, D3DXTECHNIQUE_DESC* desc) const;
    // The first technique after `after` (null: from the start) that runs here.
    HRESULT FindNextValidTechnique(D3DXHANDLE after, D3DXHANDLE* technique) const;
    HRESULT SetTechnique(D3DXHANDLE technique);
    D3DXHANDLE GetCurrentTechnique() const;

    HRESULT SetFloat(D3DXHANDLE parameter, float value);
    HRESULT GetFloat(D3DXHANDLE parameter, float* value) const;
    HRESULT SetInt(D3DXHANDLE parameter, int value);
    HRESULT GetInt(D3DXHANDLE parameter, int* value) const;
    HRESULT SetBool(D3DXHANDLE parameter, BOOL value) { return SetInt(parameter, value); }
    HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector);
    HRESULT SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix);
    HRESULT SetFloatArray(D3DXHANDLE parameter, const float* values, UINT count);
    HRESULT GetFloatArray(D3DXHANDLE parameter, float* values, UINT count) const;
    HRESULT SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture);

    HRESULT Begin(UINT* passes, DWORD flags);
    HRESULT BeginPass(UINT pass);
    HRESULT CommitChanges();
    HRESULT EndPass();
    HRESULT End();

    // Effects keep no default-pool objects: nothing to drop or rebuild.
    HRESULT OnLostDevice() { return D3D_OK; }
    HRESULT OnResetDevice() { return D3D_OK; }

private:
    struct Parameter {
        PlatEffectParameterDecl decl;
        PlatEffectValue local;
        PlatEffectValue* value = nullptr; // local, or the pool's slot when shared
    };
    struct Pass {
        const PlatEffectPassDecl* decl = nullptr;
        std::unique_ptr<PlatShaderProgram> program; // null: fixed function
        // Looked up once: per texture binding its parameter and uniform, per
        // parameter its uniform (-1: the program has none).
        std::vector<const Parameter*> textureParameters;
        std::vector<int> textureUniforms;
        std::vector<int> parameterUniforms;
    };
    struct Technique {
        const PlatEffectTechniqueDecl* decl = nullptr;
        std::vector<Pass> passes;
    };

    ~ID3DXEffect() override;

    Parameter* Find(D3DXHANDLE handle);
    const Parameter* Find(D3DXHANDLE handle) const;
    const Technique* FindTechnique(D3DXHANDLE handle) const;
    HRESULT SetNumbers(D3DXHANDLE handle, const float* values, UINT count);
    void LocateUniforms(Pass& pass) const;
    void ApplyPassStates(const PlatEffectPassDecl& pass);
    void UploadValues(const Pass& pass);

    IDirect3DDevice9* device;
    ID3DXEffectPool* pool;
    PlatEffectFile file;
    std::vector<Parameter> parameters;
    std::vector<Technique> techniques;
    const Technique* current = nullptr;
    bool begun = false;
    bool savedState = false;
    const Pass* activePass = nullptr;
    PlatDeviceState saved;
    std::vector<PlatComPtr<IDirect3DResource9>> savedBindings;
};

// Reads and compiles an effect file. defines, include and flags are accepted
// for the familiar call shape and not used. On failure *errors (when asked
// for) holds the message naming the line.
HRESULT D3DXCreateEffect(IDirect3DDevice9* device, const void* data, UINT size, const void* defines,
                         void* include, DWORD flags, ID3DXEffectPool* pool, ID3DXEffect** effect,
                         ID3DXBuffer** errors);
