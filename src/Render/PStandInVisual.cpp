#include "Render/PStandInVisual.h"

#include "Render/PVertexEffect.h"

CPStandInVisual::~CPStandInVisual() {
    for (CPVertexEffect* effect : vertexEffects)
        delete effect;
}
