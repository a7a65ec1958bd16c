// Loading a level: the level file, the fixed files after it, the cars and the
// camera settings.
#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PSettings.h"
#include "Core/PStageTimer.h"
#include "Core/PTokenizer.h"
#include "Game/LevelFile.h"
#include "Game/LevelSourcePoints.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Game/PLevelBranch.h"
#include "Game/PMeshManager.h"
#include "Physics/PPhysics.h"
#include "Platform/Random.h"
#include "Platform/Win32Time.h"
#include "Render/PMaterialManager.h"
#include "Render/PQuadTree.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"
#include "Vehicles/AI_Task.h"
#include "Vehicles/PCar.h"
#include "Vehicles/PPlayer.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Level number and computer-car model base by level name; any other name
// gives 0 and an empty base.
struct LevelTableEntry {
    const char* name;
    const char* carBase;
};

constexpr LevelTableEntry kLevelTable[] = {
    {"level1", "roadster"}, {"level2", "racer"},     {"level3", "rally"},     {"level4", "hatch"},
    {"level5", "rally"},    {"level6", "hatch"},     {"level7", "speedster"}, {"level8", "speedster"},
    {"level9", "racer"},    {"level10", "roadster"},
};

constexpr float kCarDrop = 2.0f;
constexpr float kDegrees = 0.017453292f;

int LevelNumberOf(const std::string& name, std::string& carBase) {
    for (std::size_t i = 0; i < std::size(kLevelTable); ++i) {
        if (name == kLevelTable[i].name) {
            carBase = kLevelTable[i].carBase;
            return static_cast<int>(i) + 1;
        }
    }
    carBase.clear();
    return 0;
}

// Scenery casts no shadow: the tree, and the further levels of detail.
void ClearShadowCasting(CPGameObject& object) {
    object.castsShadow = false;
    for (std::size_t k = 1; k < object.detailLevels.size(); ++k) {
        if (object.detailLevels[k].first)
            ClearShadowCasting(*object.detailLevels[k].first);
    }
    for (const CPRefPtr<CPGameObject>& child : object.children)
        ClearShadowCasting(*child);
}

D3DXVECTOR3 PositionOf(const LevelRecord& record) {
    return {record.f[0], record.f[1], record.f[2]};
}

D3DXQUATERNION OrientationOf(const LevelRecord& record) {
    return {record.f[3], record.f[4], record.f[5], record.f[6]};
}

D3DXQUATERNION ConjugateOf(const LevelRecord& record) {
    return {-record.f[3], -record.f[4], -record.f[5], record.f[6]};
}

// The field of the ","-separated name; empty when there is none.
std::string NameField(const std::string& name, int index) {
    CPTokenizer tokenizer(name, ",", false);
    std::string field;
    for (int i = 0; i <= index; ++i) {
        if (!tokenizer.NextToken(field))
            return {};
    }
    return field;
}

// A key of an element of the description, when present.
void ReadKey(const TiXmlElement* element, const char* key, float& out) {
    double value = 0;
    if (element && element->QueryDoubleAttribute(key, &value) == TIXML_SUCCESS)
        out = static_cast<float>(value);
}

const TiXmlElement* DescriptionElement(const CPGameObject& car, const char* name) {
    const TiXmlElement* root = car.description.RootElement();
    return root ? root->FirstChildElement(name) : nullptr;
}

CPLine* FirstPiece(const CPRefPtr<CPSpline>& line) {
    return line ? line->firstLine : nullptr;
}

} // namespace

