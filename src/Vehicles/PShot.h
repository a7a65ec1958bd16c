#pragma once

#include "Core/PRefPtr.h"
#include "Game/PGameObject.h"
#include "Platform/D3DX9Math.h"
#include "Render/PRenderObject.h"
#include "Sound/NSound.h"

#include "Game/RayQuery.h"

#include <memory>
#include <string>
#include <vector>

// A game object that is launched from a point in a direction and then runs
// by itself: bullets, rockets, impact and bonus effects. A shot keeps its
// parameter row (the text columns that describe it, the last one naming its
// sound as "file,mode"), its sound and the data of its last launch, and
// turns to face along its direction when launched.
class CPShot : public CPGameObject {
public:
    // A shot named "CPShot" with a copy of the row and a new, empty model
    // as its visual.
    explicit CPShot(std::vector<std::string> row);
    ~CPShot() override;
    CPShot(const CPShot&) = delete;
    CPShot& operator=(const CPShot&) = delete;

    size_t GetSize() const override { return sizeof(CPShot); }

    // A new shot configured from the same row, to be launched on its own;
    // null for a shot that cannot serve as a template.
    virtual std::unique_ptr<CPShot> Clone() const = 0;
    // Advances the shot by the frame; false once it has finished.
    virtual bool Tick() = 0;
    // Sets up the sound from the row's last column ("file,mode"; "none" for
    // no sound, mode "2d" for a sound without position).
    virtual bool Configure(const std::vector<std::string>& row);
    // Keeps the speed (even a negative one), the position and the
    // direction, moves the shot to the position, turns it to face along the direction and plays its
    // sound from the start. The owner is not kept.
    virtual void Launch(const D3DXVECTOR3& at, const D3DXVECTOR3& towards, float launchSpeed,
                        const CPRefPtr<CPGameObject>& owner);

    // The row's column as text, number or whole number; "" and 0 when the
    // row is shorter.
    const std::string& Column(std::size_t index) const;
    float FloatColumn(std::size_t index) const;
    int IntColumn(std::size_t index) const;

    D3DXVECTOR3 launchPosition{0, 0, 0};
    D3DXVECTOR3 direction{0, 0, 0};
    std::vector<std::string> params;
    CPRefPtr<CNSound> sound;
    std::string soundFile;
    float speed = -1.0f;
    bool flatSound = false;
    CPRefPtr<CPRenderObject> model;

protected:
    // The ray from the shot's position to the point, ignoring the tree of
    // the object that fired it, against the level's scenery and cars: true
    // (with the query filled) when it hits something before the point.
    bool CrossTo(const D3DXVECTOR3& point, RayQuery& query) const;
    // Spawns the effect of the name at the point, facing along the normal.
    static void SpawnEffect(const std::string& effect, const D3DXVECTOR3& at, const D3DXVECTOR3& normal);
    // The hit object's top owner takes the damage at the hit point.
    void DamageHit(const RayQuery& query, float amount) const;
    // Makes the beam (once) the shot's visual and gives it its quad and the
    // material of the priority, effect and texture.
    void BuildBeam(CPRefPtr<CPRenderObject>& beam, int priority, const std::string& effect,
                   const std::string& texture);

    void DropSound();

    // The root of the tree that fired the shot; null when none did. Shots
    // must be dropped before the vehicles that fire them.
    CPRefPtr<CPGameObject> shooter;

    // A new shot of the same class from the same row.
    template <class Shot>
    std::unique_ptr<CPShot> CloneAs() const {
        auto copy = std::make_unique<Shot>(params);
        copy->name = name;
        copy->Configure(params);
        return copy;
    }
};
