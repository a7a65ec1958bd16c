#pragma once

#include "Core/StringHashMap.h"
#include "Render/PAnimation.h"
#include "Render/PEffectVisual.h"

#include <string>

class CPSceneObject;

// The visual of an object animated by whole vertex frames: it plays one of
// its named animations against the game clock and writes the frame of the
// moment in world space. A play that wraps around counts as done; after
// `playLimit` plays (when positive) the object stops and keeps showing the
// frame before the last. The target script hears "animation_stopped" then,
// and "animation_report" once per play when the frame `reportFrame` is
// reached; both carry the target's address.
class CPAnimatedObject : public CPEffectVisual {
public:
    explicit CPAnimatedObject(CPSceneObject* owner = nullptr) : owner(owner) {}

    // Stores the animation under the name (replacing an older one); the
    // first one stored becomes current and the object plays.
    void AddAnimation(const std::string& animationName, const CPRefPtr<CPAnimation>& animation);
    // Starts the named animation from its first frame at `startTime` when
    // the object has it and either `restart` is set or another animation
    // plays; resets the vertex effects. False when nothing was started.
    bool StartAnimation(const std::string& name, float startTime, int limit, int frameToReport,
                        float playSpeed, const CPRefPtr<CPObject>& reportTarget, bool restart);

    // The counts of the frame the next Fill writes at the current game time.
    int GetVertexCount() const override;
    int GetIndexCount() const override;
    // Advances the play to the current game time and writes its frame.
    void Fill(MeshVertex* vertexDestination, uint16_t* indexDestination, int baseVertex,
              int placement) override;
    // The source's animations, play state, material and cloned effects (not
    // the owner); releases the source.
    virtual void CopyFrom(const CPRefPtr<CPAnimatedObject>& source);

    size_t GetSize() const override { return sizeof(CPAnimatedObject); }
    std::string GetClassName() const override { return "CPAnimatedObject"; }

    CPSceneObject* owner;
    StringHashMap<CPRefPtr<CPAnimation>> animations{100};
    CPRefPtr<CPAnimation> current;
    // Seconds of the game clock.
    float startTime = 0;
    // Plays after which the animation stops; 0 or less loops for ever.
    int playLimit = 0;
    int playCount = 0;
    // The frame at which this play was reported; -1 not yet.
    int reportedFrame = -1;
    // Negative: no report.
    int reportFrame = -1;
    float speed = 1.0f;
    CPRefPtr<CPObject> target;
    // The index of the frame written last in current's frames; -1 none.
    int heldFrame = -1;
    bool stopped = false;
    std::string animationName;

private:
    struct Step {
        // The frame the time points at, and the one to write.
        int chosen = -1;
        int written = -1;
        bool wrapped = false;
        bool stops = false;
    };
    // Where the play stands at the current game time, without changing it.
    Step Look() const;
    const AnimationFrame* FrameToWrite() const;
    void Advance(const Step& step);
    void Send(const char* command) const;
};