bool CPLevel::Load(const std::string& name, bool single, bool time) {
    CPStageTimer timer("level load");
    raceTime = 0;
    run.lastSampleTime = 0;
    run.ghostIndex = 0;
    timeMode = time;
    singleMode = single;
    ResetDrivers();
    PlatSRand(timeGetTime());
    std::string carBase;
    levelNumber = LevelNumberOf(name, carBase);
    LoadGhost();
    if (g_Render)
        g_Render->LoadSky(levelNumber);
    timer.Stage("sky");
    demo.active = g_Rolling != 0;
    PlatSRand(timeGetTime());
    failedSent = false;
    LevelFile file;
    if (!ReadLevelFile(name, file))
        return false;
    timer.Stage("level file");
    sources.Clear();
    ownedCamera = std::make_unique<CPCamera>();
    camera = ownedCamera.get();
    camera->SetDistance(7.0f);
    SetUpSun();
    CreateGrid();
    Starts starts;
    std::vector<CPRefPtr<CPGameObject>> scenery;
    PlaceRecords(file, starts, scenery);
    TakeLines(file);
    timer.Stage("grid and records");
    levelModel = LoadModel(name + ".rdf", 0);
    timer.Stage("level model");
    if (g_QuadLevels) {
        quadTree = std::make_unique<CPQuadTree>();
    } else {
        ownedTree = std::make_unique<CPLevelBranch>();
        spatialTree = ownedTree.get();
    }
    if (g_Plane != 0)
        LoadTerrain(name);
    timer.Stage("terrain");
    if (!LoadRoad())
        return false;
    timer.Stage("road");
    BuildSpatialStructure(scenery);
    timer.Stage("scenery tree");
    if (g_GameData)
        playerModel = g_GameData->playerName;
    if (!CreateComputerCars(starts, carBase) || !CreatePlayerCar(starts))
        return false;
    timer.Stage("cars");
    SetCameraView(0);
    camera->SetDistance(activeView.distance);
    player->CreateShadow();
    FinishLoad(starts);
    timer.Stage("finish");
    return true;
}

void CPLevel::ResetDrivers() {
    extraCarCount = g_GameData ? std::clamp(g_GameData->extraCarCount, 0, kMainCars) : 0;
    if (!g_AITask)
        return;
    g_AITask->SetExtraVehicleCount(extraCarCount);
    g_AITask->ReleaseVehicles();
    g_AITask->AddDrivers(kMainCars, extraCarCount);
}

void CPLevel::LoadGhost() {
    const RaceProgress* best = timeMode && g_GameData ? g_GameData->GetRaceProgress(levelNumber) : nullptr;
    if (best && !best->carModel.empty())
        run.ghost = LoadModel(best->carModel + "_.rdf", 20);
}

bool CPLevel::ReadLevelFile(const std::string& name, LevelFile& file) {
    if (!IsSafeModelName(name)) {
        GetLog().Print(0, "Level name \"%s\" is not a file name\n", name.c_str());
        return false;
    }
    CPFileReader reader("Data\\Levels\\" + name + ".lvl", false);
    if (FAILED(reader.Load())) {
        GetLog().Print(0, "Level %s cannot be read\n", name.c_str());
        return false;
    }
    if (!file.Read(reader)) {
        GetLog().Print(0, "Level %s is damaged: %s\n", name.c_str(), file.error.c_str());
        return false;
    }
    return CheckLines(name, file);
}

bool CPLevel::CheckLines(const std::string& name, const LevelFile& file) const {
    const bool drivers =
        demo.active ||
        (!timeMode && std::any_of(file.records.begin(), file.records.end(), [](const LevelRecord& record) {
            return ClassifyLevelRecord(StripTrailingDigits(record.name)) == ELevelRecordKind::CarStart;
        }));
    for (const char* line : {"c_path", "left", "right"}) {
        if (!file.FindLine(line) && (drivers || std::string(line) == "c_path")) {
            GetLog().Print(0, "Level %s has no track line \"%s\"\n", name.c_str(), line);
            return false;
        }
    }
    return true;
}

void CPLevel::SetUpSun() {
    grid.extentX = kLevelExtent;
    grid.extentY = kLevelExtent;
    ambientColour = 0xff7f7f7f;
    if (g_Render && g_Render->GetDevice()) {
        g_Render->ambient = ambientColour;
        const float colour[4] = {0.5f, 0.5f, 0.5f, 1.0f};
        std::copy(std::begin(colour), std::end(colour), g_Render->ambientColour);
        g_Render->SetDefaultStates();
    }
    const D3DXVECTOR4 light(sunLight.Direction.x, sunLight.Direction.y, sunLight.Direction.z, 0);
    const D3DXPLANE ground(0, 0, -1, 0.5f);
    D3DXMatrixShadow(&g_ShadowMatrix, &light, &ground);
}

