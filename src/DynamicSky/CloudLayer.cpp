#include "DynamicSky/CloudLayer.h"

#include "DynamicSky/CloudFile.h"

void CloudLayer::Load(const std::string& fileName) {
    CloudFile file;
    if (!file.Load(fileName))
        return;
    offset = file.NextVector();
    keptFloat = file.NextReal();
    keptInt = file.NextInt();
    keptVector = file.NextVector();
    keptFloat2 = file.NextReal();
    const int count = file.NextCount();
    for (int i = 0; i < count; ++i) {
        const std::string modelFile = file.NextName();
        const D3DXVECTOR3 basePosition = file.NextVector();
        const float scale = file.NextReal();
        const float angle = file.NextReal();
        auto model = std::make_unique<CloudModel>();
        model->Load(modelFile, scale, angle);
        model->basePosition = basePosition;
        model->position = basePosition + offset;
        models.emplace_back(std::move(model), file.NextReal());
    }
}

void CloudLayer::SetFade(bool fadeIn, bool reset) {
    fadingIn = fadeIn;
    fadingOut = !fadeIn;
    for (const auto& [model, kept] : models) {
        model->fadingIn = fadeIn;
        model->fadingOut = !fadeIn;
        if (reset) {
            model->alpha = fadeIn ? 255.0f : 0.0f;
            model->targetAlpha = fadeIn ? 0.0f : 255.0f;
        }
        model->dirty = true;
        model->dirty2 = true;
    }
}

void CloudLayer::PlaceModels() {
    for (const auto& [model, kept] : models)
        model->position = model->basePosition + offset;
}
