// Child libraries and a settings section in memory, for the multiplexer's
// native tests and benchmark: each fake library counts its references and
// the calls its modules get, and whether its rows were written.
#pragma once

#include "morsk/multiplexer.h"

#include <array>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace morsk::fake {

constexpr int maxLibraries = 32;
constexpr int maxModules = 4;
constexpr unsigned char sentinel = 0xA5;

struct Library {
    // what it does
    int modules = 1;
    int startResult = 0;
    int stopAfter = 0; // renderFrame returns 1 on this call
    int spectrumChannels = 2, waveformChannels = 2, latency = 25, delay = 25;
    const char* headerName = "Fake visualization";
    bool hasGetter = true, nullHeader = false;
    std::function<void()> duringStart;
    bool keepCalls = true; // off: rendering costs the child nothing
    // what happened
    int refs = 0, starts = 0, renders = 0, stops = 0;
    bool spectrumWritten = false, waveformWritten = false;
    std::vector<std::string> calls;

    VisHeader header{};
    VisModule records[maxModules]{};
};

inline Library* libraries[maxLibraries];

inline Library* owner(VisModule* m, int* index = nullptr) {
    for (Library* lib : libraries)
        if (lib && m >= lib->records && m < lib->records + maxModules) {
            if (index) *index = int(m - lib->records);
            return lib;
        }
    return nullptr;
}

inline void noteRows(Library& lib, VisModule* m) {
    auto written = [](const void* rows, size_t n) {
        const auto* p = static_cast<const unsigned char*>(rows);
        for (size_t i = 0; i < n; ++i)
            if (p[i] != sentinel) return true;
        return false;
    };
    lib.spectrumWritten = written(m->spectrumRows, sizeof m->spectrumRows);
    lib.waveformWritten = written(m->waveformRows, sizeof m->waveformRows);
    std::memset(m->spectrumRows, sentinel, sizeof m->spectrumRows);
    std::memset(m->waveformRows, sentinel, sizeof m->waveformRows);
}

inline int JK_CDECL startModule(VisModule* m) {
    int i = 0;
    Library& lib = *owner(m, &i);
    ++lib.starts;
    lib.calls.push_back("start " + std::to_string(i));
    noteRows(lib, m);
    if (lib.duringStart) lib.duringStart();
    return lib.startResult;
}

inline int JK_CDECL renderFrame(VisModule* m) {
    Library& lib = *owner(m);
    ++lib.renders;
    if (lib.keepCalls) {
        lib.calls.push_back("render");
        noteRows(lib, m);
    }
    return lib.stopAfter && lib.renders >= lib.stopAfter ? 1 : 0;
}

inline void JK_CDECL stopModule(VisModule* m) {
    Library& lib = *owner(m);
    ++lib.stops;
    lib.calls.push_back("stop");
}

template <int K>
VisModule* JK_CDECL moduleByIndex(int index) {
    Library& lib = *libraries[K];
    return index >= 0 && index < lib.modules ? &lib.records[index] : nullptr;
}

template <int K>
VisHeader* JK_CDECL getHeader() {
    Library& lib = *libraries[K];
    return lib.nullHeader ? nullptr : &lib.header;
}

using ModuleByIndex = VisModule*(JK_CDECL*)(int);

template <int... K>
constexpr std::array<JukoraVisGetHeader, sizeof...(K)>
makeGetters(std::integer_sequence<int, K...>) {
    return {getHeader<K>...};
}

template <int... K>
constexpr std::array<ModuleByIndex, sizeof...(K)> makeByIndex(std::integer_sequence<int, K...>) {
    return {moduleByIndex<K>...};
}

inline constexpr auto getters = makeGetters(std::make_integer_sequence<int, maxLibraries>{});
inline constexpr auto byIndex = makeByIndex(std::make_integer_sequence<int, maxLibraries>{});

// Files by path; a path that names no library does not load.
class Loader : public ChildLoader {
public:
    ~Loader() override {
        for (Library*& lib : libraries) lib = nullptr;
    }
    // Puts a library at path; the multiplexer itself is "self".
    Library& add(const std::string& path) {
        int k = int(files_.size());
        Library& lib = *owned_.emplace_back(new Library);
        libraries[k] = &lib;
        lib.header = {visAbiVersion, lib.headerName, byIndex[size_t(k)]};
        for (VisModule& m : lib.records) {
            m.startModule = startModule;
            m.renderFrame = renderFrame;
            m.stopModule = stopModule;
            std::memset(m.spectrumRows, sentinel, sizeof m.spectrumRows);
            std::memset(m.waveformRows, sentinel, sizeof m.waveformRows);
        }
        files_[path] = k;
        return lib;
    }
    void* self = nullptr;

    // A library's records start from its settings whenever it is loaded anew,
    // as a real library's static records do.
    void* LoadLib(const std::string& path) override {
        auto it = files_.find(path);
        if (it == files_.end()) return nullptr;
        Library& lib = *libraries[it->second];
        if (lib.refs++ == 0) {
            lib.header.displayName = lib.headerName;
            for (VisModule& m : lib.records) {
                m.frameLatencyMs = lib.latency;
                m.frameDelayMs = lib.delay;
                m.spectrumChannels = lib.spectrumChannels;
                m.waveformChannels = lib.waveformChannels;
            }
        }
        return &lib;
    }
    JukoraVisGetHeader FindGetHeader(void* lib) override {
        for (auto& [path, k] : files_)
            if (libraries[k] == lib) return libraries[k]->hasGetter ? getters[size_t(k)] : nullptr;
        return nullptr;
    }
    void FreeLib(void* lib) override {
        --static_cast<Library*>(lib)->refs;
        ++frees;
    }
    bool IsSelf(void* lib) override { return lib == self; }
    int frees = 0;

private:
    std::map<std::string, int> files_;
    std::vector<std::unique_ptr<Library>> owned_;
};

// A settings section in memory that remembers the order keys were written in.
class Store : public SettingsStore {
public:
    std::map<std::string, std::string> values;
    std::vector<std::pair<std::string, std::string>> writes;

    std::string ReadString(const std::string& key, const std::string& fallback) override {
        auto it = values.find(key);
        return it == values.end() ? fallback : it->second;
    }
    void WriteString(const std::string& key, const std::string& value) override {
        values[key] = value;
        writes.emplace_back(key, value);
    }
};

} // namespace morsk::fake
