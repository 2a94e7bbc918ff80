#include "KS_ScheduleWindows.h"

#include "KS_WindowRegistry.h"

void RegisterScheduleWindows()
{
}
