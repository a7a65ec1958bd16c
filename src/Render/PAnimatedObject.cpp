#include "Render/PAnimatedObject.h"

void CPAnimatedObject::AddAnimation(const std::string& animationName,
                                    const CPRefPtr<CPAnimation>& animation) {
    animations[animationName] = animation;
    if (!current) {
        current = animation;
        stopped = false;
    }
}
