#pragma once

#include "Core/PRefPtr.h"
#include "Core/StringHashMap.h"
#include "Game/CameraTarget.h"
#include "Game/CameraViewRecord.h"
#include "Game/DemoCameraState.h"
#include "Game/LapState.h"
#include "Game/LevelRecord.h"
#include "Game/PCamera.h"
#include "Game/PGameObject.h"
#include "Game/PSpline.h"
#include "Game/RaceClock.h"
#include "Game/RayQuery.h"
#include "Game/RunRecording.h"
#include "Game/SceneryGrid.h"
#include "Platform/D3DX9Math.h"
#include "Platform/Graphics/D3D9Types.h"

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CPLevel;
class CPLevelBranch;
class CPLine;
class CPObjUpdater;
class CPPlayer;
class CPQuadTree;
class CPRenderBlock;
class CPTask;
class CheckpointMarker;
class LensFlareView;
class LevelFile;

extern CPLevel* g_Level;

// The current race: the track with its static scenery, the terrain, the three
// track lines, the player's car and the computer cars, the chase camera, the
// checkpoints and refill pads and the race state. One exists at a time and is
// published in g_Level.
//
// Counted references never delete: the level keeps every model, car, line and
// task it makes in its own lists and deletes them in its destructor, after the
// kernel and the physics have let go of them.
class CPLevel : public CameraTarget {
public:
    // Computer cars driven by the main controllers; more come only from the
    // game data's extra-car count.
    static constexpr int kMainCars = 5;
    static constexpr float kLevelExtent = 3000.0f;
    // The player's entry in `places`; computer cars are 0 to 4.
    static constexpr int kPlayerPlace = 10;

    CPLevel();
    ~CPLevel() override;
    CPLevel(const CPLevel&) = delete;
    CPLevel& operator=(const CPLevel&) = delete;

    std::string GetClassName() const { return "CPLevel"; }

    // Reads Data\Levels\<name>.lvl and builds the race. False, with the
    // reason logged, when the file cannot be read or is malformed, when a
    // track line is missing or when the road or a car cannot be built.
    bool Load(const std::string& name, bool single, bool time);
    // Puts the race into the kernel; refused (logged) without a player car.
    void Start();
    // Takes the race out of the kernel and lets go of its objects.
    void Stop();
    // One pass of the race: the result, the clocks, the player's fixed
    // steps, the computer cars, laps, refill pads and checkpoints, then the
    // camera, the recorded run and its ghost, and the frame's drawing.
    void Update();
    // Lap bookkeeping, then the lap clocks.
    void UpdateTiming();
    // Progress along the racing line, laps and places of the player and of
    // the first five computer cars.
    void UpdateLaps();
    // Rebuilds the racing line in driving order and finds each car's piece.
    void ResetProgress();
    // The computer cars after the first five join the race, dropped onto the
    // ground where they stand.
    void StartExtraVehicles();
    void StopExtraVehicles() { extraCarsActive = false; }

    CPRefPtr<CPCamera> GetCamera() const { return camera; }
    CPRefPtr<CPSpline> GetSpline() const { return centrePath; }
    CPRefPtr<CPSpline> GetLeftSpline() const { return leftPath; }
    CPRefPtr<CPSpline> GetRightSpline() const { return rightPath; }
    int GetLevelNumber() const { return levelNumber; }

    // The sequence checkpoint of a "chk<number><separator><model>" record.
    void CreateNamedObject(const std::string& baseName, const LevelRecord& record);
    // Files the object in the grid cell under its position (clamped to the
    // grid).
    void PlaceInGrid(const CPRefPtr<CPGameObject>& object);
    // Bakes the matrix into the vertices of the mesh visuals of the tree and
    // of their further levels of detail, and with them into the boxes: the
    // part boxes of every node and the bounding boxes of the meshes. The
    // children move with the matrix; each bakes it as seen from its own
    // turned frame.
    static void BakeTreeTransform(const CPRefPtr<CPGameObject>& object, const D3DXMATRIX& matrix);
    // View 0 ("camera"), 1 ("camera2") or 2 (fixed, "camera3").
    void SetCameraView(int view);

    // Queries of the other parts.
    bool CrossPlayerRay(RayQuery& query);
    bool CrossRay(RayQuery& query);
    bool RayHitsCar(RayQuery& query);
    void QuerySphere(const D3DXVECTOR3& centre, float radius, std::vector<CPRefPtr<CPGameObject>>& result);
    // Aims the player car's weapon at the point (and object, may be null).
    void SetWeaponPos(const D3DXVECTOR3& position, const CPRefPtr<CPGameObject>& object);
    bool IsPlayerMovingBackwards() const;
    void ShowCurrentCheckpoint();
    void AddSunLight();

