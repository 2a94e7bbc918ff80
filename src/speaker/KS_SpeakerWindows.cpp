#include "KS_SpeakerWindows.h"

#include "KS_WindowRegistry.h"

void RegisterSpeakerWindows()
{
}
