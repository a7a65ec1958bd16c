#include "Render/PSprite.h"

#include "Render/PVertexEffect.h"

CPSprite::~CPSprite() {
    for (CPVertexEffect* effect : vertexEffects)
        delete effect;
}
