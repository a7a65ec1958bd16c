#include "Render/PBaseCamera.h"

CPBaseCamera::CPBaseCamera() {
    D3DXMatrixIdentity(&view);
    D3DXMatrixIdentity(&projection);
    D3DXMatrixIdentity(&farProjection);
    D3DXMatrixIdentity(&rotationView);
    D3DXMatrixIdentity(&inverseRotationView);
}
