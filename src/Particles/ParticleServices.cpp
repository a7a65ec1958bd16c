#include "Particles/ParticleServices.h"

ParticleServices g_ParticleServices;
