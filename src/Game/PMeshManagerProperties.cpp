// The mesh manager's node properties: what a description's section does to
// the node of its name, and the node animation files it names.
#include "Game/PMeshManager.h"

#include "Core/Log.h"
#include "Core/PFileFind.h"
#include "Core/PFileReader.h"
#include "Core/StringFunctions.h"
#include "Game/GameObjectServices.h"
#include "Render/PEffectVisual.h"
#include "Render/PMaterialManager.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"
#include "Render/PVertexEffect.h"
#include "Render/PartAnimationFile.h"
#include "Script/PScriptManager.h"

#include <algorithm>

namespace {

// Loose files only: a file inside a pack does not count.
bool LooseFileExists(const std::string& path) {
    CPFileFind find(path);
    return SUCCEEDED(find.FindFirst());
}

const std::string* Lookup(const DescriptionSection& section, const std::string& key) {
    const auto found = section.find(key);
    return found == section.end() ? nullptr : &found->second;
}

std::string ValueOf(const DescriptionSection& section, const std::string& key) {
    const std::string* value = Lookup(section, key);
    return value ? *value : std::string();
}

CPRefPtr<CPMaterial> GetMaterial(int priority, const std::string& effect,
                                 const std::vector<std::string>& textures) {
    CPRefPtr<CPMaterial> material;
    if (g_MaterialManager)
        g_MaterialManager->GetMaterial(material, priority, effect, textures);
    return material;
}

// The effect of a shadow-texture variant: the effect's name without its
// three-letter extension (a shorter name whole), then the suffix.
std::string ShadowEffectName(const std::string& effect, const std::string& suffix) {
    return (effect.size() >= 3 ? effect.substr(0, effect.size() - 3) : effect) + suffix;
}

void SetVisualMaterial(CPGameObject& node, const CPRefPtr<CPMaterial>& material) {
    switch (node.GetVisualKind()) {
    case VISUAL_MESH:
    case VISUAL_ANIMATED:
    case VISUAL_SPRITE:
        node.GetVisual()->SetMaterial(material);
        break;
    default:
        break;
    }
}

void ApplyFlags(CPGameObject& node, const DescriptionSection& section) {
    if (const std::string* value = Lookup(section, "visible"))
        node.SetVisible(TextToInt(*value) != 0);
    if (const std::string* value = Lookup(section, "shadow"))
        node.castsShadow = TextToInt(*value) != 0;
    if (const std::string* value = Lookup(section, "param"))
        node.param = *value;
    if (const std::string* value = Lookup(section, "collision"))
        node.collision = TextToInt(*value) != 0;
    if (const std::string* value = Lookup(section, "flametype"))
        node.flameType = TextToInt(*value);
}

// Attaches the effect to the node's visual; a mesh or animated object with
// an effect is rewritten every frame, so the node stops being static.
void AttachVertexEffect(CPGameObject& node, CPVertexEffect* effect) {
    const auto attach = [&](auto& visual) {
        visual.vertexEffects.push_back(effect);
        visual.hasVertexEffects = true;
    };
    switch (node.GetVisualKind()) {
    case VISUAL_MESH:
        attach(*node.GetRenderObject());
        node.isStatic = false;
        break;
    case VISUAL_ANIMATED:
        attach(*static_cast<CPEffectVisual*>(node.visual.Get()));
        node.isStatic = false;
        break;
    case VISUAL_SPRITE:
        attach(*static_cast<CPEffectVisual*>(node.visual.Get()));
        break;
    default:
        delete effect;
        break;
    }
}

} // namespace

