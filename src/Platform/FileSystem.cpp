#include "Platform/FileSystem.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
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

bool IsRegular(int fd) {
    struct stat info;
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// O_NONBLOCK keeps a named pipe without a reader from blocking the open;
// O_NOFOLLOW refuses a symbolic link (ELOOP).
int OpenForTruncation(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
}

// The file a chain of symbolic links ends at (the path itself when it is no
// link); a link that dangles names the file it would create. Relative links
// resolve against the folder of the link.
std::string FollowLinks(std::string path) {
    constexpr int kMaxLinks = 40;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::vector<char> link(PATH_MAX + 1);
        const ssize_t length = ::readlink(path.c_str(), link.data(), PATH_MAX);
        if (length <= 0)
            return path;
        const std::string next(link.data(), static_cast<std::size_t>(length));
        const std::size_t slash = path.rfind('/');
        path = next.front() == '/' || slash == std::string::npos ? next : path.substr(0, slash + 1) + next;
    }
    return path;
}

// Gives the new file the old one's permission bits and, where the process
// may, its owner and group.
bool KeepModeAndOwner(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Only the superuser may give a file away; the mode still holds.
    }
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// True for the "<pid>-<attempt>" ending of a temporary file whose writer is
// no longer running (it was killed mid-save).
bool IsStaleTemporarySuffix(std::string_view suffix) {
    const std::size_t dash = suffix.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == suffix.size())
        return false;
    const auto allDigits = [](std::string_view digits) {
        return digits.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (!allDigits(suffix.substr(0, dash)) || !allDigits(suffix.substr(dash + 1)) || dash > 9)
        return false;
    const pid_t pid = static_cast<pid_t>(std::stol(std::string(suffix.substr(0, dash))));
    return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
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

bool PlatCreateFolders(std::string_view path) {
    std::error_code error;
    const std::filesystem::path folder = PlatResolvePath(path);
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

PlatFile PlatOpenFileForReading(std::string_view path) {
    // Without O_NONBLOCK, opening a named pipe waits for a writer forever.
    const int fd = ::open(PlatResolvePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    PlatFile file;
    if (IsRegular(fd) && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0)
        file.reset(::fdopen(fd, "rb"));
    if (!file)
        ::close(fd);
    return file;
}

bool PlatIsRegularFile(std::string_view path) {
    struct stat info;
    return ::stat(PlatResolvePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

PlatFile PlatCreateLogFile(std::string_view path) {
    const std::string target = PlatResolvePath(path);
    // A link is not followed (it could point at any file of the player's);
    // it is replaced by a file of our own.
    int fd = OpenForTruncation(target);
    if (fd < 0 && errno == ELOOP && ::unlink(target.c_str()) == 0)
        fd = OpenForTruncation(target);
    if (fd < 0)
        return nullptr;
    PlatFile file;
    if (IsRegular(fd) && ::ftruncate(fd, 0) == 0)
        file.reset(::fdopen(fd, "w"));
    if (!file)
        ::close(fd);
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
    const std::string target = FollowLinks(PlatResolvePath(path));
    struct stat old;
    const bool hasOld = ::stat(target.c_str(), &old) == 0;
    if (hasOld && S_ISREG(old.st_mode) && (old.st_mode & S_IWUSR) == 0) {
        errno = EACCES;
        return false;
    }
    std::string tempPath;
    const int fd = CreateTemporaryBeside(target, tempPath);
    if (fd < 0)
        return false;
    bool ok = !hasOld || KeepModeAndOwner(fd, old);
    ok = ok && WriteAll(fd, static_cast<const char*>(data), size);
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        const int error = errno;
        ::unlink(tempPath.c_str());
        errno = error;
    }
    return ok;
}

bool PlatMoveFile(std::string_view from, std::string_view to) {
    return ::rename(PlatResolvePath(from).c_str(), PlatResolvePath(to).c_str()) == 0;
}

void PlatRemoveStaleTemporaries(std::string_view path) {
    const std::string target = FollowLinks(PlatResolvePath(path));
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
    const std::string prefix = (slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.starts_with(prefix) && IsStaleTemporarySuffix(name.substr(prefix.size())))
            stale.push_back(folder + "/" + std::string(name));
    }
    ::closedir(dir);
    for (const std::string& name : stale)
        ::unlink(name.c_str());
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
