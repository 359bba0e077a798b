// A small library with every member the scene opens, for the scene's native
// tests and its benchmark: our own geometry and images (logo quad, tube rings,
// flares as radial ramps, a black overlay image). Tests change or drop
// members to make the failures they need.
#pragma once

#include "umbrek/vastrel/tests/library_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace umbrek::test {

std::vector<LibraryEntry> sceneMembers();

// The member stored as NAME (upper case, as the library stores it); throws
// when there is none.
LibraryEntry& sceneMember(std::vector<LibraryEntry>& members, const std::string& name);
void dropSceneMember(std::vector<LibraryEntry>& members, const std::string& name);

} // namespace umbrek::test
