// The render queue and the frame of CPRender.
#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Render/PEffectManager.h"
#include "Render/PMaterialManager.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"
#include "Render/PSky.h"
#include "Render/RenderPriority.h"

#include <cmath>
#include <numbers>

namespace {

constexpr const char* kModule = "Render\\PRender";
constexpr float kSkyFieldOfView = std::numbers::pi_v<float> / 3.0f;
constexpr float kSkyNear = 1.0f;
constexpr float kSkyFar = 2000.0f;

D3DXMATRIX Product(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &a, &b);
    return product;
}

uint32_t FrameNumber() {
    return static_cast<uint32_t>(g_FrameCounter);
}

// True when the node was last drawn more than the allowed idle frames ago
// (unsigned: a node never drawn carries 0xFFFFFFFF).
bool IdleTooLong(const CPRenderNode& node) {
    return FrameNumber() - node.frameStamp > CPRender::kIdleFrames;
}

// Empties the items of the group's materials without drawing them, so that
// they do not pile up over the frames.
void ClearItems(const CPRenderEffectGroup& group) {
    for (const auto& texture : group.textureGroups)
        texture->material->ClearItems();
}

} // namespace

void CPRender::QueueMaterial(CPMaterial* material) {
    CPRenderLevel& level = levels[material->priority];
    level.useCount += 1;
    level.key = material->priority;
    auto group = std::find_if(level.effectGroups.begin(), level.effectGroups.end(), [&](const auto& entry) {
        return entry->effect.Get() == material->effect.Get();
    });
    if (group == level.effectGroups.end())
        group = level.effectGroups.insert(level.effectGroups.end(), std::make_unique<CPRenderEffectGroup>());
    CPRenderEffectGroup& effectGroup = **group;
    if (++effectGroup.useCount == 1)
        effectGroup.effect = material->effect;
    auto texture = std::find_if(
        effectGroup.textureGroups.begin(), effectGroup.textureGroups.end(),
        [&](const auto& entry) { return entry->textureBlock.Get() == material->textures.Get(); });
    if (texture == effectGroup.textureGroups.end())
        texture = effectGroup.textureGroups.insert(effectGroup.textureGroups.end(),
                                                   std::make_unique<CPRenderTextureGroup>());
    CPRenderTextureGroup& textureGroup = **texture;
    if (++textureGroup.useCount == 1) {
        textureGroup.textureBlock = material->textures;
        textureGroup.material = material;
    }
}

void CPRender::SetLevelCamera(int priority, const CPRefPtr<CPBaseCamera>& camera) {
    CPRenderLevel& level = levels[priority];
    level.useCount += 1;
    level.key = priority;
    level.camera = camera;
}

void CPRender::SetLevelWorld(const D3DXMATRIX& matrix, int priority) {
    CPRenderLevel& level = levels[priority];
    level.useCount += 1;
    level.hasWorld = true;
    level.world = matrix;
}

bool CPRender::QueueLight(const D3DLIGHT9& light) {
    if (lightCount >= kMaxLights)
        return false;
    lights[lightCount++] = light;
    return true;
}

void CPRender::ApplyLights() {
    for (int i = 0; i < lightCount; ++i) {
        device->SetLight(i, &lights[i]);
        if (lights[i].Type == D3DLIGHT_DIRECTIONAL)
            directionalLight = lights[i];
        device->LightEnable(i, TRUE);
    }
    for (int j = lightCount; j < kMaxLights; ++j)
        device->LightEnable(j, FALSE);
    lightCount = 0;
}

void CPRender::SetAmbient(DWORD argb, float r, float g, float b) {
    ambient = argb;
    ambientColour[0] = r;
    ambientColour[1] = g;
    ambientColour[2] = b;
    ambientColour[3] = 1.0f;
    if (device)
        device->SetRenderState(D3DRS_AMBIENT, argb);
}

