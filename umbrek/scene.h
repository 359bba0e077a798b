// Umbrek's scene: what the Win32 shell calls between the host's module
// operations. The shell owns the settings file, the window class, the key
// window and the message boxes' owner; the scene owns the engine, the board,
// the data library and everything loaded from it, from startScene to
// stopScene. Portable: natively it runs against the headless board.
//
// Use (one scene per process, on the host's visualization thread):
//   Settings s = ...read from the ini file...;   clampSettings(s);
//   SceneStart start{pluginPath, s, seed, glideWindow, messageBox};
//   if (startScene(start) != 0) { ...undo the window and class, return 1... }
//   each frame: renderSceneFrame(spectrumRow0, waveformRow0);
//   'S' key:    saveScreenshot();
//   stopScene(); ...restore folder and control word, write sceneSettings()...
#pragma once

#include "umbrek/effect_scheduler.h"
#include "umbrek/settings.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace umbrek {

// The data library the scene reads everything from, in the plug-in's folder.
constexpr char libraryFileName[] = "zephrin.dat";
constexpr int screenWidth = 640, screenHeight = 480;

struct SceneStart {
    // The plug-in's own file: its folder becomes current from start to stop
    // (the library and the screenshots lie there). None keeps the folder.
    const char* pluginPath = nullptr;
    Settings settings;              // clamped again at start
    std::uint32_t randomSeed = 1;   // the shell passes the time, tests a constant
    std::uintptr_t glideWindow = 0; // handed to the board as its owner window
    // Shows an engine failure ("Cannot set video mode", "cannot open zephrin
    // file", ...) with its caption; none shows nothing.
    void (*messageBox)(const char* text, const char* caption) = nullptr;
    // A library held in memory instead of the file (tests, benchmark, fuzz);
    // the bytes must outlive the start.
    const std::uint8_t* libraryBytes = nullptr;
    std::size_t librarySize = 0;
};

// Starts the engine, the board and the scene. 0 on success. 1 on failure,
// after the failure's message box and after releasing everything that was
// made (nothing of the scene, engine or board is left).
int startScene(const SceneStart& start);

// One frame from spectrum row 0 (576 bytes; none reads as silence); the
// waveform is not used. Returns 0. A call while a frame is being drawn (re-
// entry) returns 0 at once; a frame abandoned by a fatal error leaves the
// next one free to run.
int renderSceneFrame(const std::uint8_t* spectrumRow0, const std::int8_t* waveformRow0);

// Frees everything startScene made and resets the engine's caches, so that
// the next start begins afresh. Harmless when no scene runs.
void stopScene();

bool sceneRunning();

// The settings in force (clamped), for the shell to write at stop.
const Settings& sceneSettings();

// The folder that was current when the scene started (the host's), which the
// shell makes current again after stopScene.
std::string sceneHostFolder();

// Writes the picture as "screen%i.tga" under the first free number in the
// current folder. Returns the number, or 0 when the picture could not be read
// or the file not written (skipped without a message).
int saveScreenshot();

// The running scene's effect slots, for tests and the benchmark to hold a
// mix of effects still.
EffectSchedule& sceneEffects();

} // namespace umbrek
