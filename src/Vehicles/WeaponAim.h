#pragma once

#include "Platform/D3DX9Math.h"

// The geometry of aiming and launching. A model faces along its -y axis.

// Launch speed and gravity the rocket launcher's elevation is worked out for.
inline constexpr float kRocketLaunchSpeed = 17.0f;
inline constexpr float kRocketGravity = 9.8f;

// The signed turn about z from the forward direction to the aim direction,
// both taken in the ground plane; 0 when either has no ground-plane length.
float AimYaw(const D3DXVECTOR3& aim, const D3DXVECTOR3& forward);

// The steeper of the two launch angles that land a shot of the rocket launch
// speed at that horizontal distance; beyond the greatest reach, pi/4.
float RocketElevation(float horizontalDistance);

// A random direction within the cone of that half angle about the axis
// (draws two random numbers). Axes along +y and -y keep their cone.
D3DXVECTOR3 ConeDirection(const D3DXVECTOR3& axis, float coneAngle);

// The orientation that turns a model's forward axis (0, -1, 0) onto the
// direction; a half turn about z for (0, 1, 0), and `current` for a
// zero direction.
D3DXQUATERNION FacingRotation(const D3DXVECTOR3& direction, const D3DXQUATERNION& current);

// A random fraction from 0 to 1 inclusive.
float RandomFraction();
