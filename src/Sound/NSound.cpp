#include "Sound/NSound.h"

#include "Core/CallRecorder.h"

int CNSound::Play(int priority, int flags) {
    RecordCall("CNSound::Play " + file + " " + std::to_string(priority) + " " + std::to_string(flags));
    playing = true;
    looping = flags == 1;
    return 0;
}

void CNSound::Stop() {
    RecordCall("CNSound::Stop " + file);
    playing = false;
}

void CNSound::Rewind() {
    RecordCall("CNSound::Rewind " + file);
}