void CPRender::SetFade(float level) {
    if (std::isnan(level))
        level = 0;
    level = std::clamp(level, 0.0f, 1.0f);
    fade = std::clamp(static_cast<float>(maxFade) * level, 0.0f, static_cast<float>(maxFade));
}

void CPRender::AddLine(DWORD colour, const D3DXVECTOR3& from, const D3DXVECTOR3& to) {
    lineListFlag = true;
    for (const D3DXVECTOR3& point : {from, to}) {
        MeshVertex vertex{};
        vertex.x = point.x;
        vertex.y = point.y;
        vertex.z = point.z;
        vertex.diffuse = colour;
        lineList.push_back(vertex);
    }
}

D3DXVECTOR3* CPRender::ProjectToScreen(D3DXVECTOR3* out, const D3DXVECTOR3* direction) const {
    const D3DXVECTOR4 point(direction->x, direction->y, direction->z, 1.0f);
    D3DXVECTOR4 q;
    D3DXVec4Transform(&q, &point, &skyViewProjection);
    const float width = static_cast<float>(g_ScreenWidth);
    const float height = static_cast<float>(g_ScreenHeight);
    // A direction beside or behind the eye has no screen position: it goes
    // far off the screen.
    if (q.w <= 1e-6f) {
        *out = D3DXVECTOR3(-1e6f, -1e6f, 0);
        return out;
    }
    *out = D3DXVECTOR3((q.x / q.w + 1.0f) * width * 0.5f, height * 0.5f - height * (q.y / q.w) * 0.5f, 0);
    return out;
}

void CPRender::Update() {
    UploadBlocks();
    if (!device || FAILED(device->TestCooperativeLevel())) {
        SkipLostFrame();
        return;
    }
    currentVertexBuffer = nullptr;
    currentIndexBuffer = nullptr;
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    SetFrameMatrices();
    if (multisampling)
        device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, TRUE);
    UpdateSky();
    device->SetFVF(MESH_VERTEX_FVF);
    const D3DXMATRIX identity = PlatIdentityMatrix();
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetTransform(D3DTS_VIEW, &frameView);
    device->SetTransform(D3DTS_PROJECTION, &frameProjection);
    DrawLines();
    DrawLevels();
    currentVertexBuffer = nullptr;
    currentIndexBuffer = nullptr;
    visibleObjectCount = 0;
    lightCount = 0;
    // Nothing draws the debug lines: they must not pile up over the frames.
    ClearLineList();
    ClearSecondLineList();
    DrawFade();
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    if (mainBlock)
        mainBlock->Reset();
}

void CPRender::UploadBlocks() {
    if (mainBlock)
        mainBlock->BeginFrame();
    for (const CPRefPtr<CPRenderBlock>& block : renderBlocks)
        block->Upload();
    renderBlocks.clear();
}

void CPRender::SkipLostFrame() {
    if (mainBlock)
        mainBlock->Reset();
    lightCount = 0;
    // The batches were listed with their materials; a later frame lists them
    // again and must not draw them twice.
    if (g_MaterialManager)
        g_MaterialManager->ClearAllItems();
}

