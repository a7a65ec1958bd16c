// Laps and progress along the racing line: the pieces of "c_path" in driving
// order, the nearest piece of each car, lap completion at the start line and
// the places; the lap clocks; the extra computer cars joining the race.
#include "Core/PGlobalTimer.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Game/PLine.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Vehicles/AI_Task.h"
#include "Vehicles/PPlayer.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Beyond about 316 units from every centre a car finds no piece.
constexpr float kFarthestPiece = 100000.0f;
// A jump of the nearest piece this far counts as crossing the ring's end.
constexpr int kBackwardWrap = -15;
constexpr int kForwardWrap = 14;
// Progress short of a full ring by these counts still completes a lap.
constexpr int kPlayerLapSlack = 20;
constexpr int kCarLapSlack = 50;
// Crossing the start this early in the first lap is the grid, not a lap.
constexpr int kGridProgress = 70;
constexpr float kStartLineReach = 2.0f;
constexpr float kExtraCarDropHeight = 3.0f;

} // namespace

void CPLevel::UpdateTiming() {
    UpdateLaps();
    if (!laps.lapTiming || !g_GameData)
        return;
    const float dt = g_FrameTime;
    const auto entry = static_cast<std::size_t>(std::max(g_GameData->lapCount - 1, 0));
    if (g_GameData->lapTimes.size() <= entry)
        g_GameData->lapTimes.resize(entry + 1, 0.0f);
    g_GameData->lapTimes[entry] += dt;
    g_GameData->totalRaceTime += dt;
    // The time list has a fixed length; a car past its last entry keeps it.
    g_GameData->racerStats.ForEach([dt](const std::string&, RacerRecord& record) {
        if (record.lapCount >= 0 && record.lapCount < static_cast<int>(record.lapTimes.size()))
            record.lapTimes[record.lapCount] -= dt;
    });
}

int CPLevel::NearestPiece(const D3DXVECTOR3& point) const {
    return laps.pathLines.Nearest(point, kFarthestPiece);
}

int CPLevel::ProgressStep(int from, int to) const {
    const int n = static_cast<int>(laps.pathLines.size());
    int d = to - from;
    if (d <= kBackwardWrap)
        d += n - 1;
    else if (d > kForwardWrap)
        d += 1 - n;
    return d;
}

void CPLevel::UpdateLaps() {
    if (laps.pathLines.empty())
        return;
    if (cameraTarget)
        UpdatePlayerLaps();
    int slot = 0;
    int index = 0;
    for (const CPRefPtr<CPPlayer>& car : cars) {
        if (index >= kMainCars)
            break;
        if ((car->GetFlags() & PLAYER_HUMAN) == 0)
            UpdateCarLaps(slot++, index, *car);
        ++index;
    }
}

void CPLevel::UpdatePlayerLaps() {
    const int n = static_cast<int>(laps.pathLines.size());
    const int nearest = NearestPiece(cameraTarget->GetPosition());
    if (nearest != -1 && nearest != laps.playerLineIndex) {
        const int d = ProgressStep(laps.playerLineIndex, nearest);
        laps.playerProgress += d;
        if (g_GameData)
            g_GameData->progress += d;
        laps.playerLineIndex = nearest;
    }
    if (nearest != laps.startLineIndex)
        return;
    if (laps.playerProgress >= n - kPlayerLapSlack) {
        D3DXVECTOR3 along;
        D3DXVec3Normalize(&along, &laps.startLine);
        const D3DXVECTOR3 toStart = laps.startPoint - cameraTarget->GetPosition();
        D3DXVECTOR3 across;
        D3DXVec3Cross(&across, &toStart, &along);
        if (D3DXVec3Length(&across) > kStartLineReach)
            return;
        CompletePlayerLap();
    }
    if (g_GameData && laps.playerProgress < kGridProgress && g_GameData->lapCount == 1)
        g_GameData->progress = 0;
}

void CPLevel::CompletePlayerLap() {
    const int n = static_cast<int>(laps.pathLines.size());
    laps.playerProgress = 0;
    if (!g_GameData)
        return;
    CPGameData& data = *g_GameData;
    data.lapCount += 1;
    const auto entry = static_cast<std::size_t>(std::max(data.lapCount - 1, 0));
    if (data.lapTimes.size() <= entry)
        data.lapTimes.resize(entry + 1, 0.0f);
    data.lapTimes[entry] = 0;
    data.progress = (n - 1) * (data.lapCount - 1);
    if (data.roundCount < data.lapCount)
        TakePlace(kPlayerPlace);
    else if (data.roundCount == data.lapCount)
        SendToInterface("show_message", "posledniy_krug!");
    else
        SendToInterface("show_message", "krug_proiden!");
}

