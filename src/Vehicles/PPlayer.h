#pragma once

#include "Core/PRefPtr.h"
#include "Game/ItemInfo.h"
#include "Game/PGameObject.h"
#include "Platform/D3DX9Math.h"
#include "Vehicles/BonusKind.h"
#include "Vehicles/WeaponKind.h"

#include <string>
#include <unordered_map>

class CPCamera;
class CPCar;
class CPLine;
class CPRenderBlock;
struct Particle;

// A vehicle's side and role.
enum EPlayerFlags {
    PLAYER_AURINE = 1,
    PLAYER_UMBRINE = 2,
    // Takes no pickups and is caught by the traps of both sides.
    PLAYER_ALL_SIDES = 4,
    // The human player's side: receives the on-screen messages and ends the
    // game when defeated.
    PLAYER_HUMAN = 8,
};

// A racing vehicle of the game world, the human player's or a computer's: a
// game object built from the car's model whose physics is the CPCar in its
// car slot. It keeps the controls for the car, steps itself once per frame,
// puts itself back onto the track when it falls, tips over or leaves the
// ground, and draws a blob shadow under itself.
class CPPlayer : public CPGameObject {
public:
    static constexpr float RespawnCoolDown = 1.0f;
    // Beyond this distance from the eye the shadow is not drawn.
    static constexpr float ShadowDistance = 100.0f;

    CPPlayer();
    // Drops the shadow, the weapon part, the muzzle flashes and the flame
    // targets.
    ~CPPlayer() override;
    CPPlayer(const CPPlayer&) = delete;
    CPPlayer& operator=(const CPPlayer&) = delete;

    size_t GetSize() const override { return sizeof(CPPlayer); }
    // The weapon part and its muzzle flashes are nodes of the vehicle's own
    // model.
    void DropTreeReferences() override;

    // A vehicle that becomes the human player's takes the engine record of
    // the equipment in use.
    void SetFlags(int value);
    int GetFlags() const { return flags; }
    void SetModelName(const std::string& value) { carModelName = value; }
    // The car physics, not counted; null when the vehicle has none.
    CPCar* GetCar() const;
    // The car's velocity and a fourth word 0; zeros without a car.
    void GetCarVelocity(float out[4]) const;

    // The controls do nothing while the vehicle is locked. They are kept and
    // reach the car on the next update.
    void SetControls(float throttleValue, float steeringValue);
    void SetBrake(bool on);
    void Lock(bool flag);
    void SetNitro(float amount);
    void DisableThrottle(float, float);
    // The impulse at the world point on the car's body; nothing without one.
    void ApplyImpulse(const D3DXVECTOR3& point, const D3DXVECTOR3& impulse);
    void SetSoundVolume(float level);
    void SetBonusTimer(float seconds) { bonusTimer = seconds; }

    // Makes the weapon of the current slot (from the game data's car
    // equipment in use) the active one; a weapon without a usable catalogue
    // record leaves the vehicle without a weapon part.
    void SelectWeapon();
    // Aims the active weapon at the point (at the middle of the object's
    // height when it has a rigid body) and fires a volley when the weapon
    // may; every firing attempt sends "update_game_interface" to "gamemenu".
    void UpdateWeapon(const D3DXVECTOR3& target, const CPRefPtr<CPGameObject>& targetObject);
    // Throws one spent shell case out of the part.
    void EjectShellCase(const CPRefPtr<CPGameObject>& part);
    // The load left in the current weapon slot; 0 without a weapon.
    float GetAmmoFraction() const;
    // Takes the pickups and springs the traps of the game data's bonus list
    // that the vehicle touches, while the race clock runs.
    void UpdatePickups();
    // Per frame of a flame particle whose attachment is the vehicle: what
    // the flame touches joins the vehicle's flame targets and the flame dies.
    static void OnFlameParticle(CPObject* attachment, Particle& particle);

    // Puts the vehicle back onto the nearest piece of the level's racing
    // line when it falls, tips over, is off the terrain or `force` is set.
    void Respawn(bool force);
    void Update(float dt);
    void CreateShadow();
    // Adds the vehicle (and, near the eye, its shadow) to the block when the
    // camera sees it, and runs the screen fade of a respawn.
    void SubmitForDrawing(CPRenderBlock& block, CPCamera& camera);
    // One frame of the screen fade of a respawn; the level's camera target
    // runs it from SubmitForDrawing.
    void UpdateFade(float dt);

