#include "KS_GEN_DBProgrammer.h"
#include "KS_General.h"
#include "KS_MainForm.h"
#include "KS_MessageWindows.h"
#include "KS_ProgrammerWindows.h"
#include "KS_ScheduleWindows.h"
#include "KS_SpeakerWindows.h"
#include "KS_WindowRegistry.h"

int main(int argc, char** argv)
{
    // The windows the menus open by name; those of parts not yet in the program stay disabled.
    RegisterWindow(FormName::DBProgrammer, [](QWidget* owner) { return new KS_GEN_DBProgrammer(qobject_cast<KS_MainForm*>(owner)); });
    RegisterMessageWindows();
    RegisterScheduleWindows();
    RegisterProgrammerWindows();
    RegisterSpeakerWindows();
    return Main(argc, argv, [] { return new KS_MainForm; });
}