void CPMeshManager::ApplyProperties(const CPRefPtr<CPGameObject>& nodeHandle,
                                    const DescriptionSection& section, int basePriority) {
    CPGameObject& node = *nodeHandle;
    std::string effect = ValueOf(section, "effectfile");
    std::vector<std::string> textures = {ValueOf(section, "texturefile1")};
    for (const char* key : {"texturefile2", "texturefile3", "texturefile4"}) {
        if (const std::string* texture = Lookup(section, key))
            textures.push_back(*texture);
    }

    if (shadowTexturesOn) {
        const std::string shadowTexture = shadowTextureDir + "\\" + node.GetName() + shadowTextureSuffix;
        if (LooseFileExists("Data\\Textures\\" + shadowTexture)) {
            const std::string shadowEffect = ShadowEffectName(effect, shadowEffectSuffix);
            if (LooseFileExists("Data\\Effects\\" + shadowEffect)) {
                textures.push_back(shadowTexture);
                effect = shadowEffect;
            }
        }
    }

    const CPRefPtr<CPMaterial> material =
        GetMaterial(basePriority + TextToInt(ValueOf(section, "type")), effect, textures);
    // Chosen before the "shadow" key is read.
    if (node.castsShadow) {
        node.SetShadowMaterial(effect == "holey.fx" ? GetMaterial(16, "holey_shadow.fx", textures)
                               : g_Render           ? g_Render->GetShadowMaterial()
                                                    : CPRefPtr<CPMaterial>());
    }
    SetVisualMaterial(node, material);
    ApplyFlags(node, section);

    const std::string& firstTexture = textures.front();
    const std::string fireTexture = firstTexture.substr(0, firstTexture.find('.')) + "_fire.tga";
    if (LooseFileExists("Data\\Textures\\" + fireTexture))
        node.SetFireMaterial(GetMaterial(20, "holey.fx", {fireTexture}));

    if (const std::string* scriptName = Lookup(section, "script")) {
        CPLuaScript* script = g_ScriptManager ? g_ScriptManager->GetScript(*scriptName).Get() : nullptr;
        if (!script)
            GetLog().Print(0, "%s: no script %s\n", node.GetName().c_str(), scriptName->c_str());
        node.SetScript(script);
    }

    if (const std::string* vertexEffects = Lookup(section, "vertexeffect"))
        ApplyVertexEffects(node, *vertexEffects);
    else if (CPRenderObject* mesh = node.GetRenderObject();
             mesh && !mesh->IsStatic() && g_Render && mesh->GetVertexCount() > 0) {
        // Every node of one mesh file and name shares one pair of buffers.
        mesh->name = meshFileName + node.GetName();
        mesh->staticBuffers =
            g_Render->GetStaticBuffers(mesh->name, mesh->sourceVertices.data(), mesh->indices.data(),
                                       mesh->GetVertexCount(), mesh->GetIndexCount());
        mesh->SetStatic(mesh->staticBuffers != nullptr);
    }

    if (const std::string* animations = Lookup(section, "animation"))
        ApplyAnimations(node, *animations);
}

void CPMeshManager::ApplyVertexEffects(CPGameObject& node, const std::string& value) {
    for (const std::string& entry : SplitFields(value, ";")) {
        const std::vector<std::string> parts = SplitFields(entry, " ");
        const std::string& keyword = FieldAt(parts, 0);
        if (CPVertexEffect* effect = CreateVertexEffect(keyword, SplitFields(FieldAt(parts, 1), ",")))
            AttachVertexEffect(node, effect);
        else
            GetLog().Print(0, "%s: no vertex effect from \"%s\"\n", node.GetName().c_str(), entry.c_str());
    }
}

void CPMeshManager::ApplyAnimations(CPGameObject& node, const std::string& value) {
    std::vector<CPRefPtr<CPGameObject>> subtree;
    node.CollectTree(subtree);
    for (const std::string& entry : SplitFields(value, ";")) {
        const std::vector<std::string> fields = SplitFields(entry, ",");
        std::vector<CPPartAnimation*> unused;
        {
            StringHashMap<CPRefPtr<CPPartAnimation>> tracks(100);
            LoadAnimations(FieldAt(fields, 1), tracks);
            for (const CPRefPtr<CPGameObject>& object : subtree) {
                if (const CPRefPtr<CPPartAnimation>* track = tracks.Find(object->GetName())) {
                    (*track)->owner = object.Get();
                    object->AddAnimation(FieldAt(fields, 0), *track);
                }
            }
            tracks.ForEach([&](const std::string&, const CPRefPtr<CPPartAnimation>& track) {
                if (!track->owner)
                    unused.push_back(track.Get());
            });
        }
        // A track that no node bears would be owned by nothing.
        for (CPPartAnimation* track : unused)
            delete track;
    }
}
