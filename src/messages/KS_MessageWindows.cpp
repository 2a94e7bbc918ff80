#include "KS_MessageWindows.h"

#include "KS_WindowRegistry.h"

void RegisterMessageWindows()
{
}
