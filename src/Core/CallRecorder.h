#pragma once

#include <functional>
#include <set>
#include <string>

// Subsystems report their creation, destruction and start-up calls here, so
// that the order in which the application drives them can be checked. A test
// can also name calls that are to fail.

using CallRecorder = std::function<void(const std::string& call)>;

// An empty recorder drops the calls.
void SetCallRecorder(CallRecorder recorder);
void SetRefusedCalls(std::set<std::string> calls);

void RecordCall(const std::string& call);
bool IsCallRefused(const std::string& call);
