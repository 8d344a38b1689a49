// What a run leaves half-made when it is stopped from outside (SIGINT,
// SIGTERM, SIGHUP): its private working directories and the files not yet
// in their place are removed, and the run then ends as the signal would
// have ended it.
#pragma once

#include <string>

namespace varlin::cli {

// Set up first thing in main, before any other thread could start.
void InstallStopCleanup();

// A directory to remove should the run be stopped, and back off that list.
void RemoveOnStop(const std::string& directory);
void KeepOnStop(const std::string& directory);

}  // namespace varlin::cli
