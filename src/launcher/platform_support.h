#pragma once
// Ways of running that exist on one platform only. Where the configuration
// asks for one that this platform lacks, the start stops with a message
// instead of quietly running the application some other way.

namespace tarn {

class Launcher;

// Called once the settings are read. False, with the message written, when
// a configured way of running is not available here.
bool supportsConfiguredMode(Launcher& launcher);

}  // namespace tarn
