#include "cli/interrupts.h"

#include <csignal>

#include <atomic>

#include "timetable/timeTable.h"

namespace {

volatile std::sig_atomic_t received = 0;
std::atomic<exportProgress*> activeExport{nullptr};
static_assert(std::atomic<exportProgress*>::is_always_lock_free &&
                  std::atomic<bool>::is_always_lock_free,
              "the handler needs lock-free atomics");

void onInterrupt(int signal)
{
    received = signal;
    if (exportProgress* progress = activeExport.load())
        progress->cancelled = true;
}

}  // namespace

void installInterruptHandlers()
{
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous;
        // A signal ignored by the caller (nohup) stays ignored.
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
}

void setInterruptibleExport(exportProgress* progress)
{
    activeExport.store(progress);
    if (progress && received != 0)
        progress->cancelled = true;
}

int receivedInterrupt()
{
    return received;
}

void endByReceivedInterrupt()
{
    const int signal = received;
    if (signal == 0)
        return;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