void CPLevel::CreateGrid() {
    grid.cellsX = static_cast<int>(grid.extentX * 0.1f);
    grid.cellsY = static_cast<int>(grid.extentY * 0.1f);
    const auto cells = static_cast<std::size_t>(grid.cellsX) * static_cast<std::size_t>(grid.cellsY);
    grid.cells = std::make_unique<std::vector<std::list<CPRefPtr<CPGameObject>>>>(cells);
    grid.counts = std::make_unique<std::vector<int>>(cells, 0);
}

void CPLevel::PlaceRecords(const LevelFile& file, Starts& starts,
                           std::vector<CPRefPtr<CPGameObject>>& scenery) {
    for (const LevelRecord& record : file.records) {
        const std::string baseName = StripTrailingDigits(record.name);
        switch (ClassifyLevelRecord(baseName)) {
        case ELevelRecordKind::PlayerStart:
            starts.playerPosition = PositionOf(record);
            starts.playerOrientation = OrientationOf(record);
            break;
        case ELevelRecordKind::CarStart:
            if (!timeMode)
                starts.cars.push_back(record);
            break;
        case ELevelRecordKind::Checkpoint:
            if (!singleMode)
                PlaceScenery(record, StripTrailingDigits(NameField(record.name, 0)), starts, scenery);
            break;
        case ELevelRecordKind::SequenceCheckpoint:
            CreateNamedObject(baseName, record);
            break;
        case ELevelRecordKind::Source:
            if (baseName.size() > 4)
                sources[baseName.substr(4)] = PositionOf(record);
            else
                GetLog().Print(0, "Level record %s names no source: skipped\n", record.name.c_str());
            break;
        case ELevelRecordKind::Scenery:
            PlaceScenery(record, baseName, starts, scenery);
            break;
        }
    }
}

void CPLevel::PlaceScenery(const LevelRecord& record, const std::string& baseName, Starts& starts,
                           std::vector<CPRefPtr<CPGameObject>>& scenery) {
    const std::string model = baseName + ".rdf";
    if (model == "stolb_start_left.rdf" || model == "stolb_start_right.rdf") {
        const bool left = model == "stolb_start_left.rdf";
        (left ? starts.leftPost : starts.rightPost) = PositionOf(record);
        (left ? starts.leftPostFound : starts.rightPostFound) = true;
        return;
    }
    const CPRefPtr<CPGameObject> object = LoadModel(model, 20);
    if (object)
        AddScenery(object, record, model, scenery);
}

void CPLevel::AddScenery(const CPRefPtr<CPGameObject>& object, const LevelRecord& record,
                         const std::string& model, std::vector<CPRefPtr<CPGameObject>>& scenery) {
    ClearShadowCasting(*object);
    if (!object->physicData) {
        D3DXMATRIX scaling;
        D3DXMatrixScaling(&scaling, record.f[7], record.f[8], record.f[9]);
        BakeTreeTransform(object, scaling);
    }
    object->SetPosition(PositionOf(record));
    object->SetOrientation(ConjugateOf(record));
    object->UpdateHierarchy();
    object->SetStatic(true);
    if (object->physicData && object->visualKind == VISUAL_ANIMATED) {
        AnimationRequest idle;
        idle.name = "idle";
        idle.startOffset = static_cast<float>(PlatRand()) / PLAT_RAND_MAX;
        idle.speed = 0.8f + 0.4f * static_cast<float>(PlatRand()) / PLAT_RAND_MAX;
        object->StartAnimation(idle, false);
    }
    scenery.push_back(object);
    object->Activate(PRIORITY_OBJECTS);
    object->collision = true;
    looseObjects.push_back(object);
    if (model == "arrow_blue.rdf" || model == "arrow_blue_b.rdf")
        refillPads.push_back(object);
    if (model == "checkpoint.rdf" || model == "checkpoint_a.rdf")
        checkpoints.emplace_back(object,
                                 static_cast<float>(std::atof(NameField(record.name, 1).c_str())) + 9.0f);
    clock.checkpointTimer = 0;
    lastCheckpoint = -1;
    checkpointsPassed = 0;
}

void CPLevel::TakeLines(LevelFile& file) {
    centrePath = file.FindLine("c_path");
    leftPath = file.FindLine("left");
    rightPath = file.FindLine("right");
    for (std::unique_ptr<CPSpline>& line : file.lines) {
        if (line.get() == centrePath.Get() || line.get() == leftPath.Get() || line.get() == rightPath.Get())
            ownedLines.push_back(std::move(line));
    }
}

