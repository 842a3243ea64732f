// quiltara-plugin-runner: the helper process in which filter plug-ins and Extras run.
// The program (through the host library or the Extras host) starts it with a command,
// reads its report lines on fd 3 and shares pixels through the memory file on fd 4.
// Whatever a plug-in does here, at worst this process ends.
//
//   scan FILE                 "F<sep>path#i<sep>category<sep>name" per filter
//   run FILE#i W H            source at offset 0, destination after it; "P<sep>done<sep>total"
//   xtrname FILE, xtrdesc FILE "N<sep>text"
//   xtrrun FILE W H VIEW      pixels at offset 0; a new picture is appended after them
// Every command ends with "R<sep>result[...]".
#include "../QuiltaraExtra.h"
#include "../QuiltaraFilter.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kReportFd = 3;
constexpr int kPixelsFd = 4;
constexpr char kSep = '\x1f';

void WriteAll(const std::string& text) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = write(kReportFd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) _exit(3);
        p += n;
        left -= std::size_t(n);
    }
}

// Report fields never hold the separator or a line break.
std::string Field(const char* text) {
    std::string s = text ? text : "";
    for (char& c : s)
        if (c == kSep || c == '\n' || c == '\r') c = ' ';
    return s;
}

void Report(std::initializer_list<std::string> fields) {
    std::string line;
    for (const std::string& f : fields) {
        if (!line.empty()) line += kSep;
        line += f;
    }
    WriteAll(line + "\n");
}

bool ParseInt(const char* text, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0';
}

void* Open(const char* path) {
    // A path without a slash would be looked up in the library path instead.
    if (!std::strchr(path, '/')) return nullptr;
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

std::uint8_t* MapPixels(std::size_t size) {
    struct stat st {};
    if (fstat(kPixelsFd, &st) != 0 || std::size_t(st.st_size) < size) return nullptr;
    void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, kPixelsFd, 0);
    return p == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(p);
}

bool PictureSize(const char* w, const char* h, long& width, long& height) {
    return ParseInt(w, width) && ParseInt(h, height) && width > 0 && height > 0 &&
           width <= 1 << 16 && height <= 1 << 16 && width * height <= (1L << 28);
}

using ApiFn = int (*)();
using ListFn = const QuiltaraFilterInfo* (*)(int*);
using RunFn = int (*)(int, const QuiltaraImage*, QuiltaraImage*, const QuiltaraFilterHost*);

const QuiltaraFilterInfo* FilterList(void* lib, int& count) {
    auto api = reinterpret_cast<ApiFn>(dlsym(lib, "QuiltaraFilterApi"));
    auto list = reinterpret_cast<ListFn>(dlsym(lib, "QuiltaraFilterList"));
    if (!api || !list || !dlsym(lib, "QuiltaraFilterRun") || api() != QUILTARA_FILTER_API)
        return nullptr;
    count = 0;
    const QuiltaraFilterInfo* info = list(&count);
    if (!info || count <= 0) return nullptr;
    if (count > 4000) count = 4000;
    return info;
}

int Scan(const char* file) {
    void* lib = Open(file);
    int count = 0;
    const QuiltaraFilterInfo* info = lib ? FilterList(lib, count) : nullptr;
    if (!info) {
        Report({"R", "load"});
        return 0;
    }
    for (int i = 0; i < count; ++i)
        Report({"F", Field(file) + "#" + std::to_string(i), Field(info[i].category),
                Field(info[i].name)});
    Report({"R", "0"});
    return 0;
}

void ProgressLine(void*, int done, int total) {
    Report({"P", std::to_string(done), std::to_string(total)});
}

