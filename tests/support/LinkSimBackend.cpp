#include "LinkSimBackend.h"

#if __has_include("SimEngine.h")

#include "KS_Globals.h"

CommError SimBackend::Open(const std::string&)
{
    ++opens;
    return CommError::None;
}

void SimBackend::Close()
{
    arrived_.clear();
    engine_.DropDtr(gDelayTicks);
}

bool SimBackend::Configure(const SerialSettings& settings)
{
    engine_.SetHostSettings(FormatSerialSettings(settings));
    return true;
}

bool SimBackend::Read(std::string& into, std::size_t max)
{
    arrived_ += engine_.Transmit(gDelayTicks);
    const std::size_t take = std::min(max, arrived_.size());
    into.append(arrived_, 0, take);
    arrived_.erase(0, take);
    return true;
}

long SimBackend::Write(std::string_view bytes)
{
    engine_.Receive(bytes, gDelayTicks);
    return static_cast<long>(bytes.size());
}

void SimBackend::DiscardInput()
{
    engine_.Transmit(gDelayTicks);
    arrived_.clear();
}

#endif
