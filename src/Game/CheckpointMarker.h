#pragma once

#include "Core/PRefPtr.h"
#include "Game/PGameObject.h"

// The arrow that points the player at the shown sequence checkpoint: a model
// with two arrow parts. The level only hands it its target; nothing in the
// game creates one yet.
class CheckpointMarker : public CPObject {
public:
    // The model whose parts "arrow1" and "arrow2" are the two arrows.
    explicit CheckpointMarker(const CPRefPtr<CPGameObject>& model);

    size_t GetSize() const override { return sizeof(CheckpointMarker); }
    std::string GetClassName() const override { return "CheckpointMarker"; }

    // With an object both arrows show and the first becomes the shown part;
    // with null the shown part is dropped and the second arrow hidden.
    void SetTarget(const CPRefPtr<CPGameObject>& object);

    CPRefPtr<CPGameObject> target;
    CPRefPtr<CPGameObject> shownPart;

private:
    CPRefPtr<CPGameObject> firstArrow;
    CPRefPtr<CPGameObject> secondArrow;
};
