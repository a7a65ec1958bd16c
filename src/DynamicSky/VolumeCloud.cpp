#include "DynamicSky/VolumeCloud.h"

VolumeCloud::VolumeCloud() {
    LoadTexture("data\\textures\\cloud.tga");
    LoadEffect("data\\effects\\volume_cloud.fx");
}
