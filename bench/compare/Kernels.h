#pragma once

// The geometry kernels compared between the engines: a line sensor against
// one terrain triangle, and the deepest contact of two boxes.

#include "Physics/Simulator/RbMatrix.h"

struct RayHit {
    bool hit = false;
    float depth = 0.0f; // length of the segment beyond the surface
    RbVector normal;    // facing the segment's start
    RbVector point;
};

struct BoxPose {
    RbVector halfExtents;
    RbMatrix4 transform; // rows 0 to 2: the box's axes in world space; row 3: its centre
};

struct BoxContact {
    bool hit = false;
    float depth = 0.0f;
    RbVector normal; // from box B toward box A
};

// The segment start + t line, t in [0, 1], against the triangle a b c.
RayHit OurRayTriangle(const RbVector triangle[3], const RbVector& start, const RbVector& line);
RayHit BulletRayTriangle(const RbVector triangle[3], const RbVector& start, const RbVector& line);
RayHit OdeRayTriangle(const RbVector triangle[3], const RbVector& start, const RbVector& line);

BoxContact OurBoxBox(const BoxPose& a, const BoxPose& b);
BoxContact BulletBoxBox(const BoxPose& a, const BoxPose& b);
BoxContact OdeBoxBox(const BoxPose& a, const BoxPose& b);

// Runs the seeded random cases of both kernels through the three engines and
// prints how far the libraries are from ours.
void PrintKernelAgreement(int cases);
