// testhost's subcommands. Each returns the process exit code: 0 when the
// plug-in kept the host contract, 1 when it broke it, 2 for a usage error.
#pragma once

namespace testhost {

int runInfo(int argc, char** argv);
int runPlay(int argc, char** argv);
int runIdle(int argc, char** argv);
int runVis(int argc, char** argv);
// which: "config", "about" or "details".
int runDialog(const char* which, int argc, char** argv);

// Loads a plug-in library; prints the reason to stderr and returns null on failure.
void* loadPlugin(const char* path);

} // namespace testhost