    // What the chase camera reads.
    D3DXVECTOR3 GetTargetForward() const override { return targetForward; }
    bool GetCarSteering(float& slideFactor, float& steering) const override;
    bool IsResultSent() const override { return resultSent; }
    float GetTrackAngle() const override { return trackAngle; }
    float GetDemoShotTime() const override { return demo.shotTime; }

    // The race's models and the level's own parts.
    CPRefPtr<CPPlayer> player;
    CPPlayer* cameraTarget = nullptr;
    std::list<CPRefPtr<CPPlayer>> cars;
    std::string playerModel = "truck_130_";
    std::list<std::string> carModels;
    int extraCarCount = 0;
    bool extraCarsActive = true;
    CPLine* playerLine = nullptr;
    CPRefPtr<CPSpline> centrePath;
    CPRefPtr<CPSpline> leftPath;
    CPRefPtr<CPSpline> rightPath;
    StringHashMap<D3DXVECTOR3> sources{100};
    CPRefPtr<CPObjUpdater> updaterTask;
    CPRefPtr<CPGameObject> levelModel;
    CPRefPtr<CPGameObject> roadPhysics;
    CPRefPtr<CPGameObject> terrain;
    CPRefPtr<CPLevelBranch> spatialTree;
    std::unique_ptr<CPQuadTree> quadTree;
    std::list<CPRefPtr<CPGameObject>> looseObjects;
    // The computer cars: the rays and blasts of weapons reach them wherever
    // they are (they are few), the loose scenery only near the player.
    std::list<CPRefPtr<CPGameObject>> extraLooseObjects;
    SceneryGrid grid;
    int levelNumber = 0;
    bool singleMode = false;
    bool timeMode = false;
    bool reverse = false;

    // Objects that must stay alive while the race holds them (pickups in
    // reach and the like).
    std::list<CPRefPtr<CPGameObject>> heldObjects;

    // Light and sky.
    D3DLIGHT9 sunLight{};
    DWORD ambientColour = 0;
    // The lens-flare page; the interface layer above the game owns its type.
    CPRefPtr<CPObject> lensFlare;

    // The chase camera: the car's three views, the one followed now, and what
    // it reads of the camera's car each pass.
    CPRefPtr<CPCamera> camera;
    int cameraView = 0;
    CameraViewRecord views[3];
    CameraViewRecord activeView{7.0f, 2.0f};
    float targetSpeed = 0;
    float targetHeading = 0;
    D3DXVECTOR3 targetForward{0, 0, 0};
    float trackAngle = 0;
    DemoCameraState demo;

    // The race rules: clocks, laps, checkpoints, refill pads and the result.
    float raceTime = 0;
    float countdown = 0;
    RaceClock clock;
    LapState laps;
    std::map<int, CPRefPtr<CPGameObject>> checkpointSequence;
    std::map<int, CPRefPtr<CPGameObject>>::iterator currentCheckpoint = checkpointSequence.end();
    CPRefPtr<CPGameObject> shownCheckpoint;
    CPRefPtr<CheckpointMarker> checkpointMarker;
    std::list<std::pair<CPRefPtr<CPGameObject>, float>> checkpoints;
    int lastCheckpoint = -1;
    int checkpointsPassed = 0;
    std::list<CPRefPtr<CPGameObject>> refillPads;
    int placeToFinish = 0;
    bool raceOver = false;
    bool resultSent = false;
    bool failedSent = false;
    bool shotsBlocked = false;

    // The time trial's recorded run and ghost.
    RunRecording run;

    // Hands a computer driver its car's state each frame: the vehicle index,
    // the car, its forward direction, its signed speed and its two pace
    // thresholds. Unset, the drivers get nothing.
    std::function<void(int, CPPlayer&, const D3DXVECTOR3&, float, int, int)> feedDriver;

    // The pace thresholds A and B of each computer car ("min" and "max" of
    // its "camera" element), in the order of `cars`.
    std::vector<std::pair<int, int>> carPace;

private:
    // Where the level file puts the cars and the start posts.
    struct Starts {
        D3DXVECTOR3 playerPosition{100, 100, 1};
        D3DXQUATERNION playerOrientation{0, 0, 0, 1};
        std::vector<LevelRecord> cars;
        D3DXVECTOR3 leftPost{0, 0, 0};
        D3DXVECTOR3 rightPost{0, 0, 0};
        bool leftPostFound = false;
        bool rightPostFound = false;
    };

