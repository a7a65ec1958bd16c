#include "Game/GameObjectServices.h"

GameObjectServices g_GameObjectServices;
