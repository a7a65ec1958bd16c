#include "Vehicles/PShotSpawner.h"

#include "Core/PTaskManager.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "Vehicles/PBoltShot.h"
#include "Vehicles/PShot.h"

#include <algorithm>

CPShotSpawner* g_ShotSpawner = nullptr;

CPShotSpawner* GetShotSpawner() {
    return g_ShotSpawner;
}

CPShotSpawner::CPShotSpawner() : task(this, &CPShotSpawner::Update) {
    task.priority = kTaskPriority;
    g_ShotSpawner = this;
}

CPShotSpawner::~CPShotSpawner() {
    StopTask();
    if (g_TaskManager)
        g_TaskManager->RemoveTask(&task);
    if (g_ShotSpawner == this)
        g_ShotSpawner = nullptr;
}

void CPShotSpawner::Spawn(const std::string& name, const D3DXVECTOR3& position, const D3DXVECTOR3& direction,
                          float speed, const CPRefPtr<CPGameObject>& owner) {
    std::vector<std::unique_ptr<CPShot>>& pool = pools[name];
    std::unique_ptr<CPShot> shot;
    if (pool.size() == 1) {
        shot = pool.front()->Clone();
    } else if (pool.size() > 1) {
        shot = std::move(pool.back());
        pool.pop_back();
    }
    if (!shot)
        return;
    shot->Launch(position, direction, speed, owner);
    activeShots.push_back(std::move(shot));
}

void CPShotSpawner::AddToPool(const std::string& name, std::unique_ptr<CPShot> shot) {
    if (shot)
        pools[name].push_back(std::move(shot));
}

CPBoltShot* CPShotSpawner::KeepScriptBolt(std::unique_ptr<CPBoltShot> bolt, const D3DXVECTOR3& position,
                                          const D3DXVECTOR3& direction, float speed) {
    bolt->Launch(position, direction, speed, nullptr);
    scriptBolts.push_back(std::move(bolt));
    return scriptBolts.back().get();
}

int CPShotSpawner::FlyScriptBolt(const CPGameObject& bolt, CPRefPtr<CPGameObject>& hit) {
    const auto kept =
        std::ranges::find_if(scriptBolts, [&](const auto& held) { return held.get() == &bolt; });
    if (kept == scriptBolts.end())
        return -1;
    const int result = (*kept)->Fly(hit);
    if (result != 1)
        scriptBolts.erase(kept);
    return result;
}

std::size_t CPShotSpawner::PoolSize(const std::string& name) const {
    const auto* pool = pools.Find(name);
    return pool ? pool->size() : 0;
}

// A shot spawned while the list is walked (an impact) joins its end and is
// ticked in the same pass. Shots draw in world space, so their matrices are
// not brought up to date here.
void CPShotSpawner::Update() {
    CPRenderBlock* block = g_Render ? g_Render->GetRenderBlock().Get() : nullptr;
    for (auto shot = activeShots.begin(); shot != activeShots.end();) {
        if (!(*shot)->Tick()) {
            shot = activeShots.erase(shot);
            continue;
        }
        if (block)
            block->AddObject(shot->get());
        ++shot;
    }
}

// A task stopped in this frame may still be listed: it leaves first.
void CPShotSpawner::StartTask() {
    if (!g_TaskManager || task.running)
        return;
    g_TaskManager->RemoveTask(&task);
    g_TaskManager->AddTask(&task);
}

void CPShotSpawner::StopTask() {
    activeShots.clear();
    scriptBolts.clear();
    task.Stop();
}
