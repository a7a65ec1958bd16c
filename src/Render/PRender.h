#pragma once

#include "Core/BoundingBox.h"
#include "Core/PTask.h"
#include "Platform/Graphics/Direct3D9.h"
#include "Render/MeshVertex.h"
#include "Render/PBloom.h"
#include "Render/PLoadingScreen.h"
#include "Render/PMaterial.h"
#include "Render/PRenderBlock.h"
#include "Render/PRenderLevel.h"
#include "Render/PStaticBuffers.h"
#include "Render/ScreenVertex.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class CPRender;
extern CPRender* g_Render;

class CPPerspectiveCamera;
class CPSky;

// The renderer: the task that owns the graphics device and draws the frame
// last in every pass. Other subsystems submit objects to its main block,
// queue lights, set the fade and the level cameras during the pass; Update
// then draws the queue level by level in ascending priority and presents.
class CPRender : public CPTask {
public:
    static constexpr int kMaxLights = 30;
    // Drawn levels keep their effect and texture groups this many idle frames.
    static constexpr uint32_t kIdleFrames = 10;

    struct DisplayMode {
        int height;
        int width;
        D3DFORMAT format;
        bool operator==(const DisplayMode&) const = default;
    };

    CPRender();
    ~CPRender() override;

    // Creates the device and the renderer's own resources; false ends the
    // application's start.
    bool Start() override;
    // The frame.
    void Update() override;
    // Releases the device and everything made on it and empties the queue;
    // the static records keep their copies, so a later Start draws again
    // what was drawn before.
    void Stop() override;
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(CPRender); }
    std::string GetClassName() const override { return "CPRender"; }

    HRESULT CreateDevice();
    void ListDisplayModes();
    // Every device state the frame relies on, and a new screen camera at
    // level 195.
    void SetDefaultStates();
    void SetTextureFilter();
    // Resets the device after it was lost (the window was restored).
    void ResetDevice();
    // Draws and presents one loading-screen frame with the bar at `percent`.
    void DrawLoadingScreen(int percent) { loadingScreen.Draw(device, percent); }

    IDirect3DDevice9* GetDevice() const { return device; }
    CPRefPtr<CPMaterial> GetShadowMaterial() const { return commonShadowMaterial; }
    CPRefPtr<CPRenderBlock> GetRenderBlock() const { return mainBlock; }
    // The block holding a level's static meshes; null until a level sets one.
    CPRefPtr<CPRenderBlock> GetStaticBlock() const { return staticBlock; }
    void AddRenderBlock(CPRenderBlock* block) { renderBlocks.emplace_back(block); }
    // Gives the material a node at its priority, effect and texture block.
    void QueueMaterial(CPMaterial* material);
    void SetLevelCamera(int priority, const CPRefPtr<CPBaseCamera>& camera);
    void SetLevelWorld(const D3DXMATRIX& matrix, int priority);
    // Appends a light to the frame's queue; false when 30 are queued.
    bool QueueLight(const D3DLIGHT9& light);
    // Sets the queued lights on the device and empties the queue.
    void ApplyLights();
    void SetAmbient(DWORD argb, float r, float g, float b);
    // 1 shows the picture, 0 a black screen.
    void SetFade(float level);
    void AddLine(DWORD colour, const D3DXVECTOR3& from, const D3DXVECTOR3& to);
    // The screen position of a direction seen from the eye.
    D3DXVECTOR3* ProjectToScreen(D3DXVECTOR3* out, const D3DXVECTOR3* direction) const;
    // Replaces the sky by a new one from the installed factory, loaded from
    // "skyscape<number>.txt".
    void LoadSky(int number);
    void UpdateBlurGrid(float v);

    // The shared buffers of the static mesh of this name, made on first
    // request; null for an empty mesh.
    StaticBufferRecord* GetStaticBuffers(const std::string& name, const MeshVertex* vertices,
                                         const uint16_t* indices, int vertexCount, int indexCount) {
        return staticBuffers.Get(device, name, vertices, indices, vertexCount, indexCount);
    }
    void ReleaseStaticBuffers() { staticBuffers.Clear(); }
    // Drops every reference to materials, effects and texture blocks (the
    // queue and the shadow material): their manager is deleting them.
    void ForgetMaterials();

    std::vector<std::vector<MeshVertex>> lineStrips;
    CPBloom bloom;
    bool multisampling = false;
    int multisampleQualityLevels = 0;
    int motionBlurOn = 0;
    float motionBlurAmount = 0;
    float lightCoeff = 2.0f;
    BYTE pickupTint = 255;
    int visibleObjectCount = 0;
    std::vector<CPRefPtr<CPRenderBlock>> renderBlocks;
    CPRefPtr<CPMaterial> commonShadowMaterial;
    bool lineListFlag = false;
    bool secondLineListFlag = false;
    std::vector<MeshVertex> lineList;
    std::vector<MeshVertex> secondLineList;
    D3DLIGHT9 lights[kMaxLights];
    int lightCount = 0;
    IDirect3DVertexBuffer9* currentVertexBuffer = nullptr;
    IDirect3DIndexBuffer9* currentIndexBuffer = nullptr;
    D3DPRESENT_PARAMETERS presentParameters;
    IDirect3D9* direct3D = nullptr;
    IDirect3DDevice9* device = nullptr;
    std::vector<DisplayMode> displayModes;
    D3DFORMAT format16 = D3DFMT_UNKNOWN;
    D3DFORMAT format32 = D3DFMT_A8R8G8B8;
    DWORD vertexProcessing = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    std::map<int, CPRenderLevel> levels;
    std::vector<BoundingBox> debugBoxes;
    CPRefPtr<CPRenderBlock> mainBlock;
    CPRefPtr<CPRenderBlock> staticBlock;
    float fade = 256.0f;
    int maxFade = 256;
    DWORD ambient = 0;
    float ambientColour[4] = {};
    std::vector<ScreenVertex> gridVertices;
    std::vector<D3DXVECTOR2> blurDirections;
    std::vector<uint16_t> gridIndices;
    std::vector<ScreenVertex> gridVertices2;
    int gridColumns = 0;
    int gridRows = 0;
    int gridVertexCount = 0;
    float radialBlurAmount = 0;
    int maxAnisotropy = 1;
    std::unique_ptr<CPSky> sky;
    D3DXMATRIX skyViewProjection;
    D3DLIGHT9 directionalLight;
    DWORD fogColour = 0;
    int scriptSelection = 0;
    // The race camera's second view while a level is loaded (null: no
    // level, no sky); the level sets and clears it.
    CPRefPtr<CPBaseCamera> levelCamera;

