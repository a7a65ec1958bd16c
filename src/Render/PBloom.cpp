#include "Render/PBloom.h"

#include "Core/CallRecorder.h"

HRESULT CPBloom::Create(IDirect3DDevice9* device) {
    RecordCall("CPBloom::Create");
    return device ? S_OK : E_FAIL;
}

void CPBloom::Release() {
    RecordCall("CPBloom::Release");
}

void CPBloom::OnLostDevice() {
    RecordCall("CPBloom::OnLostDevice");
}

int CPBloom::RenderMotionBlur() {
    RecordCall("CPBloom::RenderMotionBlur");
    return 0;
}

int CPBloom::RenderBloom() {
    RecordCall("CPBloom::RenderBloom");
    return 0;
}
