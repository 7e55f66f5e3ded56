#include "cli/Interrupt.h"

#include <signal.h>

namespace ardvel::cli {

namespace {

std::atomic<bool> g_interrupted{false};
struct sigaction g_previous {};

extern "C" void RaiseInterruptFlag(int)
{
    g_interrupted.store(true, std::memory_order_relaxed);
}

}  // namespace

InterruptFlag::InterruptFlag()
{
    g_interrupted.store(false, std::memory_order_relaxed);
    struct sigaction action {};
    action.sa_handler = RaiseInterruptFlag;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    installed_ = ::sigaction(SIGINT, &action, &g_previous) == 0;
}

InterruptFlag::~InterruptFlag()
{
    if (installed_) ::sigaction(SIGINT, &g_previous, nullptr);
}

const std::atomic<bool>* InterruptFlag::Flag() const noexcept
{
    return &g_interrupted;
}

bool InterruptFlag::Raised() const noexcept
{
    return g_interrupted.load(std::memory_order_relaxed);
}

}  // namespace ardvel::cli
