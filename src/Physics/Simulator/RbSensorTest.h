#pragma once

#include "Physics/Simulator/RbMatrix.h"

struct RbBody;
struct RbGeometry;
struct RbSensor;

// Tests every sensor of a list (from first on) of a body placed by
// sensorBodyTransform against each geometry of another body; a sensor keeps
// the deepest hit of the step, the earlier one on a tie, with detectBody set
// to the given value.
void RbSensorTest(RbSensor* first, const RbMatrix4& sensorBodyTransform, const RbBody& other,
                  const RbMatrix4& otherTransform, RbBody* detectBody);

// The same for one sensor.
void RbSingleSensorTest(RbSensor& sensor, const RbMatrix4& sensorBodyTransform, const RbBody& other,
                        const RbMatrix4& otherTransform, RbBody* detectBody);

// The same against one shape placed by placed, the sensor's start and line
// already in the shape's frame (RbSensorInFrame).
void RbPlacedSensorTest(RbSensor& sensor, const RbVector& start, const RbVector& line,
                        const RbGeometry& shape, const RbMatrix4& placed, RbBody* detectBody);

// The sensor's start and line in the frame of a shape placed by placed, its
// body placed by sensorBodyTransform.
void RbSensorInFrame(const RbSensor& sensor, const RbMatrix4& sensorBodyTransform, const RbMatrix4& placed,
                     RbVector& start, RbVector& line);

// A sensor copy whose start and line are in the frame of the shape: fills its
// detection fields (depth, normal in world axes, contact point in the shape's
// frame, material) when the segment enters the shape.
void RbSensorLineTest(RbSensor& copy, const RbGeometry& shape, const RbMatrix4& shapeTransform);
