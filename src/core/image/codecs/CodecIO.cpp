#include "core/image/codecs/CodecIO.h"

#include "core/image/codecs/CodecErrors.h"
#include "core/image/codecs/Codecs.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quiltara {

namespace {
// Smaller blocks come from malloc, which keeps and reuses them.
constexpr std::size_t kMappedFrom = std::size_t(8) << 20;

std::size_t MappedLength(std::size_t bytes) {
    const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}
} // namespace

// Large pictures get a mapping of their own: it comes zeroed from the system and goes
// back to it when freed. They are not marked for 2 MB pages: on the machines measured,
// the first 2 MB pages a process takes after another program freed much memory cost
// five times what 4 KB pages cost, which more than ate what they save.
void* AllocatePictureMemory(std::size_t bytes) {
    if (bytes < kMappedFrom) return std::malloc(bytes ? bytes : 1);
    void* m = ::mmap(nullptr, MappedLength(bytes), PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return m == MAP_FAILED ? nullptr : m;
}

void FreePictureMemory(void* p, std::size_t bytes) {
    if (bytes < kMappedFrom)
        std::free(p);
    else if (p)
        ::munmap(p, MappedLength(bytes));
}

bool PictureMemoryComesZeroed(std::size_t bytes) {
    return bytes >= kMappedFrom;
}

CSource::CSource(std::vector<std::uint8_t> bytes, std::string path)
    : m_owned(std::move(bytes)), m_path(std::move(path)) {
    m_data = m_owned.data();
    m_size = m_owned.size();
}

CSource::CSource(Pixels bytes, std::string path)
    : m_read(std::move(bytes)), m_path(std::move(path)) {
    m_data = m_read.data();
    m_size = m_read.size();
}

std::unique_ptr<CSource> OpenSource(const std::string& path, unsigned& code) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        code = kErrFileOpen;
        return nullptr;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    // Files over 2 GB are no pictures this program can hold.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
        std::uint64_t(info.st_size) > (std::uint64_t(1) << 31)) {
        code = kErrFileRead;
        return nullptr;
    }
    Pixels bytes;
    try {
        bytes.resize(std::size_t(info.st_size));
    } catch (const std::bad_alloc&) {
        code = kErrOutOfMemory;
        return nullptr;
    } catch (const std::length_error&) {
        code = kErrOutOfMemory;
        return nullptr;
    }
    // Whatever the file holds up to its size when opened; a file that shrinks meanwhile
    // gives what is there.
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            code = kErrFileRead;
            return nullptr;
        }
        if (n == 0) break;
        done += std::size_t(n);
    }
    bytes.resize(done);
    code = kErrNone;
    return std::make_unique<CSource>(std::move(bytes), path);
}

void ZeroedPixels(Pixels& pixels, std::size_t bytes) {
    Pixels fresh;
    fresh.resize(bytes); // new memory: a large block is zero already
    if (!PictureMemoryComesZeroed(bytes)) std::memset(fresh.data(), 0, bytes);
    pixels.swap(fresh);
}

void CloseSource(std::unique_ptr<CSource> source) {
    source.reset();
}

std::string ReadResult::Warning() const {
    if (!Partial()) return {};
    if (missingFirst < 0) return "the file ends early: the picture is incomplete";
    return "the file ends early: rows " + std::to_string(missingFirst + 1) + "\u2026" +
           std::to_string(missingLast + 1) + " are missing";
}

void ReadResult::MarkMissingFrom(int first) {
    MarkMissing(first, height - 1);
}

void ReadResult::MarkMissing(int first, int last) {
    first = std::max(first, 0), last = std::min(last, height - 1);
    if (first > last || width <= 0) return;
    missingFirst = first, missingLast = last, endsEarly = true;
    const std::size_t stride = pixels.size() / std::size_t(height);
    std::fill(pixels.begin() + std::ptrdiff_t(stride * std::size_t(first)),
              pixels.begin() + std::ptrdiff_t(stride * (std::size_t(last) + 1)), 0);
}

// ---------------------------------------------------------------- sink

CSink::~CSink() {
    if (m_fd >= 0) {
        ::close(m_fd);
        ::unlink(m_tempPath.c_str());
    }
}

