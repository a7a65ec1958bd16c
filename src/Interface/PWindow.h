#pragma once

#include "Core/PObject.h"
#include "Platform/Win32Types.h"
#include "Render/MeshVertex.h"

#include <array>
#include <cstdint>
#include <string>

class CPInterface;
class CPLineReader;

// A textured rectangle of an interface page: its quad relative to its
// position (corner 0 at (0, 0), corner 2 at (width, height)), its name and
// its flags. A plain window reports the pointer passing over it to the
// "interface" scripts and a mouse release inside it to its page's script.
class CPWindow : public CPObject {
public:
    explicit CPWindow(CPInterface* owner);

    size_t GetSize() const override { return sizeof(CPWindow); }
    std::string GetClassName() const override { return "CPWindow"; }

    virtual void SetEnabled(bool flag) { enabled = flag; }
    // Whether the point lies on the quad, edges included.
    virtual bool HitTest(float px, float py) const;
    // Lays the window out from 1024 x 768 layout values and texels of a
    // texture of the given size, and shows it.
    virtual void Create(const std::string& windowName, float textureWidth, float textureHeight, float layoutX,
                        float layoutY, float layoutWidth, float layoutHeight, float u, float v, float du,
                        float dv);
    // Reads one window line of a page file; a missing line gives an empty
    // name and zero values.
    virtual bool Load(CPLineReader& lines, float textureWidth, float textureHeight);
    virtual const std::array<MeshVertex, 4>& GetVertices() const { return corners; }
    virtual const std::array<uint16_t, 6>& GetIndices() const { return indices; }
    virtual void SetVisible(bool flag) { visible = flag; }
    // The results of these say whether the element changed its look.
    virtual bool OnMouseOver(float px, float py);
    virtual bool OnMouseOut(float px, float py);
    virtual bool OnMouseDown(int button, float px, float py);
    virtual bool OnMouseUp(int button, float px, float py);

    // Places the corners at (0, 0), (width, 0), (width, height) and
    // (0, height) in screen pixels; the texture coordinates stay.
    void SetSize(float width, float height);
    // The colour of the element and of its corners.
    void SetColour(DWORD argb);

    CPInterface* owner;
    std::array<MeshVertex, 4> corners{};
    std::array<uint16_t, 6> indices{0, 1, 2, 0, 2, 3};
    std::string name;
    bool visible = true;
    bool enabled = true;
    float x = 0;
    float y = 0;
    DWORD colour = 0xffffffff;

private:
    // Corners from a screen size and texture coordinates.
    void SetQuad(float width, float height, float u0, float v0, float u1, float v1);
    void SetLayout(float layoutX, float layoutY, float layoutWidth, float layoutHeight, bool stretch);
};
