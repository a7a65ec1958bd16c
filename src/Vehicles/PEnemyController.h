#pragma once

#include "Core/PRefPtr.h"
#include "Platform/D3DX9Math.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class CPGameObject;

// Launches a shot, gib or effect by name at a point along a direction, with
// a speed (-1: the template's own) and an owner (may be null).
using EnemyShotLauncher =
    std::function<void(const std::string& name, const D3DXVECTOR3& position, const D3DXVECTOR3& direction,
                       float speed, const CPRefPtr<CPGameObject>& owner)>;

// What the armed enemies launch through when set (tests record with it);
// while it is empty they launch through the shot spawner, or only log
// without one.
extern EnemyShotLauncher g_EnemyShotLauncher;

// The brain of an armed enemy standing in the level as an animated model: it
// chains its animations (melee swings, firing in, firing, firing out,
// death), strikes or shoots at the human player's car when an animation
// reaches its report point, and takes damage, pays its reward and announces
// its death. It acts only at animation ends, report points and hits.
//
// Nothing in the game creates one: whoever attaches one to a game object's
// controller slot configures its fields first.
class CPEnemyController {
public:
    // One animation to play: its name, whether it loops and its loop count.
    struct AnimationRecord {
        std::string name;
        bool loop = false;
        int loopParameter = 0;
    };
    // One melee swing: where it strikes and how it pushes (enemy space).
    struct MeleeBlow {
        D3DXVECTOR3 offset{0, 0, 0};
        D3DXVECTOR3 pushDirection{0, 0, 0};
        float pushForce = 0.0f;
        float damage = 0.0f;
    };

    static constexpr int kIdleState = 1;
    static constexpr int kDeathState = 4;

    explicit CPEnemyController(CPGameObject* ownerObject);

    // Starts the animation on the owner unless it is already the current
    // one and `force` is clear. A looping animation plays `loopParameter`
    // times (0: without end), another one once; each reports at its
    // configured report frame.
    void PlayAnimation(const std::string& animationName, bool loop, bool force, int loopParameter);
    // Chooses what follows the current animation when it ends.
    void OnAnimationEnd();
    // The attack at the report point of the current animation.
    void Update();
    // The enemy is hit: it loses health and, at none left, dies once.
    void TakeDamage(const D3DXVECTOR3& point, const D3DXVECTOR3& direction, float amount, bool silent);
    // Plays the animation of the state, when the state table has one.
    void SelectState(int state);
    // What the enemy's keeper asks of it. Each starts its animations only
    // when the enemy is not at it yet: firing goes in through "fire_in",
    // melee starts with "melee1", and resting leaves firing through
    // "fire_out" or melee for the idle state. A dead enemy does nothing.
    void OpenFire();
    void StartMelee();
    void Rest();

    CPGameObject* owner;
    // Gives the facing and the position; the owner when null.
    CPRefPtr<CPGameObject> body;
    // The facing the offsets below are authored for.
    D3DXVECTOR3 referenceDirection{0, -1, 0};
    std::map<int, AnimationRecord> states;
    int currentState = 0;
    float stateTimer = 0.0f;
    std::string currentAnimation;
    AnimationRecord currentRecord;
    // Report frames of the animations by name; the others report nothing.
    std::map<std::string, int> reportFrames;
    int meleeCount = 0;
    // The loop parameter of each "melee<k>" animation, k from 1.
    std::vector<int> meleeParameters;
    std::string lastMeleeName;
    int fireParameter = 0;
    MeleeBlow melee1;
    MeleeBlow melee2;
    D3DXVECTOR3 fireOffset{0, 0, 0};
    std::string weaponKind;
    int firing = 0;
    int rocketCounter = 0;
    float health = 0.0f;
    std::string damageEffect;
    bool hurt = false;
    float gibHeight = 0.0f;
    bool gibs = false;
    int reward = 0;
    std::string name;
    // Sound names by the hit keys "hit1" and "hit2".
    std::map<std::string, std::string> soundNames;
    bool dead = false;
    bool deathReported = false;
    bool reportSuppressed = false;

private:
    // Where the enemy stands and how its authored offsets turn.
    struct Stance {
        D3DXVECTOR3 position;
        D3DXMATRIX turn;
    };
    // rand() / 32767: 0 to 1 inclusive.
    static float RandomFraction();
    bool IsInMelee() const;
    Stance GetStance() const;
    void Strike(const Stance& stance, const D3DXVECTOR3& target, const MeleeBlow& blow, const char* hitKey,
                bool canExplode);
    void Fire(const Stance& stance, const D3DXVECTOR3& target);
    // The shot of a "rocket" enemy: two plasma shots, then a rocket or a
    // third plasma shot.
    const char* NextRocketShot();
    void PlayHitSound(const char* hitKey) const;
    void BurstIntoGibs() const;
    void ReportDeath();
    void Launch(const std::string& shot, const D3DXVECTOR3& position, const D3DXVECTOR3& direction) const;
};
