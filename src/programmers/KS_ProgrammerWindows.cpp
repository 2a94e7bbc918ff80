#include "KS_ProgrammerWindows.h"

#include "KS_GEN_ClockProgrammer.h"
#include "KS_GEN_CustomAlertsProgrammer.h"
#include "KS_GEN_PaddleProgrammer.h"
#include "KS_WindowRegistry.h"

void RegisterProgrammerWindows()
{
    RegisterWindow(FormName::PaddleProgrammer, [](QWidget* owner) { return new KS_GEN_PaddleProgrammer(owner); });
    RegisterWindow(FormName::ClockProgrammer, [](QWidget* owner) { return new KS_GEN_ClockProgrammer(owner); });
    RegisterWindow(FormName::CustomAlertsProgrammer,
                   [](QWidget* owner) { return new KS_GEN_CustomAlertsProgrammer(owner); });
}