    // Load's steps.
    void ResetDrivers();
    void LoadGhost();
    bool ReadLevelFile(const std::string& name, LevelFile& file);
    bool CheckLines(const std::string& name, const LevelFile& file) const;
    void SetUpSun();
    void CreateGrid();
    void PlaceRecords(const LevelFile& file, Starts& starts, std::vector<CPRefPtr<CPGameObject>>& scenery);
    void PlaceScenery(const LevelRecord& record, const std::string& baseName, Starts& starts,
                      std::vector<CPRefPtr<CPGameObject>>& scenery);
    void AddScenery(const CPRefPtr<CPGameObject>& object, const LevelRecord& record, const std::string& model,
                    std::vector<CPRefPtr<CPGameObject>>& scenery);
    void TakeLines(LevelFile& file);
    void LoadTerrain(const std::string& name);
    bool LoadRoad();
    void BuildSpatialStructure(const std::vector<CPRefPtr<CPGameObject>>& scenery);
    bool CreateComputerCars(const Starts& starts, const std::string& carBase);
    // The driver of the vehicle index gets the first pieces of the three
    // track lines.
    void SetDriverPaths(int index);
    bool CreatePlayerCar(const Starts& starts);
    void ReadPlayerCamera();
    // Hides the parts two player models must not show.
    void HidePlayerParts(CPGameObject& model) const;
    void FinishLoad(const Starts& starts);
    void PlaceStartAtFirstPiece();
    // A model of Data\Meshes the level keeps and deletes; null for an
    // unsafe name or when nothing could be built.
    CPRefPtr<CPGameObject> LoadModel(const std::string& fileName, int priority);
    // A new car copied from the model; null (logged) when the model has no
    // physics description or the car gets no rigid body.
    CPRefPtr<CPPlayer> BuildCar(const std::string& fileName, const std::string& modelName);
    // Gives the car its body and car physics; false (logged) without a body.
    bool AddCarToPhysics(const CPRefPtr<CPPlayer>& car, bool playerCar);

    // Stop's steps.
    void EmptyObjectLists();
    void ReleaseDrivers();
    void StopSounds();
    void SendStartCommands();
    void ResetLapRecords();

    // Query helpers.
    // The ray against the static scenery, then, when it passes near the
    // player's car, the car (when asked) and the loose objects.
    bool CastRay(RayQuery& query, bool withPlayer);
    bool IsPlayerNearRay(const RayQuery& query) const;
    void QueryGrid(const D3DXVECTOR3& centre, float radius,
                   std::vector<CPRefPtr<CPGameObject>>& result) const;

    // The renderer lets go of the race camera's two views before they go.
    void UnbindCameras();
    // Lets go of every counted member, last declared first, then deletes
    // what the level made.
    void ReleaseMembers();
    void DeleteOwned();
    // The car's forward direction (its -y axis), its heading in the ground
    // plane, and the heading of a forward direction.
    static D3DXVECTOR3 ForwardOf(const CPGameObject& car);
    static float HeadingOf(const CPGameObject& car);
    static float HeadingAlong(const D3DXVECTOR3& forward);

    // The race rules of the pass.
    void UpdateRaceResult();
    void FinishTimedRun();
    // The player's place, or the end of a race the player did not finish.
    void EndRace(const char* place, bool finished);
    void UpdateCheckpointClock(float dt);
    void UpdateClocks(float dt);
    void StepPlayer(float dt);
    void FeedComputerCars(float dt);
    void UpdateTrackAngle();
    void UpdateRefillPads(float dt);
    void RefillAt(const AxisAlignedBox& pad);
    void UpdateCheckpoints();
    void ReachCheckpoint(int index, float allowance);
    void SendToInterface(const std::string& command, const std::string& params) const;

    // Laps.
    // The index of the racing-line piece nearest the point in x and y; -1
    // when no centre lies within about 316 units.
    int NearestPiece(const D3DXVECTOR3& point) const;
    // The progress of a move between two pieces; a jump across the end of
    // the ring counts as the short way round.
    int ProgressStep(int from, int to) const;
    void UpdatePlayerLaps();
    void CompletePlayerLap();
    void UpdateCarLaps(int slot, int index, CPPlayer& car);
    void TakePlace(int who);
    void BuildPathLines();

    // The camera, the recorded run and the drawing of the pass.
    void UpdateDemoCamera(float dt);
    void ChooseDemoShot();
    void FeedCamera();
    void AimCamera();
    void UpdateTimeMode();
    void MoveGhost(const std::vector<RunSample>& samples);
    void SubmitFrame();
    void SubmitScene(CPRenderBlock& block);
    void PlaceFlare(LensFlareView& flare) const;

    // Everything the level made and deletes: model roots (scenery, cars,
    // their source models, terrain, road, level model, ghost), the track
    // lines, the tree, the camera and the update task.
    std::vector<CPGameObject*> ownedModels;
    std::vector<std::unique_ptr<CPSpline>> ownedLines;
    std::unique_ptr<CPLevelBranch> ownedTree;
    std::unique_ptr<CPCamera> ownedCamera;
    std::unique_ptr<CPObjUpdater> ownedUpdater;
};
