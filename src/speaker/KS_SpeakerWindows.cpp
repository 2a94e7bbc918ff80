#include "KS_SpeakerWindows.h"

#include "KS_GEN_SpeakerProgrammer.h"
#include "KS_WindowRegistry.h"

void RegisterSpeakerWindows()
{
    RegisterWindow(FormName::SpeakerProgrammer, [](QWidget* owner) { return new KS_GEN_SpeakerProgrammer(owner); });
}
