#include "Particles/PParticleRenderObject.h"

#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Particles/PParticlesManager.h"
#include "Particles/ParticleQuad.h"

#include <algorithm>
#include <cmath>

namespace {

float Lerp(float a, float b, float f) {
    return a + f * (b - a);
}

bool AllNonZero(const D3DXVECTOR3& v) {
    return v.x != 0 && v.y != 0 && v.z != 0;
}

// The corners of a camera-facing square of half size s at the position:
// (-s, -s), (s, -s), (s, s), (-s, s) on the camera's right and up axes.
void BillboardCorners(D3DXVECTOR3 (&corners)[4], const D3DXVECTOR3& position, float s,
                      const D3DXMATRIX& inverseView) {
    const D3DXVECTOR3 right = D3DXVECTOR3(inverseView._11, inverseView._12, inverseView._13) * s;
    const D3DXVECTOR3 up = D3DXVECTOR3(inverseView._21, inverseView._22, inverseView._23) * s;
    corners[0] = position - right - up;
    corners[1] = position + right - up;
    corners[2] = position + right + up;
    corners[3] = position - right + up;
}

// The corners of a streak from the particle forward along its motion: its
// length grows with the speed and the size, its width faces the eye.
void StreakCorners(D3DXVECTOR3 (&corners)[4], const Particle& particle, float s, const D3DXVECTOR3& eye) {
    D3DXVECTOR3 direction = particle.position - particle.previousPosition;
    D3DXVec3Normalize(&direction, &direction);
    float length = D3DXVec3Length(&particle.velocity);
    if (length == 0)
        length = D3DXVec3Length(&particle.lastVelocity);
    const D3DXVECTOR3 head = particle.position + direction * (5 * length * s);
    const D3DXVECTOR3 toParticle = particle.position - eye;
    const D3DXVECTOR3 along = head - particle.position;
    D3DXVECTOR3 side;
    D3DXVec3Cross(&side, &toParticle, &along);
    D3DXVec3Normalize(&side, &side);
    side *= s;
    corners[0] = particle.position - side;
    corners[1] = particle.position + side;
    corners[2] = head + side;
    corners[3] = head - side;
}

} // namespace

CPParticleRenderObject::CPParticleRenderObject() : CPRenderObject(nullptr) {}

void CPParticleRenderObject::SetSheet(int columns, int rows) {
    sheetColumns = std::max(columns, 1);
    sheetRows = std::max(rows, 1);
    hasSheet = sheetColumns != 1 || sheetRows != 1;
    frameCount = sheetColumns * sheetRows;
    frameWidth = 1.0f / static_cast<float>(sheetColumns);
    frameHeight = 1.0f / static_cast<float>(sheetRows);
    frameU.clear();
    frameV.clear();
    if (!hasSheet)
        return;
    for (int row = 0; row < sheetRows; ++row) {
        for (int column = 0; column < sheetColumns; ++column) {
            frameU.push_back(static_cast<float>(column) / static_cast<float>(sheetColumns));
            frameV.push_back(static_cast<float>(row) / static_cast<float>(sheetRows));
        }
    }
}

void CPParticleRenderObject::SetKeys(std::vector<ParticleKey> newKeys) {
    keys = std::move(newKeys);
    hasKeys = !keys.empty();
}

ParticleShade CPParticleRenderObject::InterpolateKeys(float t) const {
    if (keys.empty())
        return {0xFFFFFFFF, 0};
    ParticleKey key;
    const std::size_t n = keys.size();
    if (!(t > 0)) {
        key = keys.front();
    } else if (t >= 1 || n == 1) {
        key = keys.back();
    } else {
        const float steps = static_cast<float>(n - 1);
        const auto c = std::min(static_cast<std::size_t>(t * steps), n - 2);
        const float f = (t - static_cast<float>(c) / steps) * steps;
        const ParticleKey& a = keys[c];
        const ParticleKey& b = keys[c + 1];
        key = {Lerp(a.alpha, b.alpha, f), Lerp(a.red, b.red, f), Lerp(a.green, b.green, f),
               Lerp(a.blue, b.blue, f), Lerp(a.size, b.size, f)};
    }
    const DWORD colour = ColourByte(key.alpha * 255) << 24 | ColourByte(key.red * 255) << 16 |
                         ColourByte(key.green * 255) << 8 | ColourByte(key.blue * 255);
    return {colour, key.size};
}

int CPParticleRenderObject::FrameAt(float frameRate, float age) const {
    const float frame = frameRate * age;
    if (!(frame >= 0))
        return 0;
    if (!(frame < 2147483647.0f))
        return frameCount - 1;
    return static_cast<int>(frame) % frameCount;
}

