#include "KS_ProgrammerWindows.h"

#include "KS_WindowRegistry.h"

void RegisterProgrammerWindows()
{
}
