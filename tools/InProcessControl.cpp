// The command-line host's control: made in this process, from the system's
// own code.
#include "control/TesselAdapterCtrl.h"
#include "tools/ControlDriver.h"

namespace tessel {

ControlDriver::ControlDriver() { control_.Attach(new CTesselAdapterCtrl); }

}  // namespace tessel