void CPRender::SetFrameMatrices() {
    if (!g_MainCamera) {
        // Before the first race camera: no shared parameters, plain matrices.
        frameView = frameProjection = frameViewProjection = PlatIdentityMatrix();
        return;
    }
    const CPPerspectiveCamera& camera = *g_MainCamera;
    frameView = camera.view;
    frameProjection = camera.projection;
    const D3DXVECTOR3 offset = camera.target - camera.eye;
    D3DXVECTOR3 direction;
    D3DXVec3Normalize(&direction, &offset);
    const D3DXVECTOR3 origin(0, 0, 0);
    D3DXMatrixLookAtLH(&skyView, &origin, &direction, &camera.up);
    D3DXMatrixPerspectiveFovLH(&skyProjection, kSkyFieldOfView, 4.0f / 3.0f, kSkyNear, kSkyFar);
    skyViewProjection = Product(skyView, skyProjection);
    frameViewProjection = Product(frameView, frameProjection);
    ID3DXEffect* shared = g_EffectManager ? g_EffectManager->GetSharedEffect() : nullptr;
    if (!shared)
        return;
    const float k = lightCoeff;
    const D3DXVECTOR4 light(directionalLight.Direction.x, directionalLight.Direction.y,
                            directionalLight.Direction.z, 1.0f);
    const D3DXVECTOR4 lightColour(directionalLight.Diffuse.r * k, directionalLight.Diffuse.g * k,
                                  directionalLight.Diffuse.b * k, k);
    const D3DXVECTOR4 ambientValue(ambientColour[0] * k, ambientColour[1] * k, ambientColour[2] * k,
                                   ambientColour[3] * k);
    const D3DXVECTOR4 cameraPosition(camera.eye.x, camera.eye.y, camera.eye.z, 1.0f);
    shared->SetMatrix(g_EffectManager->GetSharedHandle(CPEffectManager::VIEW_INVERSE), &camera.inverseView);
    shared->SetVector(g_EffectManager->GetSharedHandle(CPEffectManager::LIGHT), &light);
    shared->SetVector(g_EffectManager->GetSharedHandle(CPEffectManager::LIGHT_COLOUR), &lightColour);
    shared->SetVector(g_EffectManager->GetSharedHandle(CPEffectManager::AMBIENT), &ambientValue);
    shared->SetVector(g_EffectManager->GetSharedHandle(CPEffectManager::CAMERA_POSITION), &cameraPosition);
}

void CPRender::UseCameraForEffects(const CPBaseCamera& camera) {
    frameView = camera.view;
    frameProjection = camera.projection;
    frameViewProjection = Product(frameView, frameProjection);
}

void CPRender::UpdateSky() {
    if (!levelCamera || !sky || !g_MainCamera)
        return;
    const D3DXMATRIX identity = PlatIdentityMatrix();
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetTransform(D3DTS_VIEW, &skyView);
    device->SetTransform(D3DTS_PROJECTION, &skyProjection);
    sky->Update(g_FrameTime);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetTransform(D3DTS_VIEW, &levelCamera->rotationView);
    device->SetTransform(D3DTS_PROJECTION, &levelCamera->farProjection);
    sky->Update(g_FrameTime);
}

void CPRender::DrawLines() {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    for (const std::vector<MeshVertex>& strip : lineStrips)
        if (strip.size() >= 2)
            device->DrawPrimitiveUP(D3DPT_LINESTRIP, static_cast<UINT>(strip.size() - 1), strip.data(),
                                    sizeof(MeshVertex));
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
}

void CPRender::RunPostPass(bool motionBlur) {
    if (multisampling)
        device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, FALSE);
    if (g_Bloom != 0) {
        if (motionBlur)
            bloom.RenderMotionBlur();
        else
            bloom.RenderBloom();
    }
    currentVertexBuffer = nullptr;
    currentIndexBuffer = nullptr;
    if (multisampling)
        device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, TRUE);
}

void CPRender::DrawLevels() {
    bool blurDone = false, bloomDone = false, worldChanged = false;
    int cameraLevels = 0;
    for (auto& [priority, level] : levels) {
        if (priority >= RENDER_AFTER_BLUR && !blurDone) {
            blurDone = true;
            RunPostPass(true);
        } else if (priority >= RENDER_SCREEN && !bloomDone) {
            bloomDone = true;
            RunPostPass(false);
        }
        if (level.useCount <= 0 || priority < 0) {
            // Levels below 0 are never drawn.
            for (const auto& group : level.effectGroups)
                ClearItems(*group);
            continue;
        }
        if (level.camera) {
            ++cameraLevels;
            device->SetTransform(D3DTS_VIEW, &level.camera->view);
            device->SetTransform(D3DTS_PROJECTION, &level.camera->projection);
            // Without a race camera (the menus) the effects draw with the
            // camera of the level, as the device does.
            if (!g_MainCamera)
                UseCameraForEffects(*level.camera);
        }
        if (level.hasWorld)
            device->SetTransform(D3DTS_WORLD, &level.world);
        level.frameStamp = FrameNumber();
        DrawLevel(level, worldChanged);
        if (priority == RENDER_OBJECT_BASE && cameraLevels == 1)
            DrawDebugBoxes();
    }
}

