#pragma once

// Which output the next DirectSoundCreate8 opens:
// - Default: the system's default device (whatever OpenAL Soft is set up
//   to use, for example ALSOFT_DRIVERS=null on a machine without sound);
// - Loopback: a device that mixes into memory only when asked
//   (PlatRenderSoundMix), so that tests can judge what would be heard;
// - None: no device opens, as on a machine without any sound output.
enum class PlatSoundBackendKind { Default, Loopback, None };

void PlatSetSoundBackendKind(PlatSoundBackendKind kind);

// Mixes the next `frames` frames of the newest open loopback device as
// interleaved stereo floats (left, right) into `samples`; false when no
// loopback device is open.
bool PlatRenderSoundMix(float* samples, unsigned frames);

// The output rate of the newest open device in Hz, 0 when none is open.
unsigned PlatGetSoundMixFrequency();

// Mutes every device while the application is not active, and lets it be
// heard again when it is.
void PlatSetSoundFocus(bool active);
