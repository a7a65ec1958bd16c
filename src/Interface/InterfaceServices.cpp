#include "Interface/InterfaceServices.h"

InterfaceServices g_InterfaceServices;