void CPRender::DrawLevel(CPRenderLevel& level, bool& worldChanged) {
    auto& groups = level.effectGroups;
    for (auto group = groups.begin(); group != groups.end();) {
        if ((*group)->useCount < 1) {
            group = IdleTooLong(**group) ? groups.erase(group) : std::next(group);
            continue;
        }
        DrawEffectGroup(level, **group, worldChanged);
        ++group;
    }
}

void CPRender::DrawEffectGroup(CPRenderLevel& level, CPRenderEffectGroup& group, bool& worldChanged) {
    ID3DXEffect* effect = group.effect ? group.effect->effect : nullptr;
    UINT passes = 0;
    if (!effect || FAILED(effect->Begin(&passes, 0))) {
        // Nothing of this effect is drawn this frame.
        ClearItems(group);
        return;
    }
    group.frameStamp = FrameNumber();
    auto& textures = group.textureGroups;
    for (auto texture = textures.begin(); texture != textures.end();) {
        CPMaterial& material = *(*texture)->material;
        if (material.items.empty()) {
            if (IdleTooLong(**texture)) {
                (*texture)->OnDrop();
                texture = textures.erase(texture);
                group.useCount -= 1;
                level.useCount -= 1;
            } else {
                ++texture;
            }
            continue;
        }
        group.effect->SetTextures(*(*texture)->textureBlock);
        (*texture)->frameStamp = FrameNumber();
        for (const CPIVBlock* batch : material.items) {
            if (!batch->placed)
                continue;
            if (batch->vertexCount > 0)
                DrawBatch(level, effect, passes, *batch, worldChanged);
            if (!batch->staticObjects.empty() && passes > 0)
                DrawStatics(effect, passes, *batch, worldChanged);
        }
        material.ClearItems();
        ++texture;
    }
    effect->End();
    // End brings back the device state of Begin, stream bindings included.
    currentVertexBuffer = nullptr;
    currentIndexBuffer = nullptr;
}

void CPRender::BindStream(IDirect3DVertexBuffer9* vertices, IDirect3DIndexBuffer9* indices) {
    if (vertices == currentVertexBuffer && indices == currentIndexBuffer)
        return;
    device->SetStreamSource(0, vertices, 0, sizeof(MeshVertex));
    device->SetIndices(indices);
    currentVertexBuffer = vertices;
    currentIndexBuffer = indices;
}

void CPRender::DrawBatch(const CPRenderLevel& level, ID3DXEffect* effect, UINT passes, const CPIVBlock& batch,
                         bool& worldChanged) {
    if (worldChanged) {
        const D3DXMATRIX world = level.hasWorld ? level.world : PlatIdentityMatrix();
        device->SetTransform(D3DTS_WORLD, &world);
        worldChanged = false;
    }
    effect->SetMatrix("g_mViewProjection", &frameViewProjection);
    effect->SetMatrix("g_mView", &frameView);
    // Dynamic geometry is in world space: the world matrices of the last
    // static mesh must not carry over.
    const D3DXMATRIX identity = PlatIdentityMatrix();
    effect->SetMatrix("g_mWorld", &identity);
    effect->SetMatrix("g_mWorldView", &frameView);
    effect->SetMatrix("g_mWorldViewProjection", &frameViewProjection);
    for (const CPIVBlock::Range& range : batch.ranges) {
        BindStream(range.vertexBuffer, range.indexBuffer);
        for (UINT pass = 0; pass < passes; ++pass) {
            if (FAILED(effect->BeginPass(pass)))
                continue;
            const HRESULT hr = device->DrawIndexedPrimitive(
                D3DPT_TRIANGLELIST, 0, static_cast<UINT>(range.startVertex),
                static_cast<UINT>(range.vertexCount), static_cast<UINT>(range.startIndex),
                static_cast<UINT>(range.indexCount / 3));
            if (FAILED(hr))
                ReportPlatformError(kModule, __LINE__, hr);
            effect->EndPass();
        }
    }
}

