#include "Core/Log.h"

int main() {
    return GetLog().IsReady() ? 0 : 1;
}
