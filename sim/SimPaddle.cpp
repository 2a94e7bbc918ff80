#include "SimDevices.h"

namespace sim {

PaddleDevice::PaddleDevice()
    : Device("paddle")
{
    SetNeedsButton(true);
    Define({"V", "PDL-1 Ver.2.10 (Mar 2026)", ""});
    Define({"M", "0", "[0-3]"});
    for (const char* slot : {"C1", "C2", "C3", "C4"})
        Define({slot, "0000000", R"(\d{7})"});
}

} // namespace sim
