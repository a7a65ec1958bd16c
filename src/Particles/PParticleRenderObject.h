#pragma once

#include "Particles/Particle.h"
#include "Particles/ParticleKey.h"
#include "Platform/Win32Types.h"
#include "Render/PRenderObject.h"

#include <vector>

struct ParticleCamera;

// The packed ARGB colour and the half size a type's keys give at a point of
// a particle's life.
struct ParticleShade {
    DWORD colour = 0;
    float size = 0;
};

// One particle type: its live particles, which it moves and ages once per
// frame, and the quads it writes for them, one per particle, with the
// type's material. Particles are camera-facing squares (optionally animated
// through a sprite sheet) or streaks along their motion.
class CPParticleRenderObject : public CPRenderObject {
public:
    // The render block skips objects of 65,536 vertices or more, so a type
    // holds at most this many particles; later spawns are dropped.
    static constexpr std::size_t kMaxParticles = 16383;

    CPParticleRenderObject();

    int GetVertexCount() const override { return 4 * static_cast<int>(particles.size()); }
    int GetIndexCount() const override { return 6 * static_cast<int>(particles.size()); }
    void Fill(MeshVertex* vertices, uint16_t* indices, int baseVertex, int placement) override;
    void CopyIndices(uint16_t*, int, uint16_t*, uint16_t*) override {}

    // Moves and ages every particle by the frame time, spawns chained
    // requests at half life and removes expired particles. Particles
    // spawned into this object meanwhile are visited in the same pass.
    virtual void UpdateParticles();
    // Takes the particle, marks the object active.
    virtual void AddParticle(Particle particle);
    virtual void ClearParticles();

    // Cuts the texture into a sheet of columns x rows frames (rows outer);
    // counts below 1 count as 1, and 1 x 1 is no sheet.
    void SetSheet(int columns, int rows);
    void SetKeys(std::vector<ParticleKey> newKeys);
    // The colour and size of the keys at the life fraction t.
    ParticleShade InterpolateKeys(float t) const;

    std::vector<ParticleKey> keys;
    bool active = false;
    std::vector<Particle> particles;
    bool hasSheet = false;
    int sheetRows = 1;
    int sheetColumns = 1;
    // Kept from the table; nothing reads them.
    int sheetValue = 1;
    bool sheetFlag = false;
    std::vector<float> frameU;
    std::vector<float> frameV;
    int frameCount = 1;
    float frameWidth = 1;
    float frameHeight = 1;
    bool hasKeys = false;

protected:
    // The sheet frame shown at the age, for a particle with that frame rate.
    int FrameAt(float frameRate, float age) const;
    // Frames per second of a particle living that long: 0 for a lifetime
    // of 0 or less, which stays on the first frame.
    float FrameRateFor(float lifetime) const;
    // Takes the particle unless the object is full (logged once).
    bool Admit();

private:
    // One step of UpdateParticles; false when the particle expired.
    bool StepParticle(std::size_t index, float dt);
    DWORD ColourOf(const Particle& particle, float& halfSize) const;
    void WriteParticle(const Particle& particle, MeshVertex* vertices, uint16_t* indices, int base,
                       const ParticleCamera& camera) const;

    bool loggedFull = false;
};
