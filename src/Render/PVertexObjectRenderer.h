#pragma once

class IDirect3DDevice9;

// The device through which the sky's vertex objects draw; the renderer
// stores it after every device creation.
class CPVertexObjectRenderer {
public:
    IDirect3DDevice9* device = nullptr;
};

extern CPVertexObjectRenderer g_VertexObjectRenderer;
