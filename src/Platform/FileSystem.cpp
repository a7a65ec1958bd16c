#include "Platform/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool Exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

std::string Join(const std::string& directory, std::string_view name) {
    if (directory.empty())
        return std::string(name);
    std::string joined = directory;
    if (joined.back() != '/')
        joined += '/';
    joined += name;
    return joined;
}

// The entry of the directory whose name equals `name` but for letter case;
// empty when there is none.
std::string FindNoCase(const std::string& directory, std::string_view name) {
    DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
    if (!dir)
        return {};
    std::string best;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view candidate = entry->d_name;
        if (PlatNamesEqualNoCase(candidate, name) && (best.empty() || candidate < best))
            best = candidate;
    }
    ::closedir(dir);
    return best;
}

bool WriteAll(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Creates a new file beside `path` that no one else uses; -1 on failure.
int CreateTemporaryBeside(const std::string& path, std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

char PlatFoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool PlatNamesEqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (PlatFoldCase(a[i]) != PlatFoldCase(b[i]))
            return false;
    }
    return true;
}

std::string PlatResolvePath(std::string_view path) {
    std::string resolved = !path.empty() && IsSeparator(path.front()) ? "/" : "";
    bool onDisk = true;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        const std::string_view name = path.substr(start, end - start);
        start = end + 1;
        if (name.empty())
            continue;
        std::string next = Join(resolved, name);
        if (onDisk && name != "." && name != ".." && !Exists(next)) {
            const std::string match = FindNoCase(resolved, name);
            if (match.empty())
                onDisk = false;
            else
                next = Join(resolved, match);
        }
        resolved = std::move(next);
    }
    return resolved;
}

PlatFile PlatOpenFileForReading(std::string_view path) {
    PlatFile file(std::fopen(PlatResolvePath(path).c_str(), "rb"));
    struct stat info;
    if (file && (::fstat(::fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)))
        file.reset();
    return file;
}

bool PlatFileLength(std::FILE* file, int64_t& length) {
    if (::fseeko(file, 0, SEEK_END) != 0)
        return false;
    length = ::ftello(file);
    return length >= 0 && ::fseeko(file, 0, SEEK_SET) == 0;
}

bool PlatReadAt(std::FILE* file, int64_t offset, std::size_t size, std::vector<uint8_t>& out) {
    out.clear();
    if (::fseeko(file, offset, SEEK_SET) != 0)
        return false;
    out.resize(size);
    return std::fread(out.data(), 1, size, file) == size;
}

bool PlatReplaceFile(std::string_view path, const void* data, std::size_t size) {
    const std::string target = PlatResolvePath(path);
    std::string tempPath;
    const int fd = CreateTemporaryBeside(target, tempPath);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, static_cast<const char*>(data), size);
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(tempPath.c_str());
    return ok;
}

std::string PlatFileUrl(std::string_view path) {
    std::string absolute(path);
    if (absolute.empty() || absolute.front() != '/') {
        char* directory = getcwd(nullptr, 0);
        absolute = std::string(directory ? directory : "") + "/" + absolute;
        std::free(directory);
    }
    static const char* const kHex = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char c : absolute) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           (c != '\0' && std::strchr("-._~/", c));
        if (plain)
            url += c;
        else
            url += {'%', kHex[byte >> 4], kHex[byte & 15]};
    }
    return url;
}
