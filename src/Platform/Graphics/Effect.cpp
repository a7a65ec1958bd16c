#include "Platform/Graphics/Effect.h"

#include "Platform/Graphics/EffectParser.h"

#include <algorithm>
#include <cstring>

namespace {

struct TypeInfo {
    D3DXPARAMETER_CLASS parameterClass;
    D3DXPARAMETER_TYPE type;
    UINT rows;
    UINT columns;
    UINT floats; // 0 for textures
};

TypeInfo Describe(PlatEffectType type) {
    switch (type) {
    case PlatEffectType::Float:
        return {D3DXPC_SCALAR, D3DXPT_FLOAT, 1, 1, 1};
    case PlatEffectType::Float4:
        return {D3DXPC_VECTOR, D3DXPT_FLOAT, 1, 4, 4};
    case PlatEffectType::Float4x4:
        return {D3DXPC_MATRIX_ROWS, D3DXPT_FLOAT, 4, 4, 16};
    case PlatEffectType::Int:
        return {D3DXPC_SCALAR, D3DXPT_INT, 1, 1, 1};
    case PlatEffectType::Bool:
        return {D3DXPC_SCALAR, D3DXPT_BOOL, 1, 1, 1};
    case PlatEffectType::Texture:
        return {D3DXPC_OBJECT, D3DXPT_TEXTURE, 0, 0, 0};
    case PlatEffectType::Texture2D:
        return {D3DXPC_OBJECT, D3DXPT_TEXTURE2D, 0, 0, 0};
    case PlatEffectType::TextureCube:
        return {D3DXPC_OBJECT, D3DXPT_TEXTURECUBE, 0, 0, 0};
    }
    return {};
}

bool IsTexture(PlatEffectType type) {
    return Describe(type).floats == 0;
}

} // namespace

HRESULT D3DXCreateEffectPool(ID3DXEffectPool** pool) {
    if (!pool)
        return D3DERR_INVALIDCALL;
    *pool = new ID3DXEffectPool;
    return D3D_OK;
}

HRESULT D3DXCreateEffect(IDirect3DDevice9* device, const void* data, UINT size, const void*, void*, DWORD,
                         ID3DXEffectPool* pool, ID3DXEffect** effect, ID3DXBuffer** errors) {
    if (errors)
        *errors = nullptr;
    if (!device || !data || !effect)
        return D3DERR_INVALIDCALL;
    PlatEffectFile file;
    std::string message;
    if (PlatEffectParser::Parse(std::string_view(static_cast<const char*>(data), size), &file, &message)) {
        auto* created = new ID3DXEffect(device, std::move(file), pool);
        if (created->Compile(&message)) {
            *effect = created;
            return D3D_OK;
        }
        created->Release();
    }
    if (errors)
        *errors = new ID3DXBuffer(message);
    return D3DXERR_INVALIDDATA;
}

ID3DXEffect::ID3DXEffect(IDirect3DDevice9* owner, PlatEffectFile effectFile, ID3DXEffectPool* sharedPool)
    : device(owner), pool(sharedPool), file(std::move(effectFile)), parameters(file.parameters.size()) {
    device->AddRef();
    if (pool)
        pool->AddRef();
    for (size_t i = 0; i < parameters.size(); ++i) {
        Parameter& parameter = parameters[i];
        parameter.decl = file.parameters[i];
        parameter.local.floats = parameter.decl.defaults;
        parameter.value = pool && parameter.decl.shared ? &pool->Slot(parameter.decl) : &parameter.local;
    }
}

ID3DXEffect::~ID3DXEffect() {
    if (begun)
        End();
    techniques.clear();
    if (pool)
        pool->Release();
    device->Release();
}

