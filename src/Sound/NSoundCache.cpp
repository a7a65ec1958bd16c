#include "Sound/NSoundCache.h"

#include "Core/CallRecorder.h"

void CNSoundCache::StopAll() {
    RecordCall("CNSoundCache::StopAll");
}