int Run(const char* entry, const char* w, const char* h) {
    std::string file = entry;
    long index = 0;
    const std::size_t hash = file.find('#');
    if (hash != std::string::npos && hash > 0) {
        if (!ParseInt(file.c_str() + hash + 1, index) || index < 0) index = -1;
        file.resize(hash);
    }
    long width = 0, height = 0;
    if (!PictureSize(w, h, width, height)) {
        Report({"R", "args"});
        return 0;
    }
    void* lib = Open(file.c_str());
    int count = 0;
    if (!lib || !FilterList(lib, count) || index >= count || index < 0) {
        Report({"R", "load"});
        return 0;
    }
    auto run = reinterpret_cast<RunFn>(dlsym(lib, "QuiltaraFilterRun"));
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    std::uint8_t* shared = MapPixels(bytes * 2);
    if (!shared) {
        Report({"R", "args"});
        return 0;
    }
    QuiltaraImage source{int32_t(width), int32_t(height), reinterpret_cast<uint32_t*>(shared),
                         int32_t(width)};
    QuiltaraImage destination{int32_t(width), int32_t(height),
                              reinterpret_cast<uint32_t*>(shared + bytes), int32_t(width)};
    QuiltaraFilterHost host{ProgressLine, nullptr, 0x000000, 0xFFFFFF};
    const int result = run(int(index), &source, &destination, &host);
    Report({"R", std::to_string(result)});
    return 0;
}

int ExtraText(const char* file, const char* symbol) {
    void* lib = Open(file);
    auto get = lib ? reinterpret_cast<const char* (*)()>(dlsym(lib, symbol)) : nullptr;
    if (!get) {
        Report({"R", "load"});
        return 0;
    }
    Report({"N", Field(get())});
    Report({"R", "0"});
    return 0;
}

int ExtraRun(const char* file, const char* w, const char* h, const char* viewText) {
    long width = 0, height = 0;
    if (!PictureSize(w, h, width, height)) {
        Report({"R", "args"});
        return 0;
    }
    void* lib = Open(file);
    if (!lib) {
        Report({"R", "load"});
        return 0;
    }
    auto start = reinterpret_cast<int (*)(uint32_t*, int, int, void*)>(dlsym(lib, "StartPlugin"));
    auto data = reinterpret_cast<uint32_t* (*)(int*, int*)>(dlsym(lib, "GetData"));
    if (!start || !data) {
        Report({"R", "exports"});
        return 0;
    }
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    std::uint8_t* shared = MapPixels(bytes);
    if (!shared) {
        Report({"R", "args"});
        return 0;
    }
    const unsigned long long view = std::strtoull(viewText, nullptr, 10);
    const int result = start(reinterpret_cast<uint32_t*>(shared), int(width), int(height),
                             reinterpret_cast<void*>(std::uintptr_t(view)));
    if (result == 0) {
        Report({"R", "0"});
        return 0;
    }
    int newWidth = 0, newHeight = 0;
    const uint32_t* pixels = data(&newWidth, &newHeight);
    if (!pixels || newWidth <= 0 || newHeight <= 0 ||
        std::int64_t(newWidth) * newHeight > (std::int64_t(1) << 28)) {
        Report({"R", std::to_string(result)});
        return 0;
    }
    const std::size_t newBytes = std::size_t(newWidth) * std::size_t(newHeight) * 4;
    if (ftruncate(kPixelsFd, off_t(bytes + newBytes)) != 0) {
        Report({"R", std::to_string(result)});
        return 0;
    }
    void* tail = mmap(nullptr, bytes + newBytes, PROT_READ | PROT_WRITE, MAP_SHARED, kPixelsFd, 0);
    if (tail == MAP_FAILED) {
        Report({"R", std::to_string(result)});
        return 0;
    }
    std::memcpy(static_cast<std::uint8_t*>(tail) + bytes, pixels, newBytes);
    Report({"R", std::to_string(result), std::to_string(newWidth), std::to_string(newHeight)});
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Nothing of the program's other open files belongs to a plug-in.
    closefrom(kPixelsFd + 1);
    if (fcntl(kReportFd, F_GETFD) < 0) return 2; // not started by the program
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "scan" && argc == 3) return Scan(argv[2]);
    if (command == "run" && argc == 5) return Run(argv[2], argv[3], argv[4]);
    if (command == "xtrname" && argc == 3) return ExtraText(argv[2], "GetNameA");
    if (command == "xtrdesc" && argc == 3) return ExtraText(argv[2], "GetDescription");
    if (command == "xtrrun" && argc == 6) return ExtraRun(argv[2], argv[3], argv[4], argv[5]);
    return 2;
}
