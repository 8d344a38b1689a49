#include "cli/StopCleanup.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <mutex>
#include <pthread.h>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/support/PartialFile.h"

namespace varlin::cli {

namespace {

std::mutex listLock;
std::vector<std::string> directories;

sigset_t StopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signal);
    return signals;
}

// The stop signals are blocked in every thread but taken here, so the
// clean-up runs as ordinary code rather than inside a signal handler.
void WaitForStop()
{
    const sigset_t signals = StopSignals();
    int signal = 0;
    if (sigwait(&signals, &signal) != 0) return;
    {
        const std::lock_guard<std::mutex> guard(listLock);
        RemoveTemporaryFiles();
        for (const std::string& directory : directories) {
            std::error_code error;
            std::filesystem::remove_all(directory, error);
        }
    }
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
}

}  // namespace

void InstallStopCleanup()
{
    const sigset_t signals = StopSignals();
    if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0) return;
    std::thread(WaitForStop).detach();
}

void RemoveOnStop(const std::string& directory)
{
    const std::lock_guard<std::mutex> guard(listLock);
    directories.push_back(directory);
}

void KeepOnStop(const std::string& directory)
{
    const std::lock_guard<std::mutex> guard(listLock);
    directories.erase(std::remove(directories.begin(), directories.end(), directory), directories.end());
}

}  // namespace varlin::cli
