#include "sabrith/skin/skin_services.h"

#include "sabrith/byte_source.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace sabrith {

namespace {

std::string lowerCase(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool endsWithNoCase(const std::string& name, const std::string& ending) {
    return name.size() >= ending.size() &&
           lowerCase(name.substr(name.size() - ending.size())) == lowerCase(ending);
}

std::string withSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

} // namespace

std::string MemoryFiles::keyOf(const std::string& path) {
    return lowerCase(withSlashes(path));
}

void MemoryFiles::add(const std::string& path, std::vector<uint8_t> bytes) {
    const std::string key = keyOf(path);
    const auto found = index_.find(key);
    if (found != index_.end()) {
        files_[found->second].second = std::move(bytes);
        return;
    }
    index_[key] = files_.size();
    files_.emplace_back(path, std::move(bytes));
}

void MemoryFiles::add(const std::string& path, std::string_view text) {
    add(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::optional<std::vector<uint8_t>> MemoryFiles::readFile(const std::string& path) {
    const auto found = index_.find(keyOf(path));
    if (found == index_.end()) return std::nullopt;
    return files_[found->second].second;
}

std::vector<std::string> MemoryFiles::findFiles(const std::string& folder,
                                                const std::string& extension) {
    ++searches;
    std::string prefix = keyOf(folder);
    if (!prefix.empty() && prefix.back() != '/') prefix += '/';
    std::vector<std::string> names;
    for (const auto& [path, bytes] : files_) {
        const std::string key = keyOf(path);
        if (key.size() <= prefix.size() || key.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string name = withSlashes(path).substr(prefix.size());
        if (name.find('/') == std::string::npos && endsWithNoCase(name, extension))
            names.push_back(name);
    }
    return names;
}

std::optional<std::vector<uint8_t>> DiskFiles::readFile(const std::string& path) {
#ifdef _WIN32
    FileSource file(path);
#else
    FileSource file(withSlashes(path));
#endif
    if (!file.isOpen() || file.size() > (uint64_t(1) << 30)) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<std::size_t>(file.size()));
    if (!bytes.empty() && !file.read(bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
}

std::vector<std::string> DiskFiles::findFiles(const std::string& folder,
                                              const std::string& extension) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
#ifdef _WIN32
    const fs::path where(folder);
#else
    const fs::path where(withSlashes(folder));
#endif
    for (fs::directory_iterator it(where, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (endsWithNoCase(name, extension) && it->is_regular_file(error)) names.push_back(name);
    }
    return names;
}

} // namespace sabrith
