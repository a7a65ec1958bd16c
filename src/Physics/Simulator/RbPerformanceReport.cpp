#include "Physics/Simulator/RbPerformanceReport.h"

void RbPerformanceReport::Finish(float total) {
    if (mode == 1) {
        result = total;
    } else if (total < 100.0f) {
        sampleCount += 1;
        runningSum += total;
        result = runningSum / static_cast<float>(sampleCount);
    }
}