void CPLevel::TakePlace(int who) {
    if (std::find(std::begin(laps.places), std::end(laps.places), who) != std::end(laps.places))
        return;
    int* free = std::find(std::begin(laps.places), std::end(laps.places), -1);
    if (free != std::end(laps.places))
        *free = who;
}

// The records are keyed by the car's position in `cars`, the racer id the
// heads-up display and the game data use.
void CPLevel::UpdateCarLaps(int slot, int index, CPPlayer& car) {
    const int n = static_cast<int>(laps.pathLines.size());
    const std::string key = std::to_string(index);
    RacerRecord* record = g_GameData ? g_GameData->racerStats.Find(key) : nullptr;
    const int nearest = NearestPiece(car.GetPosition());
    if (nearest != -1 && nearest != laps.carLine[slot]) {
        const int d = ProgressStep(laps.carLine[slot], nearest);
        if (g_GameData) {
            record = &g_GameData->racerStats[key];
            record->progress += d;
        }
        laps.carProgress[slot] += d;
        laps.carLine[slot] = nearest;
    }
    if (nearest != laps.startLineIndex)
        return;
    if (laps.carProgress[slot] >= n - kCarLapSlack) {
        if (record) {
            const int laps = record->lapCount;
            record->lapCount += 1;
            record->progress = laps * (n - 1);
            if (g_GameData->roundCount < record->lapCount)
                TakePlace(index);
        }
        laps.carProgress[slot] = 0;
    }
    if (!g_GameData)
        return;
    RacerRecord& current = g_GameData->racerStats[key];
    if (current.lapCount == 1 && current.progress < kGridProgress)
        current.progress = 0;
}

void CPLevel::BuildPathLines() {
    std::vector<CPLine*> inOrder;
    CPLine* first = centrePath ? centrePath->firstLine : nullptr;
    // The race runs against the sampling order of the line unless the level
    // is reversed: the computer drivers, the respawn heading and the
    // backwards test all take `prev` as ahead.
    for (CPLine* piece = first; piece && inOrder.size() <= centrePath->lines.size();) {
        inOrder.push_back(piece);
        piece = reverse ? piece->next : piece->prev;
        if (piece == first)
            break;
    }
    laps.pathLines.Assign(std::move(inOrder));
}

void CPLevel::ResetProgress() {
    laps.playerProgress = 0;
    BuildPathLines();
    laps.playerLineIndex = cameraTarget ? std::max(NearestPiece(cameraTarget->GetPosition()), 0) : 0;
    laps.startLineIndex = NearestPiece(laps.startPoint);
    laps.startLine.z = 0;
    laps.carLine.assign(kMainCars, 0);
    laps.carProgress.assign(kMainCars, 0);
    int slot = 0;
    for (const CPRefPtr<CPPlayer>& car : cars) {
        if (slot >= kMainCars)
            break;
        if ((car->GetFlags() & PLAYER_ALL_SIDES) == 0)
            laps.carLine[slot++] = std::max(NearestPiece(car->GetPosition()), 0);
    }
}

void CPLevel::StartExtraVehicles() {
    if (g_AITask)
        g_AITask->extraVehiclesActive = !g_AITask->extraDrivers.empty();
    extraCarsActive = true;
    int index = 0;
    for (const CPRefPtr<CPPlayer>& car : cars) {
        if (index++ < kMainCars)
            continue;
        car->collision = true;
        car->SetVisible(true);
        const D3DXVECTOR3 at(car->GetPosition().x, car->GetPosition().y, kExtraCarDropHeight);
        if (RbRigidBody* body = car->physicData ? car->physicData->rigidBody : nullptr) {
            const RbVector position(at.x, at.y, at.z);
            body->SetPosition(position);
            body->SetVelocity(RbVector());
            body->SetAngularMomentum(RbVector());
            body->SetForce(RbVector(), position);
            body->SetTorque(RbVector());
            body->SetGravityEnabled(true);
        }
        car->SetPosition(at);
        car->UpdateHierarchy();
    }
}
