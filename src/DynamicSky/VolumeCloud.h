#pragma once

#include "DynamicSky/VertexObject.h"

// The sky's cloud object: it holds the cloud texture and effect, ready for
// drawing clouds; the sky draws none.
class VolumeCloud : public VertexObject {
public:
    VolumeCloud();
};
