#include "Core/CallRecorder.h"

namespace {

CallRecorder g_Recorder;
std::set<std::string> g_RefusedCalls;

} // namespace

void SetCallRecorder(CallRecorder recorder) {
    g_Recorder = std::move(recorder);
}

void SetRefusedCalls(std::set<std::string> calls) {
    g_RefusedCalls = std::move(calls);
}

void RecordCall(const std::string& call) {
    if (g_Recorder)
        g_Recorder(call);
}

bool IsCallRefused(const std::string& call) {
    return g_RefusedCalls.count(call) != 0;
}
