#include "KS_MessageWindows.h"

#include "KS_MainForm.h"
#include "KS_PPM_MessagesSB.h"
#include "KS_WindowRegistry.h"

void RegisterMessageWindows()
{
    RegisterWindow(FormName::MessagesSB,
                   [](QWidget* owner) { return new KS_PPM_MessagesSB(qobject_cast<KS_MainForm*>(owner)); });
}
