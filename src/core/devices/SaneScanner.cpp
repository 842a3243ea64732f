#include "core/devices/SaneScanner.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sane/sane.h>
#include <type_traits>

namespace quiltara {

struct CSaneLibrary::Api {
    decltype(&sane_init) init = nullptr;
    decltype(&sane_exit) exit = nullptr;
    decltype(&sane_get_devices) getDevices = nullptr;
    decltype(&sane_open) open = nullptr;
    decltype(&sane_close) close = nullptr;
    decltype(&sane_get_option_descriptor) optionDescriptor = nullptr;
    decltype(&sane_control_option) controlOption = nullptr;
    decltype(&sane_start) start = nullptr;
    decltype(&sane_get_parameters) getParameters = nullptr;
    decltype(&sane_read) read = nullptr;
    decltype(&sane_cancel) cancel = nullptr;
    decltype(&sane_strstatus) strstatus = nullptr;
};

std::string ScannerDevice::Label() const {
    std::string label = vendor;
    if (!model.empty()) label += (label.empty() ? "" : " ") + model;
    return label.empty() ? name : label;
}

CSaneLibrary::CSaneLibrary() : m_api(new Api) {}

CSaneLibrary::~CSaneLibrary() {
    Unload();
    delete m_api;
}

bool CSaneLibrary::Load() {
    if (m_handle) return true;
    void* handle = dlopen(s_libraryFile.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return false;
    Api api;
    bool complete = true;
    auto take = [&](auto& entry, const char* name) {
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(dlsym(handle, name));
        complete = complete && entry != nullptr;
    };
    take(api.init, "sane_init");
    take(api.exit, "sane_exit");
    take(api.getDevices, "sane_get_devices");
    take(api.open, "sane_open");
    take(api.close, "sane_close");
    take(api.optionDescriptor, "sane_get_option_descriptor");
    take(api.controlOption, "sane_control_option");
    take(api.start, "sane_start");
    take(api.getParameters, "sane_get_parameters");
    take(api.read, "sane_read");
    take(api.cancel, "sane_cancel");
    take(api.strstatus, "sane_strstatus");
    SANE_Int version = 0;
    if (!complete || api.init(&version, nullptr) != SANE_STATUS_GOOD) {
        dlclose(handle);
        return false;
    }
    *m_api = api;
    m_handle = handle;
    return true;
}

void CSaneLibrary::Unload() {
    if (!m_handle) return;
    m_api->exit();
    dlclose(m_handle);
    m_handle = nullptr;
    *m_api = Api{};
}

std::vector<ScannerDevice> CSaneLibrary::Devices() {
    std::vector<ScannerDevice> devices;
    const SANE_Device** list = nullptr;
    if (!m_handle || m_api->getDevices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list)
        return devices;
    auto text = [](const char* s) { return s ? std::string(s) : std::string(); };
    for (int i = 0; list[i]; ++i)
        devices.push_back({text(list[i]->name), text(list[i]->vendor), text(list[i]->model),
                           text(list[i]->type)});
    return devices;
}

bool CSaneDevice::Open(const std::string& name) {
    Close();
    if (!m_library.IsLoaded()) return false;
    SANE_Handle handle = nullptr;
    const SANE_Status status = m_library.Entry().open(name.c_str(), &handle);
    if (status != SANE_STATUS_GOOD || !handle) {
        m_lastError = m_library.Entry().strstatus(status);
        return false;
    }
    m_handle = handle;
    m_name = name;
    return true;
}

void CSaneDevice::Close() {
    if (!m_handle) return;
    m_library.Entry().close(m_handle);
    m_handle = nullptr;
    m_name.clear();
}

int CSaneDevice::FindOption(const std::string& option) const {
    if (!m_handle) return -1;
    const auto& api = m_library.Entry();
    SANE_Int count = 0;
    if (api.controlOption(m_handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        return -1;
    for (int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* d = api.optionDescriptor(m_handle, i);
        if (d && d->name && option == d->name && SANE_OPTION_IS_ACTIVE(d->cap)) return i;
    }
    return -1;
}

std::vector<std::string> CSaneDevice::Choices(const std::string& option) const {
    std::vector<std::string> choices;
    const int index = FindOption(option);
    if (index < 0) return choices;
    const SANE_Option_Descriptor* d = m_library.Entry().optionDescriptor(m_handle, index);
    if (d->type == SANE_TYPE_STRING && d->constraint_type == SANE_CONSTRAINT_STRING_LIST &&
        d->constraint.string_list)
        for (int i = 0; d->constraint.string_list[i]; ++i)
            choices.emplace_back(d->constraint.string_list[i]);
    return choices;
}

std::string CSaneDevice::Value(const std::string& option) const {
    const int index = FindOption(option);
    if (index < 0) return {};
    const auto& api = m_library.Entry();
    const SANE_Option_Descriptor* d = api.optionDescriptor(m_handle, index);
    if (d->size <= 0 || d->size > 65536) return {};
    // One word past the value, so that a string the device forgot to end still ends.
    std::vector<SANE_Word> value(std::size_t(d->size) / sizeof(SANE_Word) + 2, 0);
    if (api.controlOption(m_handle, index, SANE_ACTION_GET_VALUE, value.data(), nullptr) !=
        SANE_STATUS_GOOD)
        return {};
    switch (d->type) {
    case SANE_TYPE_STRING: {
        const char* s = reinterpret_cast<const char*>(value.data());
        return std::string(s, strnlen(s, std::size_t(d->size)));
    }
    case SANE_TYPE_BOOL:
    case SANE_TYPE_INT:
        return std::to_string(value[0]);
    case SANE_TYPE_FIXED:
        return std::to_string(int(std::lround(SANE_UNFIX(value[0]))));
    default:
        return {};
    }
}

bool CSaneDevice::Range(const std::string& option, int& minimum, int& maximum) const {
    const int index = FindOption(option);
    if (index < 0) return false;
    const SANE_Option_Descriptor* d = m_library.Entry().optionDescriptor(m_handle, index);
    const bool fixed = d->type == SANE_TYPE_FIXED;
    if (!fixed && d->type != SANE_TYPE_INT) return false;
    auto whole = [fixed](SANE_Word w) { return fixed ? int(std::lround(SANE_UNFIX(w))) : int(w); };
    if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
        minimum = whole(d->constraint.range->min);
        maximum = whole(d->constraint.range->max);
        return minimum <= maximum;
    }
    if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list &&
        d->constraint.word_list[0] > 0) {
        const SANE_Word* list = d->constraint.word_list;
        minimum = maximum = whole(list[1]);
        for (int i = 2; i <= list[0]; ++i) {
            minimum = std::min(minimum, whole(list[i]));
            maximum = std::max(maximum, whole(list[i]));
        }
        return true;
    }
    return false;
}

bool CSaneDevice::SetOption(const std::string& option, const std::string& text) {
    const int index = FindOption(option);
    if (index < 0) return false;
    const auto& api = m_library.Entry();
    const SANE_Option_Descriptor* d = api.optionDescriptor(m_handle, index);
    if (!SANE_OPTION_IS_SETTABLE(d->cap)) return false;
    SANE_Status status = SANE_STATUS_INVAL;
    if (d->type == SANE_TYPE_STRING) {
        if (d->size <= 0 || text.size() >= std::size_t(d->size)) return false;
        std::vector<char> value(std::size_t(d->size), 0);
        std::memcpy(value.data(), text.data(), text.size());
        status = api.controlOption(m_handle, index, SANE_ACTION_SET_VALUE, value.data(), nullptr);
    } else if (d->type == SANE_TYPE_INT || d->type == SANE_TYPE_BOOL ||
               d->type == SANE_TYPE_FIXED) {
        char* end = nullptr;
        const double number = std::strtod(text.c_str(), &end);
        if (end == text.c_str() || !std::isfinite(number) || std::fabs(number) > 32000)
            return false;
        SANE_Word word =
            d->type == SANE_TYPE_FIXED ? SANE_FIX(number) : SANE_Word(std::lround(number));
        status = api.controlOption(m_handle, index, SANE_ACTION_SET_VALUE, &word, nullptr);
    }
    if (status != SANE_STATUS_GOOD) m_lastError = api.strstatus(status);
    return status == SANE_STATUS_GOOD;
}

ScanResult CSaneDevice::Scan(CScanAssembler& assembler,
                             const std::function<bool(std::int64_t, std::int64_t)>& progress) {
    if (!m_handle) return ScanResult::Failed;
    const auto& api = m_library.Entry();
    auto fail = [&](SANE_Status status) {
        m_lastError = api.strstatus(status);
        api.cancel(m_handle);
        return ScanResult::Failed;
    };
    std::vector<SANE_Byte> buffer(64 * 1024);
    std::int64_t done = 0;
    for (;;) {
        SANE_Status status = api.start(m_handle);
        if (status == SANE_STATUS_NO_DOCS) {
            m_lastError = api.strstatus(status);
            return ScanResult::NoDocuments;
        }
        if (status == SANE_STATUS_CANCELLED) return ScanResult::Cancelled;
        if (status != SANE_STATUS_GOOD) return fail(status);
        SANE_Parameters p{};
        status = api.getParameters(m_handle, &p);
        if (status != SANE_STATUS_GOOD) return fail(status);
        const ScanFrameParameters frame{int(p.format),         p.last_frame != SANE_FALSE,
                                        int(p.bytes_per_line), int(p.pixels_per_line),
                                        int(p.lines),          int(p.depth)};
        if (!assembler.BeginFrame(frame)) return fail(SANE_STATUS_INVAL);
        for (;;) {
            if (progress && !progress(done, assembler.ExpectedBytes())) {
                api.cancel(m_handle);
                return ScanResult::Cancelled;
            }
            SANE_Int length = 0;
            status = api.read(m_handle, buffer.data(), SANE_Int(buffer.size()), &length);
            if (status == SANE_STATUS_EOF) break;
            if (status == SANE_STATUS_CANCELLED) return ScanResult::Cancelled;
            if (status != SANE_STATUS_GOOD) return fail(status);
            if (length < 0 || length > SANE_Int(buffer.size())) return fail(SANE_STATUS_IO_ERROR);
            if (!assembler.AddData(buffer.data(), std::size_t(length)))
                return fail(SANE_STATUS_NO_MEM);
            done += length;
        }
        assembler.EndFrame();
        if (frame.lastFrame) break;
    }
    if (!assembler.Complete()) return fail(SANE_STATUS_IO_ERROR);
    if (progress) progress(done, done);
    return ScanResult::Done;
}

void CSaneDevice::EndScans() {
    if (m_handle) m_library.Entry().cancel(m_handle);
}

} // namespace quiltara
