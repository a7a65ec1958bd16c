#include "Physics/Simulator/RbSensor.h"

void RbSensor::SetLineSensor(const RbVector& lineStart, const RbVector& lineVector) {
    start = lineStart;
    line = lineVector;
    length = RbSafeLength(lineVector);
    direction = RbSafeNormalise(lineVector);
}