    CPRefPtr<CPGameObject> shadow;
    float respawnCoolDown = 0.0f;
    bool fadeIn = false;
    bool fadeOut = false;
    float fadeTime = 0.0f;
    float flameTimer = 0.0f;
    float barrelAngle = 0.0f;
    float steering = 0.0f;
    float throttle = 0.0f;
    int weaponSlot = 0;
    std::string weaponName;
    bool weaponEmpty = false;
    float engineTemperature = 0.0f;
    CPRefPtr<CPGameObject> weaponPart;
    CPRefPtr<CPGameObject> muzzleFlashes[4];
    int flashIndex = 0;
    std::string mineIconName;
    int turnArrow = 0;
    float driftTime = 0.0f;
    D3DXVECTOR3 aimPoint{0, 0, 0};
    float ammunition[3] = {1.0f, 1.0f, 1.0f};
    WeaponInfo weaponRecord;
    MineInfo mineRecord;
    bool hasMines = false;
    bool firing = false;
    EWeaponKind weaponKind = WEAPON_NONE;
    float refireDelay = 0.0f;
    EngineInfo engineRecord;
    float life = 100000.0f;
    // The objects flame particles touched since the last damage period,
    // each held counted, with its count.
    struct FlameTarget {
        CPRefPtr<CPGameObject> object;
        int count = 0;
    };
    std::unordered_map<CPGameObject*, FlameTarget> flameTargets{100};
    bool deathReported = false;
    bool locked = false;
    bool throttleCut = false;
    bool cutTimerRunning = false;
    float cutTimer = 0.0f;
    int abilities = 0;
    float defeatTime = 0.0f;
    bool gameOverSent = false;
    int pushCount = 0;
    double lastPushTime = 0.0;
    D3DXVECTOR3 pushDirection{0, 0, 0};
    double lastRepulsionTime = 0.0;
    std::string carModelName;
    float shadowWorldScreenTime = 0.0f;
    bool shadowWorldScreen = false;
    int flags = 0;
    float damage = 0.0f;
    float smokeTime = 0.0f;
    bool inShadowWorld = false;
    float shadowWorldTime = 0.0f;
    bool slowed = false;
    float slowTime = 0.0f;
    float bonusTimer = 0.0f;
    float slamTime = 0.0f;
    bool human = false;
    // The piece of the level's racing line the vehicle is on; the level
    // gives the player's car the line's first piece at load.
    CPLine* trackPiece = nullptr;
    bool defeated = false;
    bool collided = false;

private:
    // What aiming gives the firing: the unit shot direction and the rocket
    // launcher's elevation.
    struct WeaponAimState {
        D3DXVECTOR3 direction{0, 0, 0};
        float elevation = 0.0f;
    };

    // Weapon steps.
    void ArmWeapon(const std::string& itemName);
    WeaponAimState AimWeapon(const D3DXVECTOR3& target, const CPRefPtr<CPGameObject>& targetObject);
    void SpinBarrel();
    void FireVolley(const WeaponAimState& aim);
    D3DXVECTOR3 NextMuzzleFlash();
    void FireByKind(const D3DXVECTOR3& muzzle, const WeaponAimState& aim);
    void FireShotgun(const D3DXVECTOR3& muzzle, const D3DXVECTOR3& direction);
    void SpawnShot(const char* shotName, const D3DXVECTOR3& at, const D3DXVECTOR3& direction,
                   const CPRefPtr<CPGameObject>& owner) const;
    void EmitFlame(const D3DXVECTOR3& muzzle, const D3DXVECTOR3& direction);
    void BurnFlameTargets();
    void AddFlameTarget(const CPRefPtr<CPGameObject>& object);

    // Pickup and trap steps.
    bool Touches(const CPGameObject& object) const;
    bool ActOnTouch(const CPRefPtr<CPGameObject>& object, std::size_t entry);
    void TakePickup(EBonusKind kind, const CPRefPtr<CPGameObject>& object, std::size_t entry);
    void ApplyPickup(EBonusKind kind);
    void ChangeAbilities(int change);
    void EnterShadowWorld();
    void Push(const CPGameObject& object);
    void Spin();
    void CatchInLight();
    void Repel(const CPGameObject& halo);
    void EmitHaloWall(const D3DXVECTOR3& towards) const;

    // Race effect steps.
    void UpdateDefeatEffects(float dt);
    void EmitDefeatSmoke() const;
    void UpdateGameOver(float dt);
    void UpdateTurnArrowsAndDrift(float dt);
    int TurnArrowAhead() const;
    void UpdateShadowWorld(float dt);
    void EnterShadowWorldScreen();
    void LeaveShadowWorldScreen();
    void EmitShadowWorldSparks() const;
    void UpdateSlowDown(float dt);
    void UpdateEngineTemperature(float dt);
    void UpdateThrottleCut(float dt);
    void UpdateTimers(float dt);
    void UpdateCollisionSound(float dt);

    // Respawn steps.
    bool NeedsRespawn(bool force) const;
    float Tilt() const;
    bool IsOffTerrain() const;
    bool IsBlocked(const D3DXVECTOR3& candidate) const;
    bool Blocks(const CPPlayer& other, const D3DXVECTOR3& candidate) const;
    void StopBody();
    void PlaceAt(const D3DXVECTOR3& point, float heading);
    bool IsCameraTarget() const;
    void ShowPart(const char* partName, bool show);
    void DropShadow();
};
