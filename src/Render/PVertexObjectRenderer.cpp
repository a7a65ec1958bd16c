#include "Render/PVertexObjectRenderer.h"

CPVertexObjectRenderer g_VertexObjectRenderer;