bool ID3DXEffect::Compile(std::string* errors) {
    for (const PlatEffectTechniqueDecl& decl : file.techniques) {
        Technique technique{&decl, {}};
        for (const PlatEffectPassDecl& passDecl : decl.passes) {
            Pass pass;
            pass.decl = &passDecl;
            if (!passDecl.vertexShader.empty()) {
                const std::string name = decl.name + "." + passDecl.name;
                std::string message;
                pass.program = device->GetBackend().CreateProgram(
                    name, file.FindShader(passDecl.vertexShader)->source,
                    file.FindShader(passDecl.fragmentShader)->source, &message);
                if (!pass.program) {
                    *errors = "line " + std::to_string(passDecl.line) + ": pass '" + name +
                              "' does not compile: " + message;
                    return false;
                }
            }
            LocateUniforms(pass);
            technique.passes.push_back(std::move(pass));
        }
        techniques.push_back(std::move(technique));
    }
    if (techniques.empty()) {
        *errors = "the effect has no technique";
        return false;
    }
    return true;
}

void ID3DXEffect::LocateUniforms(Pass& pass) const {
    for (const PlatEffectTextureDecl& binding : pass.decl->textures) {
        pass.textureParameters.push_back(Find(binding.parameter.c_str()));
        pass.textureUniforms.push_back(pass.program ? pass.program->FindUniform(binding.parameter) : -1);
    }
    if (!pass.program)
        return;
    for (const Parameter& parameter : parameters)
        pass.parameterUniforms.push_back(
            IsTexture(parameter.decl.type) ? -1 : pass.program->FindUniform(parameter.decl.name));
}

// ---- Descriptions and handles

HRESULT ID3DXEffect::GetDesc(D3DXEFFECT_DESC* desc) const {
    if (!desc)
        return D3DERR_INVALIDCALL;
    desc->Parameters = static_cast<UINT>(parameters.size());
    desc->Techniques = static_cast<UINT>(techniques.size());
    return D3D_OK;
}

D3DXHANDLE ID3DXEffect::GetParameter(D3DXHANDLE parent, UINT index) const {
    if (parent || index >= parameters.size())
        return nullptr;
    return parameters[index].decl.name.c_str();
}

D3DXHANDLE ID3DXEffect::GetParameterByName(D3DXHANDLE parent, const char* name) const {
    const Parameter* parameter = parent ? nullptr : Find(name);
    return parameter ? parameter->decl.name.c_str() : nullptr;
}

const ID3DXEffect::Parameter* ID3DXEffect::Find(D3DXHANDLE handle) const {
    if (!handle)
        return nullptr;
    for (const Parameter& parameter : parameters)
        if (parameter.decl.name.c_str() == handle)
            return &parameter;
    for (const Parameter& parameter : parameters)
        if (parameter.decl.name == handle)
            return &parameter;
    return nullptr;
}

ID3DXEffect::Parameter* ID3DXEffect::Find(D3DXHANDLE handle) {
    return const_cast<Parameter*>(std::as_const(*this).Find(handle));
}

HRESULT ID3DXEffect::GetParameterDesc(D3DXHANDLE handle, D3DXPARAMETER_DESC* desc) const {
    const Parameter* parameter = Find(handle);
    if (!parameter || !desc)
        return D3DERR_INVALIDCALL;
    const TypeInfo info = Describe(parameter->decl.type);
    desc->Name = parameter->decl.name.c_str();
    desc->Description = parameter->decl.description.c_str();
    desc->Class = info.parameterClass;
    desc->Type = info.type;
    desc->Rows = info.rows;
    desc->Columns = info.columns;
    desc->Bytes = info.floats * 4;
    desc->Shared = parameter->decl.shared ? TRUE : FALSE;
    return D3D_OK;
}

D3DXHANDLE ID3DXEffect::GetTechnique(UINT index) const {
    return index < techniques.size() ? techniques[index].decl->name.c_str() : nullptr;
}

D3DXHANDLE ID3DXEffect::GetTechniqueByName(const char* name) const {
    const Technique* technique = FindTechnique(name);
    return technique ? technique->decl->name.c_str() : nullptr;
}

