#include "Game/CheckpointMarker.h"

CheckpointMarker::CheckpointMarker(const CPRefPtr<CPGameObject>& model) {
    if (!model)
        return;
    firstArrow = model->FindChild("arrow1");
    secondArrow = model->FindChild("arrow2");
}

void CheckpointMarker::SetTarget(const CPRefPtr<CPGameObject>& object) {
    target = object;
    if (object) {
        for (const CPRefPtr<CPGameObject>& arrow : {firstArrow, secondArrow}) {
            if (arrow)
                arrow->SetVisible(true);
        }
        shownPart = firstArrow;
        return;
    }
    shownPart = nullptr;
    if (secondArrow)
        secondArrow->SetVisible(false);
}
