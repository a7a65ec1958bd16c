#include "Game/PMeshManager.h"

#include "Core/Log.h"
#include "Core/PSettings.h"
#include "Core/StringFunctions.h"
#include "Game/GameObjectServices.h"
#include "Render/PLight.h"
#include "Render/PRender.h"
#include "Render/PSprite.h"

#include <algorithm>
#include <cstdio>

CPMeshManager* g_MeshManager = nullptr;
std::string g_AnimMeshFile;

namespace {

const char* const kFallbackDescription = "wrong.rdf";

std::string Lowered(std::string text) {
    ToLowerString(text);
    return text;
}

D3DXVECTOR3 VectorAt(const std::vector<std::string>& fields, std::size_t first) {
    return D3DXVECTOR3(TextToFloat(FieldAt(fields, first)), TextToFloat(FieldAt(fields, first + 1)),
                       TextToFloat(FieldAt(fields, first + 2)));
}

BoundingBox CubeAroundOrigin(float halfSize) {
    return BoundingBox(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(halfSize, halfSize, halfSize));
}

// Reads a mesh file of Data\Meshes whole; false (with a log line) when it
// is missing or malformed.
bool LoadMeshFile(const std::string& fileName, EMeshFileFormat format, MeshFile& file) {
    CPFileReader reader("Data\\Meshes\\" + fileName, false);
    if (FAILED(reader.Load())) {
        GetLog().Print(0, "Mesh file %s not found\n", fileName.c_str());
        return false;
    }
    std::string error;
    if (!ReadMeshFile(reader.GetData(), static_cast<std::size_t>(reader.GetSize()), format, file, error) ||
        (file.roots.empty() && format == EMeshFileFormat::Animation)) {
        GetLog().Print(0, "Mesh file %s is malformed: %s\n", fileName.c_str(), error.c_str());
        return false;
    }
    return true;
}

bool IsWeatherSystem(const std::string& name) {
    return name == "snow" || name == "snow2" || name == "snow3";
}

} // namespace

CPMeshManager::CPMeshManager() {
    g_MeshManager = this;
}

CPMeshManager::~CPMeshManager() {
    if (g_MeshManager == this)
        g_MeshManager = nullptr;
}

void CPMeshManager::DeleteModel(CPGameObject* root) {
    if (!root)
        return;
    if (g_Render && g_Render->GetRenderBlock())
        g_Render->GetRenderBlock()->Reset();
    std::vector<CPRefPtr<CPGameObject>> subtree;
    root->CollectTree(subtree);
    std::vector<CPGameObject*> levels;
    std::vector<CPPartAnimation*> tracks;
    for (const CPRefPtr<CPGameObject>& object : subtree) {
        for (std::size_t k = 1; k < object->detailLevels.size(); ++k)
            levels.push_back(object->detailLevels[k].first.Get());
        object->animations.ForEach([&](const std::string&, const CPRefPtr<CPPartAnimation>& track) {
            if (track && std::find(tracks.begin(), tracks.end(), track.Get()) == tracks.end())
                tracks.push_back(track.Get());
        });
    }
    for (const CPRefPtr<CPGameObject>& object : subtree)
        object->DropTreeReferences();
    std::vector<CPGameObject*> objects;
    for (const CPRefPtr<CPGameObject>& object : subtree) {
        objects.push_back(object.Get());
        // A car holds its wheel and light parts: it goes before them.
        CPObject* car = object->car.Get();
        object->car = nullptr;
        delete car;
    }
    subtree.clear();
    // Children first: an object never outlives its parent's list.
    for (auto it = objects.rbegin(); it != objects.rend(); ++it)
        delete *it;
    for (CPGameObject* level : levels)
        DeleteModel(level);
    for (CPPartAnimation* track : tracks)
        delete track;
}

void CPMeshManager::LoadObject(CPRefPtr<CPGameObject>& out, const std::string& name, int basePriority) {
    out = nullptr;
    if (!MayLoad(name)) {
        shadowTexturesOn = false;
        return;
    }
    CPFileReader reader("Data\\Meshes\\" + name, false);
    if (FAILED(reader.Load())) {
        shadowTexturesOn = false;
        if (Lowered(name) == kFallbackDescription) {
            GetLog().Print(0, "Object description %s missing: no fallback model\n", kFallbackDescription);
            return;
        }
        GetLog().Print(0, "Object description %s missing: loading %s\n", name.c_str(), kFallbackDescription);
        LoadObject(out, kFallbackDescription, basePriority);
        return;
    }
    loadChain.push_back(Lowered(name));
    LoadDescribedObject(out, name, reader, basePriority);
    loadChain.pop_back();
    shadowTexturesOn = false;
}

