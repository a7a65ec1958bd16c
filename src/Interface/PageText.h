#pragma once

#include "Core/PRefPtr.h"
#include "Game/PGameObject.h"

#include <string>

// A text element of an interface page: the child object whose mesh shows the
// text, the font, the position of the first character in screen pixels and
// the text last set on it.
struct PageText {
    CPRefPtr<CPGameObject> textObject;
    std::string font;
    float x = 0;
    float y = 0;
    std::string text;
};