const ID3DXEffect::Technique* ID3DXEffect::FindTechnique(D3DXHANDLE handle) const {
    if (!handle)
        return nullptr;
    for (const Technique& technique : techniques)
        if (technique.decl->name.c_str() == handle || technique.decl->name == handle)
            return &technique;
    return nullptr;
}

HRESULT ID3DXEffect::GetTechniqueDesc(D3DXHANDLE handle, D3DXTECHNIQUE_DESC* desc) const {
    const Technique* technique = FindTechnique(handle);
    if (!technique || !desc)
        return D3DERR_INVALIDCALL;
    desc->Name = technique->decl->name.c_str();
    desc->Passes = static_cast<UINT>(technique->passes.size());
    return D3D_OK;
}

// Every technique of a created effect compiled, so every one is valid.
HRESULT ID3DXEffect::FindNextValidTechnique(D3DXHANDLE after, D3DXHANDLE* handle) const {
    if (!handle)
        return D3DERR_INVALIDCALL;
    size_t next = 0;
    if (after) {
        const Technique* previous = FindTechnique(after);
        if (!previous)
            return D3DERR_INVALIDCALL;
        next = static_cast<size_t>(previous - techniques.data()) + 1;
    }
    *handle = next < techniques.size() ? techniques[next].decl->name.c_str() : nullptr;
    return *handle ? D3D_OK : S_FALSE;
}

HRESULT ID3DXEffect::SetTechnique(D3DXHANDLE handle) {
    const Technique* technique = FindTechnique(handle);
    if (!technique || begun)
        return D3DERR_INVALIDCALL;
    current = technique;
    return D3D_OK;
}

D3DXHANDLE ID3DXEffect::GetCurrentTechnique() const {
    return current ? current->decl->name.c_str() : nullptr;
}

// ---- Values

HRESULT ID3DXEffect::SetNumbers(D3DXHANDLE handle, const float* values, UINT count) {
    Parameter* parameter = Find(handle);
    if (!parameter || !values || IsTexture(parameter->decl.type))
        return D3DERR_INVALIDCALL;
    const UINT floats = Describe(parameter->decl.type).floats;
    std::copy_n(values, std::min(count, floats), parameter->value->floats.begin());
    return D3D_OK;
}

HRESULT ID3DXEffect::SetFloat(D3DXHANDLE handle, float value) {
    return SetNumbers(handle, &value, 1);
}

HRESULT ID3DXEffect::SetInt(D3DXHANDLE handle, int value) {
    const float number = static_cast<float>(value);
    return SetNumbers(handle, &number, 1);
}

HRESULT ID3DXEffect::SetVector(D3DXHANDLE handle, const D3DXVECTOR4* vector) {
    return SetNumbers(handle, reinterpret_cast<const float*>(vector), 4);
}

HRESULT ID3DXEffect::SetMatrix(D3DXHANDLE handle, const D3DXMATRIX* matrix) {
    return SetNumbers(handle, reinterpret_cast<const float*>(matrix), 16);
}

HRESULT ID3DXEffect::SetFloatArray(D3DXHANDLE handle, const float* values, UINT count) {
    return SetNumbers(handle, values, count);
}

HRESULT ID3DXEffect::GetFloatArray(D3DXHANDLE handle, float* values, UINT count) const {
    const Parameter* parameter = Find(handle);
    if (!parameter || !values || IsTexture(parameter->decl.type))
        return D3DERR_INVALIDCALL;
    std::copy_n(parameter->value->floats.begin(), std::min<UINT>(count, 16), values);
    return D3D_OK;
}

HRESULT ID3DXEffect::GetFloat(D3DXHANDLE handle, float* value) const {
    return GetFloatArray(handle, value, 1);
}

HRESULT ID3DXEffect::GetInt(D3DXHANDLE handle, int* value) const {
    float number = 0;
    const HRESULT hr = GetFloat(handle, &number);
    if (SUCCEEDED(hr) && value)
        *value = static_cast<int>(number);
    return hr;
}