void CPLevel::LoadTerrain(const std::string& name) {
    terrain = LoadModel("land.rdf", 17);
    CPRenderObject* mesh = terrain ? terrain->GetRenderObject() : nullptr;
    if (!mesh) {
        GetLog().Print(0, "The terrain land.rdf has no mesh: no ground quad\n");
        terrain = nullptr;
        return;
    }
    if (g_MaterialManager) {
        CPRefPtr<CPMaterial> material;
        g_MaterialManager->GetMaterial(material, 17, "terrain2.fx",
                                       {name + "\\color.dds", name + "\\detail1.dds"});
        mesh->SetMaterial(material);
    }
    CPPhysicData* description = terrain->physicData.Get();
    terrain->physicData = nullptr;
    delete description;
    terrain->SetVisible(true);
    terrain->SetStatic(true);
    const float w = grid.extentX / 2;
    const float h = grid.extentY / 2;
    const float u = 0.2f * grid.extentX;
    const float v = 0.2f * grid.extentY;
    mesh->sourceVertices = {{-w, -h, -0.6f, 0, 0, 1, 0xffffffff, 0, 0, 0, 0, 0},
                            {w, -h, -0.6f, 0, 0, 1, 0xffffffff, 0, 1, 0, u, 0},
                            {w, h, -0.6f, 0, 0, 1, 0xffffffff, 0, 1, 1, u, v},
                            {-w, h, -0.6f, 0, 0, 1, 0xffffffff, 0, 0, 1, 0, v}};
    mesh->vertices = mesh->sourceVertices;
    mesh->indices = {0, 1, 2, 0, 2, 3};
    // The static buffers the model was loaded into still hold its own
    // geometry: the quad is drawn from the frame's buffers instead.
    mesh->SetStatic(false);
    if (g_Physics)
        g_Physics->AddTerrainMesh(mesh);
}

bool CPLevel::LoadRoad() {
    const std::string model = "road_phys" + std::to_string(levelNumber) + ".rdf";
    roadPhysics = LoadModel(model, 19);
    CPRenderObject* mesh = roadPhysics ? roadPhysics->GetRenderObject() : nullptr;
    if (!mesh || !g_Physics) {
        GetLog().Print(0, "The road %s has no mesh or there is no physics: the level cannot be raced\n",
                       model.c_str());
        return false;
    }
    ClearShadowCasting(*roadPhysics);
    if (!roadPhysics->physicData) {
        D3DXMATRIX identity;
        BakeTreeTransform(roadPhysics, *D3DXMatrixIdentity(&identity));
        roadPhysics->SetPosition({0, 0, 0});
        roadPhysics->SetOrientation({0, 0, 0, 1});
        roadPhysics->UpdateHierarchy();
        roadPhysics->SetVisible(true);
        roadPhysics->SetStatic(true);
    }
    TerrainMesh ground;
    for (const MeshVertex& vertex : mesh->sourceVertices)
        ground.positions.emplace_back(vertex.x, vertex.y, vertex.z);
    ground.indices = mesh->indices;
    ground.world = roadPhysics->GetWorldMatrix();
    if (!g_Physics->BuildTerrainGrid(ground) || !g_Physics->CreateWorld()) {
        GetLog().Print(0, "The road %s gives no ground or no world\n", model.c_str());
        return false;
    }
    return true;
}

void CPLevel::BuildSpatialStructure(const std::vector<CPRefPtr<CPGameObject>>& scenery) {
    CPRefPtr<CPRenderBlock> staticBlock = g_StaticSetting && g_Render ? g_Render->GetStaticBlock() : nullptr;
    if (staticBlock)
        staticBlock->Lock();
    if (quadTree) {
        const float half = std::max(grid.extentX, grid.extentY) / 2;
        quadTree->SetBounds({0, 0, 0}, {half, half, 100});
        quadTree->Build(std::vector<CPRefPtr<CPSceneObject>>(scenery.begin(), scenery.end()), 0);
    } else {
        spatialTree->SetObjects(scenery);
        spatialTree->Build();
        camera->SetSpatialTree(spatialTree);
    }
    if (staticBlock)
        staticBlock->Unlock();
}

