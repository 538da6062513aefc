#include "io/FileAccess.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Fail(std::string& error, const std::string& text) {
    error = text;
    return false;
}

std::string SystemReason() { return std::strerror(errno); }

struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) ::close(fd);
    }
};

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

// Follows symbolic links (up to a sane depth) to the path that is finally written.
bool ResolveLinks(const std::string& path, std::string& target, std::string& error) {
    namespace fs = std::filesystem;
    fs::path p = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = p.string();
            return true;
        }
        std::error_code ec;
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) return Fail(error, "cannot follow the link: " + ec.message());
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return Fail(error, "too many levels of links");
}

bool WriteAll(int fd, const uint8_t* bytes, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;  // a write that takes nothing will never finish
        if (n <= 0) return false;
        bytes += n;
        size -= size_t(n);
    }
    return true;
}

}  // namespace

bool ReadRegularFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out, std::string& error) {
    out.clear();
    // Non-blocking, so opening a FIFO returns at once and is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return Fail(error, "cannot open the file: " + SystemReason());
    FdCloser closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0) return Fail(error, "cannot examine the file: " + SystemReason());
    if (!S_ISREG(st.st_mode)) return Fail(error, std::string("it is ") + KindOf(st.st_mode) + ", not a file");
    if (uint64_t(st.st_size) > maxBytes)
        return Fail(error, "the file is larger than " + std::to_string(maxBytes >> 20) + " MiB");
    out.resize(size_t(st.st_size));
    size_t got = 0;
    // Read to the end, but never past the cap should the file grow meanwhile.
    for (;;) {
        if (got == out.size()) {
            if (out.size() > maxBytes) break;
            out.resize(std::min(maxBytes + 1, out.size() + 65536));
        }
        const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            out.clear();
            return Fail(error, "cannot read the file: " + SystemReason());
        }
        if (n == 0) break;
        got += size_t(n);
    }
    if (got > maxBytes) {
        out.clear();
        return Fail(error, "the file is larger than " + std::to_string(maxBytes >> 20) + " MiB");
    }
    out.resize(got);
    return true;
}

bool ReplaceableTarget(const std::string& path, std::string& target, std::string& error) {
    if (path.empty()) return Fail(error, "no file name given");
    if (!ResolveLinks(path, target, error)) return false;
    if (std::filesystem::path(target).filename().empty()) return Fail(error, "the name is a folder, not a file");
    struct stat st;
    if (::stat(target.c_str(), &st) != 0) {
        if (errno == ENOENT) return true;
        return Fail(error, "cannot examine the file: " + SystemReason());
    }
    if (!S_ISREG(st.st_mode)) return Fail(error, std::string("the target is ") + KindOf(st.st_mode));
    // No write permission for anyone counts as read-only even for the superuser.
    if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) return Fail(error, "the file is read-only");
    return true;
}

namespace {

// A name of our own beside the target: the process, a counter and the time,
// created exclusively so two running copies never share one.
int CreateTemp(const std::string& target, std::string& temp, std::string& error) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
               std::to_string(::time(nullptr) % 100000);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) {
            Fail(error, "cannot create a file in the folder: " + SystemReason());
            return -1;
        }
    }
    Fail(error, "cannot create a temporary file in the folder");
    return -1;
}

}  // namespace

bool CreateFileBeside(const std::string& target, std::string& temp, std::string& error) {
    const int fd = CreateTemp(target, temp, error);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool CommitReplacement(const std::string& temp, const std::string& target, std::string& error) {
    std::string reason;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) reason = "cannot reopen the written file: " + SystemReason();
    struct stat old;
    if (fd >= 0 && ::stat(target.c_str(), &old) == 0) {
        // The target may have changed since it was checked: still only a regular file is replaced.
        if (!S_ISREG(old.st_mode)) reason = std::string("the target is ") + KindOf(old.st_mode);
        // Same owner where we may, and the same permissions in any case.
        if (reason.empty() && ::fchown(fd, old.st_uid, old.st_gid) != 0) { /* only the owner's own group may be set */ }
        if (reason.empty() && ::fchmod(fd, old.st_mode & 07777) != 0) reason = "cannot keep the permissions";
    }
    if (fd >= 0 && reason.empty() && ::fsync(fd) != 0) reason = "cannot write the file to disk: " + SystemReason();
    if (fd >= 0 && ::close(fd) != 0 && reason.empty()) reason = "cannot write the file: " + SystemReason();
    if (reason.empty() && ::rename(temp.c_str(), target.c_str()) != 0)
        reason = "cannot replace the file: " + SystemReason();
    if (!reason.empty()) {
        ::unlink(temp.c_str());
        return Fail(error, reason);
    }
    // Make the rename itself durable.
    const std::string folder = std::filesystem::path(target).parent_path().string();
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool ReplaceFileContents(const std::string& path, const uint8_t* bytes, size_t size, std::string& error) {
    std::string target, temp;
    if (!ReplaceableTarget(path, target, error)) return false;
    const int fd = CreateTemp(target, temp, error);
    if (fd < 0) return false;
    std::string reason;
    if (!WriteAll(fd, bytes, size)) reason = "cannot write the file: " + SystemReason();
    if (::close(fd) != 0 && reason.empty()) reason = "cannot write the file: " + SystemReason();
    if (!reason.empty()) {
        ::unlink(temp.c_str());
        return Fail(error, reason);
    }
    return CommitReplacement(temp, target, error);
}

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}
