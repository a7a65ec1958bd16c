#include "Render/VertexEffectFactory.h"

CPVertexEffect* CreateVertexEffect(const std::string&, const std::vector<std::string>&) {
    return nullptr;
}