HRESULT ID3DXEffect::SetTexture(D3DXHANDLE handle, IDirect3DBaseTexture9* texture) {
    Parameter* parameter = Find(handle);
    if (!parameter || !IsTexture(parameter->decl.type))
        return D3DERR_INVALIDCALL;
    parameter->value->texture = PlatComPtr<IDirect3DBaseTexture9>(texture);
    return D3D_OK;
}

// ---- Drawing

HRESULT ID3DXEffect::Begin(UINT* passes, DWORD flags) {
    if (!current || begun)
        return D3DERR_INVALIDCALL;
    begun = true;
    savedState = !(flags & D3DXFX_DONOTSAVESTATE);
    if (savedState) {
        saved = device->GetState();
        // Keep what the saved state binds alive until End puts it back.
        auto keep = [this](IDirect3DResource9* object) {
            if (object)
                savedBindings.emplace_back(object);
        };
        keep(saved.streamSource);
        keep(saved.indices);
        for (IDirect3DBaseTexture9* texture : saved.textures)
            keep(texture);
    }
    if (passes)
        *passes = static_cast<UINT>(current->passes.size());
    return D3D_OK;
}

HRESULT ID3DXEffect::BeginPass(UINT index) {
    if (!begun || activePass || index >= current->passes.size())
        return D3DERR_INVALIDCALL;
    activePass = &current->passes[index];
    ApplyPassStates(*activePass->decl);
    device->GetBackend().UseProgram(activePass->program.get());
    UploadValues(*activePass);
    return D3D_OK;
}

HRESULT ID3DXEffect::CommitChanges() {
    if (!activePass)
        return D3DERR_INVALIDCALL;
    UploadValues(*activePass);
    return D3D_OK;
}

HRESULT ID3DXEffect::EndPass() {
    if (!activePass)
        return D3DERR_INVALIDCALL;
    activePass = nullptr;
    device->GetBackend().UseProgram(nullptr);
    return D3D_OK;
}

HRESULT ID3DXEffect::End() {
    if (!begun)
        return D3DERR_INVALIDCALL;
    if (activePass)
        EndPass();
    if (savedState)
        device->RestoreState(saved);
    savedBindings.clear();
    begun = false;
    return D3D_OK;
}

void ID3DXEffect::ApplyPassStates(const PlatEffectPassDecl& pass) {
    for (const PlatEffectStateDecl& state : pass.states) {
        switch (state.group) {
        case PlatStateGroup::Render:
            device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state.state), state.value);
            break;
        case PlatStateGroup::Stage:
            device->SetTextureStageState(state.index, static_cast<D3DTEXTURESTAGESTATETYPE>(state.state),
                                         state.value);
            break;
        case PlatStateGroup::Sampler:
            device->SetSamplerState(state.index, static_cast<D3DSAMPLERSTATETYPE>(state.state), state.value);
            break;
        }
    }
}

// Binds the pass's textures and gives its program every parameter's value
// (a texture parameter's uniform gets its sampler number).
void ID3DXEffect::UploadValues(const Pass& pass) {
    const std::vector<PlatEffectTextureDecl>& bindings = pass.decl->textures;
    for (size_t i = 0; i < bindings.size(); ++i) {
        device->SetTexture(bindings[i].sampler, pass.textureParameters[i]->value->texture.Get());
        if (pass.program)
            pass.program->SetInt(pass.textureUniforms[i], static_cast<int>(bindings[i].sampler));
    }
    if (!pass.program)
        return;
    for (size_t i = 0; i < parameters.size(); ++i) {
        const Parameter& parameter = parameters[i];
        const PlatEffectType type = parameter.decl.type;
        const int uniform = pass.parameterUniforms[i];
        if (IsTexture(type))
            continue;
        if (type == PlatEffectType::Int || type == PlatEffectType::Bool)
            pass.program->SetInt(uniform, static_cast<int>(parameter.value->floats[0]));
        else
            pass.program->SetFloats(uniform, parameter.value->floats.data(),
                                    static_cast<int>(Describe(type).floats));
    }
}
