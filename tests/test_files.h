// Files that tests and test tools make and read. Every open is checked and a
// failure throws "PATH: REASON", which fails the running test with both; every
// file a test makes lives in the test program's own folder (TEST_TMPDIR, which
// ctest gives each test), never in a place that tests running beside it share.
#pragma once

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace jk::test {

// Throws "WHAT PATH: REASON" with the reason of the call that just failed.
[[noreturn]] inline void failWith(const std::string& what, const std::string& path) {
    const int error = errno;
    throw std::runtime_error(what + " " + path + ": " +
                             (error ? std::strerror(error) : "unknown reason"));
}

inline int processId() {
#ifdef _WIN32
    return _getpid();
#else
    return int(getpid());
#endif
}

// The test's own folder, ending in a separator. Run by hand, without
// TEST_TMPDIR, a test gets a folder of its own process below the system's.
inline const std::string& tempFolder() {
    static const std::string folder = [] {
        namespace fs = std::filesystem;
        const char* given = std::getenv("TEST_TMPDIR");
        std::error_code error;
        static fs::path own;
        if (!given || !*given) {
            own = fs::temp_directory_path(error) / ("jk-test-" + std::to_string(processId()));
            std::atexit([] {
                std::error_code ignored;
                fs::remove_all(own, ignored);
            });
        }
        const fs::path path = own.empty() ? fs::path(given) : own;
        fs::create_directories(path, error);
        if (!fs::is_directory(path))
            throw std::runtime_error("cannot make the test folder " + path.string() + ": " +
                                     error.message());
        std::string s = path.string();
        if (s.back() != '/' && s.back() != '\\') s += char(fs::path::preferred_separator);
        return s;
    }();
    return folder;
}

inline std::string tempPath(const std::string& name) {
    return tempFolder() + name;
}

// Opens PATH like fopen, throwing with the path and the reason when it cannot.
inline std::FILE* openFile(const std::string& path, const char* mode) {
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), mode);
    if (!f) failWith("cannot open", path);
    return f;
}

inline void writeFile(const std::string& path, const void* data, size_t size) {
    std::FILE* f = openFile(path, "wb");
    const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !written) failWith("cannot write", path);
}

template <class Bytes>
void writeFile(const std::string& path, const Bytes& bytes) {
    writeFile(path, bytes.data(), bytes.size() * sizeof(bytes[0]));
}

inline std::vector<uint8_t> readFile(const std::string& path) {
    std::FILE* f = openFile(path, "rb");
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) failWith("cannot read", path);
    return bytes;
}

// A stream for code that takes a FILE*: in memory where the C library offers
// that, else a file of its own in the test's folder, removed when the stream
// closes. Over some bytes to read, or empty to write into and read back.
class ByteStream {
public:
    explicit ByteStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) { open(true); }
    // An empty stream that takes up to CAPACITY bytes.
    static ByteStream forWriting(size_t capacity) { return ByteStream(capacity); }
    ~ByteStream() {
        std::fclose(file_);
        if (!path_.empty()) std::remove(path_.c_str());
    }
    ByteStream(const ByteStream&) = delete;
    ByteStream& operator=(const ByteStream&) = delete;

    std::FILE* get() const { return file_; }
    operator std::FILE*() const { return file_; }

    // Everything in the stream, read from its start.
    std::string contents() const {
        std::fflush(file_);
        std::rewind(file_);
        std::string text;
        char chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, file_)) > 0) text.append(chunk, n);
        return text;
    }

private:
    explicit ByteStream(size_t capacity) : bytes_(capacity) { open(false); }

    void open(bool toRead) {
#ifdef _WIN32
        static std::atomic<unsigned> serial{0};
        path_ = tempPath("stream-" + std::to_string(processId()) + "-" + std::to_string(serial++) +
                         ".bin");
        file_ = openFile(path_, "w+b");
        if (toRead && !bytes_.empty() &&
            std::fwrite(bytes_.data(), 1, bytes_.size(), file_) != bytes_.size()) {
            std::fclose(file_);
            failWith("cannot write", path_);
        }
        std::rewind(file_);
#else
        errno = 0;
        // fmemopen takes no null buffer: give it one of at least a byte.
        if (bytes_.empty()) bytes_.reserve(1);
        file_ = fmemopen(bytes_.data(), bytes_.size(), toRead ? "rb" : "w+b");
        if (!file_) failWith("cannot open", "a stream in memory");
#endif
    }

    std::vector<uint8_t> bytes_;
    std::string path_;
    std::FILE* file_ = nullptr;
};

// Runs a shell command and returns what it wrote to standard output. Throws
// when it cannot start; an exit status other than 0 throws too, unless the
// caller takes the status to judge it.
inline std::string commandOutput(const std::string& command, int* status = nullptr) {
#ifdef _WIN32
    std::FILE* pipe = _popen(command.c_str(), "r");
#else
    std::FILE* pipe = popen(command.c_str(), "r");
#endif
    if (!pipe) failWith("cannot start", command);
    std::string out;
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
#ifdef _WIN32
    int code = _pclose(pipe);
#else
    int code = pclose(pipe);
    if (code != -1 && WIFEXITED(code)) code = WEXITSTATUS(code);
#endif
    if (code == 127 || code == -1)
        throw std::runtime_error("cannot start " + command + " (status " + std::to_string(code) +
                                 ")");
    if (status)
        *status = code;
    else if (code != 0)
        throw std::runtime_error(command + " failed with status " + std::to_string(code) + ":\n" +
                                 out.substr(out.size() > 2000 ? out.size() - 2000 : 0));
    return out;
}

} // namespace jk::test
