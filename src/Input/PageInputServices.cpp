#include "Input/PageInputServices.h"

PageInputServices g_PageInputServices;