namespace {

// A streaming sink passes its bytes on in blocks of this size: large enough for few
// system calls, small enough to stay in the cache.
constexpr std::size_t kSinkBlock = std::size_t(1) << 20;

bool WriteAllAt(int fd, const std::uint8_t* p, std::size_t left, std::uint64_t at) {
    while (left) {
        const ssize_t n = ::pwrite(fd, p, left, off_t(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n, left -= std::size_t(n), at += std::uint64_t(n);
    }
    return true;
}

} // namespace

bool CSink::Flush() {
    if (!WriteAllAt(m_fd, m_bytes.data(), m_bytes.size(), m_base)) return !(m_fileFailed = true);
    m_base += m_bytes.size();
    m_bytes.clear();
    return true;
}

bool CSink::Write(const void* data, std::size_t size) {
    if (!size) return true;
    const auto* p = static_cast<const std::uint8_t*>(data);
    // A writer that went back to mend bytes already passed on (TIFF's directory
    // offsets) writes those straight into the file.
    if (m_pos < m_base) {
        const std::size_t early = std::size_t(std::min<std::uint64_t>(size, m_base - m_pos));
        if (!WriteAllAt(m_fd, p, early, m_pos)) return !(m_fileFailed = true);
        p += early, size -= early, m_pos += early;
        if (!size) return true;
    }
    try {
        const std::size_t at = std::size_t(m_pos - m_base);
        const std::size_t end = at + size;
        if (at == m_bytes.size()) { // appending: no zero fill before the copy
            if (end > m_bytes.capacity()) m_bytes.reserve(std::max(end, m_bytes.capacity() * 2));
            m_bytes.insert(m_bytes.end(), p, p + size);
        } else {
            if (end > m_bytes.size()) {
                if (end > m_bytes.capacity())
                    m_bytes.reserve(std::max(end, m_bytes.capacity() * 2));
                m_bytes.resize(end);
            }
            std::memcpy(m_bytes.data() + at, p, size);
        }
        m_pos += size;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return !Streams() || m_bytes.size() < kSinkBlock || Flush();
}

bool CSink::Seek(std::uint64_t pos) {
    if (pos > Size()) {
        try {
            m_bytes.resize(std::size_t(pos - m_base));
        } catch (const std::bad_alloc&) {
            return false;
        } catch (const std::length_error&) {
            return false;
        }
    }
    m_pos = pos;
    return true;
}

void CSink::Reserve(std::size_t size) {
    try {
        m_bytes.reserve(Streams() ? std::min(size, 2 * kSinkBlock) : size);
    } catch (const std::bad_alloc&) {
    }
}

namespace {

// The file a path finally names: symbolic links are followed (also to a target that
// does not exist yet), so that saving writes the target and the link stays a link.
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::vector<char> target(std::size_t(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0 || std::size_t(n) >= target.size()) return path;
        std::string next(target.data(), std::size_t(n));
        if (next.empty()) return path;
        if (next[0] != '/') {
            const std::size_t slash = path.find_last_of('/');
            if (slash != std::string::npos) next = path.substr(0, slash + 1) + next;
        }
        path = std::move(next);
    }
    return path;
}

// A file larger than the process may write raises SIGXFSZ, whose default ends the
// program; ignored, the write fails with EFBIG and the save reports it.
void IgnoreFileSizeSignal() {
    static const bool ignored = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    (void)ignored;
}

bool WriteAll(int fd, const std::uint8_t* p, std::size_t left) {
    while (left) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n, left -= std::size_t(n);
    }
    return true;
}

} // namespace

std::unique_ptr<CSink> OpenSink(const std::string& path, unsigned& code) {
    IgnoreFileSizeSignal();
    auto sink = std::make_unique<CSink>();
    sink->m_path = FollowLinks(path);
    struct stat old {};
    const bool exists = ::stat(sink->m_path.c_str(), &old) == 0;
    if (exists) {
        // Never what cp would refuse: a file that may not be written (nobody may
        // write it, even when the superuser saves) or that is not a plain file.
        if (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 ||
            ::access(sink->m_path.c_str(), W_OK) != 0) {
            code = kErrFileOpen;
            return nullptr;
        }
    }
    // A file with other names (hard links) is written in place so that they all
    // see the new picture; so is one whose folder takes no new files. Otherwise a
    // temporary file beside it is renamed over it, so that a failed save leaves the
    // old file whole.
    int fd = -1;
    if (!exists || old.st_nlink <= 1) {
        std::vector<char> name(sink->m_path.begin(), sink->m_path.end());
        const char suffix[] = ".XXXXXX";
        name.insert(name.end(), suffix, suffix + sizeof suffix); // with the terminator
        fd = ::mkstemp(name.data());
        if (fd >= 0) sink->m_tempPath = name.data();
    }
    if (fd < 0) {
        if (!exists) {
            code = kErrFileOpen;
            return nullptr;
        }
        sink->m_direct = true;
        code = kErrNone;
        return sink;
    }
    // The new file gets the permissions (and, where allowed, the owner) the old one
    // had, or the usual ones.
    mode_t mode;
    if (exists) {
        mode = old.st_mode & 07777;
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Only the superuser may give files away; the permissions still hold.
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    sink->m_fd = fd;
    code = kErrNone;
    return sink;
}

CodecStatus CloseSink(std::unique_ptr<CSink> sink, bool commit) {
    if (!sink) return kErrNone;
    const std::vector<std::uint8_t>& bytes = sink->m_bytes;
    if (sink->m_direct) {
        // The whole picture is already encoded in memory; only now is the file
        // touched.
        if (!commit) return kErrNone;
        const int fd = ::open(sink->m_path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return kErrFileWrite;
        // Growing the file first (a hole, the old bytes untouched) meets a size limit
        // or quota before anything is overwritten.
        struct stat st {};
        const auto size = off_t(bytes.size());
        bool ok = ::fstat(fd, &st) == 0 && (st.st_size >= size || ::ftruncate(fd, size) == 0);
        ok = ok && WriteAll(fd, bytes.data(), bytes.size()) && ::ftruncate(fd, size) == 0;
        if (::close(fd) != 0) ok = false;
        return ok ? kErrNone : kErrFileWrite;
    }
    if (sink->m_fd < 0) return kErrNone; // a memory sink
    bool ok = commit && sink->Flush();
    const int fd = sink->m_fd;
    sink->m_fd = -1;
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(sink->m_tempPath.c_str(), sink->m_path.c_str()) != 0) ok = false;
    if (ok) return kErrNone;
    ::unlink(sink->m_tempPath.c_str());
    return commit ? kErrFileWrite : kErrNone;
}

unsigned SaveThroughSink(const std::string& path, const std::function<CodecStatus(CSink&)>& write) {
    unsigned opened = kErrNone;
    std::unique_ptr<CSink> sink = OpenSink(path, opened);
    if (!sink) return opened;
    CodecStatus written;
    try {
        written = write(*sink);
    } catch (const std::bad_alloc&) {
        written = kErrOutOfMemory;
    }
    if (sink->FileFailed()) written = kErrFileWrite;
    const CodecStatus closed = CloseSink(std::move(sink), written.Ok());
    return written.Ok() ? closed.Code() : written.Code();
}

// ---------------------------------------------------------------- limits

namespace {
std::atomic<std::uint64_t> g_pixelLimit{std::uint64_t(1) << 28};
}

void SetCodecPixelLimit(std::uint64_t maxPixels) {
    g_pixelLimit = maxPixels;
}
std::uint64_t CodecPixelLimit() {
    return g_pixelLimit;
}

CodecStatus AllocatePixels(Pixels& pixels, long long width, long long height, int channels,
                           unsigned badSizeCode) {
    pixels.clear();
    if (width <= 0 || height <= 0) return CodecStatus(badSizeCode);
    const std::uint64_t limit = g_pixelLimit;
    if (width > kMaxCodecDimension || height > kMaxCodecDimension ||
        std::uint64_t(width) * std::uint64_t(height) > limit) {
        return CodecStatus(
            kErrTooLarge,
            TooLargeText(std::uint64_t(width), std::uint64_t(height),
                         std::min<std::uint64_t>(limit, std::uint64_t(kMaxCodecDimension) *
                                                            std::uint64_t(kMaxCodecDimension))));
    }
    try {
        ZeroedPixels(pixels, std::size_t(width) * std::size_t(height) * std::size_t(channels));
    } catch (const std::bad_alloc&) {
        return kErrOutOfMemory;
    }
    return kErrNone;
}

CodecStatus CheckDataCanFill(long long width, long long height, std::uint64_t fileBytes,
                             std::uint64_t pixelsPerByte) {
    if (width <= 0 || height <= 0) return kErrNone; // the reader's own check says why
    const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);
    // Headers of a few hundred bytes may claim a picture that a handful of pixel
    // bytes fill.
    const std::uint64_t bound = (fileBytes + 64) * pixelsPerByte;
    if (pixels <= bound) return kErrNone;
    return CodecStatus(kErrTooLarge,
                       TooLargeText(std::uint64_t(width), std::uint64_t(height), bound));
}

CodecStatus CheckWriterArgs(const void* pixels, int width, int height, int maxSide) {
    if (!pixels || width <= 0 || height <= 0 || width > maxSide || height > maxSide)
        return kErrBadParam;
    return kErrNone;
}

} // namespace quiltara
