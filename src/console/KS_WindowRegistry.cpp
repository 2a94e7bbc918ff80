#include "KS_WindowRegistry.h"

#include <map>

namespace {
std::map<std::string, WindowFactory, std::less<>>& factories()
{
    static std::map<std::string, WindowFactory, std::less<>> registered;
    return registered;
}
} // namespace

void RegisterWindow(std::string_view formName, WindowFactory factory)
{
    if (factory)
        factories()[std::string(formName)] = std::move(factory);
    else if (auto found = factories().find(formName); found != factories().end())
        factories().erase(found);
}

bool IsWindowRegistered(std::string_view formName) { return factories().find(formName) != factories().end(); }

QWidget* CreateRegisteredWindow(std::string_view formName, QWidget* owner)
{
    const auto found = factories().find(formName);
    return found == factories().end() ? nullptr : found->second(owner);
}