bool CPMeshManager::MayLoad(const std::string& name) {
    if (loadChain.empty()) {
        nestedLoads = 0;
        return true;
    }
    // Descriptions naming each other as levels of detail would never end,
    // and a few levels of several each multiply into a great many models.
    const char* refusal = nullptr;
    if (static_cast<int>(loadChain.size()) >= kMaxNesting)
        refusal = "is nested too deeply";
    else if (std::find(loadChain.begin(), loadChain.end(), Lowered(name)) != loadChain.end())
        refusal = "is already being loaded";
    else if (++nestedLoads > kMaxNestedLoads)
        refusal = "is one nested load too many";
    if (refusal)
        GetLog().Print(0, "Object description %s %s: not loaded\n", name.c_str(), refusal);
    return refusal == nullptr;
}

void CPMeshManager::LoadDescribedObject(CPRefPtr<CPGameObject>& out, const std::string& name,
                                        const CPFileReader& reader, int basePriority) {
    ObjectDescription description;
    ParseObjectDescription(reader.GetData(), static_cast<std::size_t>(reader.GetSize()), description);
    if (!description.shadowTextures.empty()) {
        const std::vector<std::string> fields = SplitFields(description.shadowTextures, ",");
        shadowTextureDir = FieldAt(fields, 0);
        shadowTextureSuffix = FieldAt(fields, 1);
        shadowEffectSuffix = FieldAt(fields, 2);
        shadowTexturesOn = true;
    }
    CPRefPtr<CPGameObject> root;
    if (FieldAt(SplitFields(description.modelSpec, ";"), 0) == "anim")
        root = BuildAnimationModel(name, description, basePriority);
    else if (description.modelSpec == "empty")
        root = BuildEmptyModel(description, basePriority);
    else
        root = BuildMeshModel(name, description, basePriority);
    if (root && !description.description.empty()) {
        root->SetTypeName(description.description);
        root->LoadDescription();
    }
    out = root;
}

CPRefPtr<CPGameObject> CPMeshManager::BuildAnimationModel(const std::string& name,
                                                          const ObjectDescription& description,
                                                          int basePriority) {
    const std::vector<std::string> entries = SplitFields(description.modelSpec, ";");
    CPRefPtr<CPGameObject> root;
    for (std::size_t k = 1; k < entries.size(); ++k) {
        const std::vector<std::string> fields = SplitFields(entries[k], ",");
        const std::string& animationName = FieldAt(fields, 0);
        g_AnimMeshFile = FieldAt(fields, 1);
        MeshFile file;
        if (!LoadMeshFile(g_AnimMeshFile, EMeshFileFormat::Animation, file))
            continue;
        if (!root) {
            root = ReadMeshNode(file.roots.front(), description, basePriority, animationName);
            root->modelName = name;
        } else {
            ReadAnimationFrames(root, file.roots.front(), animationName);
        }
        root->UpdateHierarchy();
    }
    if (root) {
        AddLods(root, description, basePriority);
        AddSprites(root, description, basePriority, EModelForm::Animation);
    }
    return root;
}

CPRefPtr<CPGameObject> CPMeshManager::BuildEmptyModel(const ObjectDescription& description,
                                                      int basePriority) {
    CPRefPtr<CPGameObject> root = new CPGameObject("empty");
    AddSprites(root, description, basePriority, EModelForm::Empty);
    return root;
}

CPRefPtr<CPGameObject> CPMeshManager::BuildMeshModel(const std::string& name,
                                                     const ObjectDescription& description, int basePriority) {
    meshFileName = Lowered(description.modelSpec);
    MeshFile file;
    if (!LoadMeshFile(description.modelSpec, MeshFileFormatFor(description.modelSpec), file))
        return {};
    CPRefPtr<CPGameObject> root = ReadMeshFileRoot(name, file, description, basePriority);
    // The trailing block was read with the file; it changes no object.
    if (file.hasTrailingBlock)
        root->UpdateHierarchy();
    for (const std::string& point : description.lineKeyPoints)
        root->lineKeyPoints.push_back(VectorAt(SplitFields(point, ","), 0));
    if (!description.lineColour.empty()) {
        unsigned int colour = 0;
        if (std::sscanf(description.lineColour.c_str(), "%x", &colour) == 1)
            root->lineColor = colour;
    }
    AddSprites(root, description, basePriority, EModelForm::Mesh);
    AddLights(root, description);
    AddLods(root, description, basePriority);
    AddParticleSystems(root, description);
    return root;
}

CPRefPtr<CPGameObject> CPMeshManager::ReadMeshFileRoot(const std::string& name, const MeshFile& file,
                                                       const ObjectDescription& description,
                                                       int basePriority) {
    const auto readNode = [&](const MeshFileNode& node) {
        return file.format == EMeshFileFormat::Physics ? ReadMeshNodeFormat2(node, description, basePriority)
                                                       : ReadMeshNodeFormat1(node, description, basePriority);
    };
    CPRefPtr<CPGameObject> root;
    if (file.roots.size() == 1) {
        root = readNode(file.roots.front());
    } else {
        root = new CPGameObject(name);
        for (const MeshFileNode& node : file.roots)
            root->AddChild(readNode(node));
    }
    root->modelName = name;
    return root;
}

