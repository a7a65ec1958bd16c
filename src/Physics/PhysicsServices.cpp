#include "Physics/PhysicsServices.h"

PhysicsServices g_PhysicsServices;