void CPRender::DrawStatics(ID3DXEffect* effect, UINT passes, const CPIVBlock& batch, bool& worldChanged) {
    for (UINT pass = 0; pass < passes; ++pass) {
        if (FAILED(effect->BeginPass(pass)))
            continue;
        for (const CPBaseRenderObject* object : batch.staticObjects) {
            // Only meshes can be static.
            const auto& mesh = static_cast<const CPRenderObject&>(*object);
            const StaticBufferRecord* record = mesh.staticBuffers;
            if (!record || !record->vertexBuffer || !record->indexBuffer)
                continue;
            worldChanged = true;
            const D3DXMATRIX& world = mesh.staticWorld;
            const D3DXMATRIX worldViewProjection = Product(world, frameViewProjection);
            const D3DXMATRIX worldView = Product(world, frameView);
            effect->SetMatrix("g_mWorldViewProjection", &worldViewProjection);
            effect->SetMatrix("g_mWorldView", &worldView);
            effect->SetMatrix("g_mWorld", &world);
            effect->CommitChanges();
            device->SetTransform(D3DTS_WORLD, &world);
            BindStream(record->vertexBuffer, record->indexBuffer);
            const HRESULT hr =
                device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, static_cast<UINT>(record->vertexCount),
                                             0, static_cast<UINT>(record->triangleCount));
            if (FAILED(hr))
                ReportPlatformError(kModule, __LINE__, hr);
        }
        effect->EndPass();
    }
}

void CPRender::DrawFade() {
    if (static_cast<float>(maxFade) <= fade)
        return;
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetFVF(SCREEN_VERTEX_FVF);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    const DWORD colour = static_cast<DWORD>(255.0f - fade) << 24;
    const float width = static_cast<float>(g_ScreenWidth);
    const float height = static_cast<float>(g_ScreenHeight);
    const ScreenVertex quad[4] = {{width - 0.5f, -0.5f, 1, 1, colour, 1, 0},
                                  {width - 0.5f, height - 0.5f, 1, 1, colour, 1, 1},
                                  {-0.5f, -0.5f, 1, 1, colour, 0, 0},
                                  {-0.5f, height - 0.5f, 1, 1, colour, 0, 1}};
    DrawScreenQuad(quad);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetFVF(MESH_VERTEX_FVF);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
}

void CPRender::DrawDebugBoxes() {
    if (debugBoxes.empty())
        return;
    currentVertexBuffer = nullptr;
    currentIndexBuffer = nullptr;
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    constexpr int kEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                   {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (const BoundingBox& box : debugBoxes) {
        MeshVertex edges[24] = {};
        for (int e = 0; e < 12; ++e) {
            for (int end = 0; end < 2; ++end) {
                MeshVertex& vertex = edges[e * 2 + end];
                const D3DXVECTOR3& corner = box.corners[kEdges[e][end]];
                vertex.x = corner.x;
                vertex.y = corner.y;
                vertex.z = corner.z;
                vertex.diffuse = 0xff00ff00;
            }
        }
        device->DrawPrimitiveUP(D3DPT_LINELIST, 12, edges, sizeof(MeshVertex));
    }
    debugBoxes.clear();
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
}

void CPRender::ClearLineList() {
    lineList.clear();
    lineListFlag = false;
}

void CPRender::ClearSecondLineList() {
    secondLineList.clear();
    secondLineListFlag = false;
}
