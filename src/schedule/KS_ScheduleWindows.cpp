#include "KS_ScheduleWindows.h"

#include "KS_GEN_ScheduledPaging.h"
#include "KS_GEN_ToneSchedule.h"
#include "KS_GEN_ToneScheduleCalendar.h"
#include "KS_WindowRegistry.h"

void RegisterScheduleWindows()
{
    RegisterWindow(FormName::ScheduledPaging, [](QWidget* owner) { return new KS_GEN_ScheduledPaging(owner); });
    RegisterWindow(FormName::ToneSchedule, [](QWidget* owner) -> QWidget* {
        auto* window = new KS_GEN_ToneSchedule(owner);
        window->Form_Load();
        return window;
    });
    RegisterWindow(FormName::ToneScheduleCalendar, [](QWidget* owner) -> QWidget* {
        auto* window = new KS_GEN_ToneScheduleCalendar(owner);
        window->Form_Load();
        return window;
    });
}
