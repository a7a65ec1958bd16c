#include "Render/Skyscape.h"

#include "Core/CallRecorder.h"

bool Skyscape::Load(const std::string& fileName) {
    RecordCall("Skyscape::Load " + fileName);
    return true;
}

void Skyscape::Update(float) {
    RecordCall("Skyscape::Update");
}
