#pragma once
// Dial-up link: a Hayes modem on the encoder's port. The receiver classifies
// the modem's numeric results (HandleEncoderLine) until a call is up; from then
// on the encoder's lines pass through as on a serial link.

#include <string_view>

// Resets the modem, switches it to numeric results, dials, and waits up to a
// minute for the call. True when connected; a failed call is hung up. A
// modem that answers nothing is reported as such, never as ready.
bool DialModem(std::string_view phone);

// Ends the call and reopens the port so the modem starts clean; the status
// line says "Modem is Ready." only when the modem acknowledged the hang-up.
void HangUpModem();