float CPParticleRenderObject::FrameRateFor(float lifetime) const {
    return lifetime > 0 ? static_cast<float>(frameCount) / lifetime : 0.0f;
}

bool CPParticleRenderObject::Admit() {
    if (particles.size() < kMaxParticles)
        return true;
    if (!loggedFull) {
        GetLog().Print(0, "A particle type holds %zu particles: further ones are dropped\n", kMaxParticles);
        loggedFull = true;
    }
    return false;
}

void CPParticleRenderObject::AddParticle(Particle particle) {
    if (!Admit())
        return;
    particle.previousPosition = particle.position;
    particle.frameRate = FrameRateFor(particle.lifetime);
    particles.push_back(std::move(particle));
    active = true;
}

void CPParticleRenderObject::ClearParticles() {
    particles.clear();
    active = false;
}

void CPParticleRenderObject::UpdateParticles() {
    const float dt = g_FrameTime;
    std::size_t kept = 0;
    // Spawning may append to `particles` (and move it): only indices are
    // held across a step.
    for (std::size_t index = 0; index < particles.size(); ++index) {
        if (!StepParticle(index, dt))
            continue;
        if (kept != index)
            particles[kept] = std::move(particles[index]);
        ++kept;
    }
    particles.erase(particles.begin() + static_cast<std::ptrdiff_t>(kept), particles.end());
    active = !particles.empty();
}

bool CPParticleRenderObject::StepParticle(std::size_t index, float dt) {
    Particle& particle = particles[index];
    if (particle.orient && AllNonZero(particle.velocity))
        particle.lastVelocity = particle.velocity;
    particle.velocity += particle.acceleration * dt;
    particle.position += particle.velocity * dt;
    particle.size += particle.growth * dt;
    if (particle.chained && particle.age > particle.lifetime * 0.5f) {
        const std::unique_ptr<ParticleDesc> chained = std::move(particle.chained);
        chained->position += particle.position;
        g_ParticlesManager->Spawn(*chained);
    }
    Particle& current = particles[index];
    if (current.age > current.lifetime) {
        if (current.chained) {
            const std::unique_ptr<ParticleDesc> chained = std::move(current.chained);
            chained->position = current.position;
            g_ParticlesManager->Spawn(*chained);
        }
        return false;
    }
    current.age += dt;
    if (current.callback)
        current.callback(current.attachment.Get(), current);
    return true;
}

DWORD CPParticleRenderObject::ColourOf(const Particle& particle, float& halfSize) const {
    if (hasKeys) {
        const float t = particle.lifetime > 0 ? particle.age / particle.lifetime : 1.0f;
        const ParticleShade shade = InterpolateKeys(t);
        halfSize = shade.size;
        return shade.colour;
    }
    if (!particle.fade)
        return 0xFFFFFFFF;
    if (particle.lifetime > particle.age)
        return ColourByte((particle.lifetime - particle.age) * 256 / particle.lifetime) << 24 | 0xFFFFFF;
    return 0x00FFFFFF;
}

void CPParticleRenderObject::Fill(MeshVertex* vertices, uint16_t* indices, int baseVertex, int) {
    const ParticleCamera camera = CurrentParticleCamera();
    const std::size_t count = particles.size();
    for (std::size_t i = 0; i < count; ++i) {
        WriteParticle(particles[i], vertices + 4 * i, indices + 6 * i, baseVertex + 4 * static_cast<int>(i),
                      camera);
        if (g_FrameTime > 0)
            particles[i].previousPosition = particles[i].position;
    }
}

void CPParticleRenderObject::WriteParticle(const Particle& particle, MeshVertex* vertices, uint16_t* indices,
                                           int base, const ParticleCamera& camera) const {
    float s = particle.size + particle.growth * particle.age;
    const DWORD colour = ColourOf(particle, s);
    D3DXVECTOR3 corners[4];
    if (!hasSheet && particle.orient) {
        StreakCorners(corners, particle, s, camera.eye);
        WriteQuad(vertices, corners, colour, QuadTexture());
        WriteQuadIndices(indices, base, kFlatOrder);
        return;
    }
    BillboardCorners(corners, particle.position, s, camera.inverseView);
    QuadTexture texture;
    if (hasSheet) {
        const int frame = FrameAt(particle.frameRate, particle.age);
        texture = {frameU[frame], frameV[frame], frameWidth, frameHeight};
    }
    WriteQuad(vertices, corners, colour, texture);
    WriteQuadIndices(indices, base, kBillboardOrder);
}
