#pragma once

// Connects the input task's page hooks to the page broadcasts.
void ConnectInterfaceInput();
