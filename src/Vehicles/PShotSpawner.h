#pragma once

#include "Core/PObjUpdater.h"
#include "Core/PRefPtr.h"
#include "Core/StringHashMap.h"
#include "Platform/D3DX9Math.h"
#include "Vehicles/PShot.h"

#include <list>
#include <memory>
#include <string>
#include <vector>

class CPBoltShot;
class CPShotSpawner;

extern CPShotSpawner* g_ShotSpawner;
// The single spawner; null before the application made it.
CPShotSpawner* GetShotSpawner();

// Spawns shots and effects by name. Each name has a pool: one shot in it is
// a template that every spawn clones; two or more are ready shots, taken
// from the end one by one. The spawner owns every shot it holds: the pools'
// and the active ones, which its task ticks once per frame after the physics
// and hands to the renderer while they live, and the bolts the scripts fly
// themselves.
class CPShotSpawner {
public:
    // Right after the physics.
    static constexpr int kTaskPriority = PRIORITY_PHYSICS + 1;

    // Publishes itself in g_ShotSpawner.
    CPShotSpawner();
    ~CPShotSpawner();
    CPShotSpawner(const CPShotSpawner&) = delete;
    CPShotSpawner& operator=(const CPShotSpawner&) = delete;

    // Launches a shot of the name's pool from the position in the direction
    // with the speed (-1: the shot's own) and keeps it active. A name
    // without a pool, an empty pool and a template that cannot be cloned
    // spawn nothing.
    void Spawn(const std::string& name, const D3DXVECTOR3& position, const D3DXVECTOR3& direction,
               float speed, const CPRefPtr<CPGameObject>& owner);
    // Puts a configured shot into the name's pool.
    void AddToPool(const std::string& name, std::unique_ptr<CPShot> shot);
    std::size_t PoolSize(const std::string& name) const;

    // Launches the bolt and keeps it for a script, which flies it frame by
    // frame; it lives until its flight ends or the task stops.
    CPBoltShot* KeepScriptBolt(std::unique_ptr<CPBoltShot> bolt, const D3DXVECTOR3& position,
                               const D3DXVECTOR3& direction, float speed);
    // One frame of a kept bolt's flight (CPBoltShot::Fly); a bolt whose
    // flight ended is deleted. Anything that is not a kept bolt gives -1.
    int FlyScriptBolt(const CPGameObject& bolt, CPRefPtr<CPGameObject>& hit);
    std::size_t ScriptBoltCount() const { return scriptBolts.size(); }

    // One frame: ticks every active shot, drops those that finished and
    // adds the others to the renderer's block.
    void Update();
    // The shots task enters the kernel (once) / leaves it and drops the
    // active shots and the scripts' bolts.
    void StartTask();
    void StopTask();
    const std::list<std::unique_ptr<CPShot>>& GetActiveShots() const { return activeShots; }

private:
    std::list<std::unique_ptr<CPShot>> activeShots;
    std::list<std::unique_ptr<CPBoltShot>> scriptBolts;
    StringHashMap<std::vector<std::unique_ptr<CPShot>>> pools{100};
    CPObjUpdater task;
};