private:
    void BuildScreenGrid();
    // Releases the device and everything made on it; the queue and the
    // static records stay.
    void FreeDeviceObjects();
    // Empties the queue, marking its materials as no longer queued.
    void EmptyQueue();
    void UploadBlocks();
    void SkipLostFrame();
    void SetFrameMatrices();
    // The view and projection the effects are drawn with become the camera's.
    void UseCameraForEffects(const CPBaseCamera& camera);
    void UpdateSky();
    void DrawLines();
    void DrawLevels();
    void DrawLevel(CPRenderLevel& level, bool& worldChanged);
    void DrawEffectGroup(CPRenderLevel& level, CPRenderEffectGroup& group, bool& worldChanged);
    void DrawBatch(const CPRenderLevel& level, ID3DXEffect* effect, UINT passes, const CPIVBlock& batch,
                   bool& worldChanged);
    void DrawStatics(ID3DXEffect* effect, UINT passes, const CPIVBlock& batch, bool& worldChanged);
    void BindStream(IDirect3DVertexBuffer9* vertices, IDirect3DIndexBuffer9* indices);
    void RunPostPass(bool motionBlur);
    void DrawFade();
    void DrawDebugBoxes();
    void ClearLineList();
    void ClearSecondLineList();
    void DrawScreenQuad(const ScreenVertex (&quad)[4]);

    // The main camera's matrices of the frame (identity without one).
    D3DXMATRIX frameView;
    D3DXMATRIX frameProjection;
    D3DXMATRIX frameViewProjection;
    // The sky's rotation-only view and wide projection of the frame.
    D3DXMATRIX skyView;
    D3DXMATRIX skyProjection;
    std::unique_ptr<CPBaseCamera> screenCamera;
    CPStaticBuffers staticBuffers;
    CPLoadingScreen loadingScreen;
};
