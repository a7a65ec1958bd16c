#include "Render/PAnimatedObject.h"

#include "Render/PVertexEffect.h"

CPAnimatedObject::~CPAnimatedObject() {
    for (CPVertexEffect* effect : vertexEffects)
        delete effect;
}

void CPAnimatedObject::AddAnimation(const std::string& animationName,
                                    const CPRefPtr<CPAnimation>& animation) {
    animations[animationName] = animation;
    if (!current) {
        current = animation;
        stopped = false;
    }
}