bool CPLevel::CreateComputerCars(const Starts& starts, const std::string& carBase) {
    const int drivers = kMainCars + extraCarCount;
    const std::string base = singleMode ? playerModel : carBase;
    for (std::size_t i = 0; i < starts.cars.size(); ++i) {
        const int index = static_cast<int>(i);
        if (index >= drivers) {
            GetLog().Print(0, "The level has %zu computer-car starts; only %d are driven\n",
                           starts.cars.size(), drivers);
            break;
        }
        const std::string name = base + std::to_string(index + 1);
        carModels.push_back(name);
        const CPRefPtr<CPPlayer> car = BuildCar(name + "_enemy.rdf", name);
        if (!car)
            return false;
        car->SetPosition(PositionOf(starts.cars[i]) + D3DXVECTOR3(0, 0, kCarDrop));
        car->SetOrientation(OrientationOf(starts.cars[i]));
        car->UpdateHierarchy();
        car->Activate(PRIORITY_OBJECTS);
        if (!AddCarToPhysics(car, false))
            return false;
        car->CreateShadow();
        cars.push_back(car);
        extraLooseObjects.push_back(car);
        const TiXmlElement* view = DescriptionElement(*car, "camera");
        ReadKey(view, "distance", views[1].distance);
        ReadKey(view, "height", views[1].height);
        ReadKey(view, "angle", views[1].angle);
        float pace[2] = {0, 0};
        ReadKey(view, "min", pace[0]);
        ReadKey(view, "max", pace[1]);
        carPace.emplace_back(static_cast<int>(pace[0]), static_cast<int>(pace[1]));
        SetDriverPaths(index);
    }
    return true;
}

void CPLevel::SetDriverPaths(int index) {
    if (!g_AITask)
        return;
    g_AITask->SetVehiclePath(index, 0, FirstPiece(centrePath));
    g_AITask->SetVehiclePath(index, 2, FirstPiece(leftPath));
    g_AITask->SetVehiclePath(index, 1, FirstPiece(rightPath));
}

bool CPLevel::CreatePlayerCar(const Starts& starts) {
    run.carModel = playerModel;
    player = BuildCar(playerModel + (demo.active ? "_enemy.rdf" : ".rdf"), playerModel);
    if (!player)
        return false;
    player->Activate(PRIORITY_OBJECTS);
    player->SetPosition(starts.playerPosition + D3DXVECTOR3(0, 0, kCarDrop));
    player->SetOrientation(starts.playerOrientation);
    player->UpdateHierarchy();
    if (demo.active) {
        carModels.push_back(playerModel);
        cars.push_back(player);
        carPace.emplace_back(0, 0);
        // Driven like a computer car, so it needs a driver's track.
        SetDriverPaths(static_cast<int>(cars.size()) - 1);
    }
    ReadPlayerCamera();
    camera->SetHeading(HeadingOf(*player));
    return AddCarToPhysics(player, true);
}

void CPLevel::ReadPlayerCamera() {
    camera->SetAngle(-D3DX_PI / 2);
    const TiXmlElement* view = DescriptionElement(*player, "camera");
    const TiXmlElement* second = DescriptionElement(*player, "camera2");
    const TiXmlElement* fixed = DescriptionElement(*player, "camera3");
    const std::pair<const char*, float*> viewKeys[] = {
        {"distance", &views[0].distance},  {"height", &views[0].height},
        {"angle_div", &views[0].angleDiv}, {"distance_div", &views[0].distanceDiv},
        {"blur", &views[0].blur},          {"fov", &views[0].fov}};
    const std::pair<const char*, float*> secondKeys[] = {
        {"distance", &views[1].distance},  {"height", &views[1].height},
        {"angle_div", &views[1].angleDiv}, {"distance_div", &views[1].distanceDiv},
        {"blur", &views[1].blur},          {"fov", &views[1].fov}};
    const std::pair<const char*, float*> fixedKeys[] = {
        {"distance", &views[2].distance}, {"height", &views[2].height}, {"blur", &views[2].blur}};
    for (const auto& [key, field] : viewKeys)
        ReadKey(view, key, *field);
    for (const auto& [key, field] : secondKeys)
        ReadKey(second, key, *field);
    for (const auto& [key, field] : fixedKeys)
        ReadKey(fixed, key, *field);
    // Each "angle" also turns the camera, "camera2" last.
    for (auto [element, angle] : {std::pair{view, &views[0].angle}, std::pair{second, &views[1].angle}}) {
        if (element && element->Attribute("angle")) {
            ReadKey(element, "angle", *angle);
            camera->SetAngle(*angle * kDegrees);
        }
    }
}