void CPMeshManager::AttachOrDiscard(const CPRefPtr<CPGameObject>& parent, CPGameObject* object) {
    if (parent) {
        parent->AddChild(object);
        return;
    }
    // Nothing would ever own it. Its emitter, as every object's, stays with
    // whoever made it: the object only stops it.
    GetLog().Print(0, "No parent for %s: dropped\n", object->GetName().c_str());
    delete object;
}

void CPMeshManager::AddSprites(const CPRefPtr<CPGameObject>& root, const ObjectDescription& description,
                               int basePriority, EModelForm form) {
    for (const std::string& value : description.sprites) {
        const std::vector<std::string> fields = SplitFields(value, ",");
        const std::string& spriteName = FieldAt(fields, 0);
        const float size = TextToFloat(FieldAt(fields, 4));
        auto* object = new CPGameObject(spriteName);
        auto* sprite = new CPSprite(size);
        sprite->SetOwner(object);
        object->SetVisual(sprite, VISUAL_SPRITE);
        object->castsShadow = false;
        if (form != EModelForm::Animation && !FieldAt(fields, 9).empty()) {
            sprite->axis = VectorAt(fields, 6);
            sprite->fadeAngle = TextToFloat(FieldAt(fields, 9));
        }
        if (form != EModelForm::Empty)
            object->SetStatic(false);
        if (form != EModelForm::Mesh)
            object->SetBounds(CubeAroundOrigin(size));
        object->SetPosition(VectorAt(fields, 1));
        ApplyProperties(object, description.Section(spriteName), basePriority);

        const std::string& parentName = FieldAt(fields, 5);
        CPRefPtr<CPGameObject> parent;
        if (parentName.empty() || (form == EModelForm::Animation && parentName == root->GetName()))
            parent = root;
        else
            parent = root->FindChild(parentName);
        if (!parent && form != EModelForm::Animation)
            parent = root;
        AttachOrDiscard(parent, object);
    }
}

void CPMeshManager::AddLights(const CPRefPtr<CPGameObject>& root, const ObjectDescription& description) {
    for (const std::string& value : description.lights) {
        const std::vector<std::string> fields = SplitFields(value, ",");
        auto* object = new CPGameObject(FieldAt(fields, 0));
        auto* light = new CPLight(object);
        object->SetVisual(light, VISUAL_LIGHT);
        object->castsShadow = false;
        const D3DXVECTOR3 colour = VectorAt(fields, 6);
        const float range = TextToFloat(FieldAt(fields, 10));
        D3DLIGHT9& record = light->light;
        record.Type = D3DLIGHT_POINT;
        record.Diffuse = record.Specular = record.Ambient = D3DCOLORVALUE{colour.x, colour.y, colour.z, 0};
        record.Range = range;
        record.Attenuation1 = TextToFloat(FieldAt(fields, 9));
        object->SetBounds(CubeAroundOrigin(range));
        object->SetPosition(VectorAt(fields, 3));

        const std::string& parentName = FieldAt(fields, 1);
        AttachOrDiscard(parentName == root->GetName() ? root : root->FindChild(parentName), object);
    }
}

void CPMeshManager::AddLods(const CPRefPtr<CPGameObject>& root, const ObjectDescription& description,
                            int basePriority) {
    // The model is its own nearest level; its count is not raised by holding
    // itself.
    root->AddLod(root, 0);
    root->Release();
    for (const std::string& value : description.lods) {
        const std::vector<std::string> fields = SplitFields(value, ",");
        CPRefPtr<CPGameObject> level;
        if (FieldAt(fields, 0) != "null")
            LoadObject(level, FieldAt(fields, 0), basePriority);
        root->AddLod(level, TextToInt(FieldAt(fields, 1)));
    }
}

void CPMeshManager::AddParticleSystems(const CPRefPtr<CPGameObject>& root,
                                       const ObjectDescription& description) {
    for (const std::string& value : description.particleSystems) {
        const std::vector<std::string> fields = SplitFields(value, ",");
        const std::string& systemName = FieldAt(fields, 0);
        if (g_Weather == 0 && IsWeatherSystem(systemName))
            continue;
        auto* object = new CPGameObject(systemName);
        const std::vector<std::string> definitions(fields.begin() + std::min<std::size_t>(fields.size(), 6),
                                                   fields.end());
        CPTask* system =
            g_GameObjectServices.createParticleSystem(object, definitions, TextToFloat(FieldAt(fields, 5)));
        object->SetVisual(system, VISUAL_PARTICLES);
        object->castsShadow = false;
        object->SetBounds(CubeAroundOrigin(0.5f));
        object->SetPosition(VectorAt(fields, 2));

        const std::string& parentName = FieldAt(fields, 1);
        AttachOrDiscard(parentName == root->GetName() ? root : root->GetPart(parentName), object);
    }
}
