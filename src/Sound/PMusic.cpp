#include "Sound/PMusic.h"

#include "Core/CallRecorder.h"

CPMusic* g_Music = nullptr;

CPMusic::CPMusic() {
    g_Music = this;
    RecordCall("CPMusic()");
}

CPMusic::~CPMusic() {
    RecordCall("~CPMusic()");
    if (g_Music == this)
        g_Music = nullptr;
}