void CPLevel::HidePlayerParts(CPGameObject& model) const {
    std::vector<const char*> hidden;
    if (playerModel == "scout")
        hidden = {"light"};
    else if (playerModel == "suv_touring")
        hidden = {"halo", "halo_blend"};
    for (const char* part : hidden) {
        if (const CPRefPtr<CPGameObject> found = model.FindChild(part))
            found->SetVisible(false);
    }
}

CPRefPtr<CPPlayer> CPLevel::BuildCar(const std::string& fileName, const std::string& modelName) {
    const CPRefPtr<CPGameObject> model = LoadModel(fileName, 20);
    if (!model || !model->physicData) {
        GetLog().Print(0, "The car %s has no physics description\n", fileName.c_str());
        return nullptr;
    }
    if (modelName == playerModel)
        HidePlayerParts(*model);
    auto* car = new CPPlayer();
    ownedModels.push_back(car);
    car->CopyFrom(model);
    car->SetModelName(modelName);
    return car;
}

bool CPLevel::AddCarToPhysics(const CPRefPtr<CPPlayer>& car, bool playerCar) {
    g_Physics->AddSyncObject(car.Get());
    g_Physics->RegisterObject(car.Get(), true, 1);
    g_Physics->CreateCar(car.Get(), playerCar);
    if (!car->GetCar() || !car->GetCar()->GetBody()) {
        GetLog().Print(0, "The car %s got no rigid body\n", car->carModelName.c_str());
        return false;
    }
    if (CPBaseRenderObject* visual = car->GetVisual())
        visual->SetStatic(false);
    if (CPRenderObject* mesh = car->GetRenderObject())
        mesh->BuildDeformParts();
    return true;
}

void CPLevel::FinishLoad(const Starts& starts) {
    cameraTarget = player.Get();
    if (g_GameData) {
        player->SetFlags(g_GameData->playerType);
        const int entry = g_GameData->lapCount - 1;
        if (entry >= 0 && entry < static_cast<int>(g_GameData->lapTimes.size()))
            g_GameData->lapTimes[entry] = 0;
        g_GameData->lapCount = 1;
    }
    playerLine = FirstPiece(centrePath);
    if (starts.leftPostFound && starts.rightPostFound) {
        laps.startLine = starts.leftPost - starts.rightPost;
        laps.startPoint = (starts.leftPost + starts.rightPost) * 0.5f;
    } else {
        PlaceStartAtFirstPiece();
    }
    if (g_Render) {
        g_Render->motionBlurOn = 0;
        g_Render->pickupTint = 255;
    }
    for (const CPRefPtr<CPSpline>& line : {centrePath, leftPath, rightPath}) {
        if (line)
            line->DrapeOnTerrain();
    }
    player->trackPiece = playerLine;
    player->human = true;
    SetLevelSourcePoints([this] { return sources; });
}

// Without both posts the start line runs across the racing line's first
// piece, through its centre.
void CPLevel::PlaceStartAtFirstPiece() {
    GetLog().Print(0, "The level has no start posts: laps are counted at the first piece of c_path\n");
    if (!playerLine)
        return;
    const D3DXVECTOR3 along = playerLine->end - playerLine->start;
    laps.startLine = {-along.y, along.x, 0};
    laps.startPoint = playerLine->centre;
}

CPRefPtr<CPGameObject> CPLevel::LoadModel(const std::string& fileName, int priority) {
    CPRefPtr<CPGameObject> model;
    if (!IsSafeModelName(fileName)) {
        GetLog().Print(0, "Model name \"%s\" of the level is not a file name: skipped\n", fileName.c_str());
        return model;
    }
    if (g_MeshManager)
        g_MeshManager->LoadObject(model, fileName, priority);
    if (model)
        ownedModels.push_back(model.Get());
    return model;
}
