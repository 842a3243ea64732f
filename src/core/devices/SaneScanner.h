#pragma once
#include "core/devices/ScanFrames.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quiltara {

/// One scanner or camera as the acquisition library lists it.
struct ScannerDevice {
    std::string name; // what opens it
    std::string vendor, model, type;
    /// "vendor model", or the name when the device gives neither.
    std::string Label() const;
};

/// The acquisition library, SANE, loaded at run time so that the program runs where
/// it is not installed. One object loads and initialises the library once; devices
/// borrow it.
class CSaneLibrary {
public:
    static constexpr const char* kLibraryName = "libsane.so.1";

    CSaneLibrary();
    ~CSaneLibrary();
    /// The file Load opens: kLibraryName unless a test names another (a missing one
    /// stands for a machine without the library).
    static void SetLibraryFile(const std::string& file) { s_libraryFile = file; }
    CSaneLibrary(const CSaneLibrary&) = delete;
    CSaneLibrary& operator=(const CSaneLibrary&) = delete;

    /// Loads and initialises the library unless done; false when it is not there or
    /// does not start.
    bool Load();
    /// Ends the library's session and frees it.
    void Unload();
    bool IsLoaded() const { return m_handle != nullptr; }
    /// The devices found now (empty without the library).
    std::vector<ScannerDevice> Devices();

    struct Api; // the library's entry points
    const Api& Entry() const { return *m_api; }

private:
    static inline std::string s_libraryFile = kLibraryName;
    void* m_handle = nullptr;
    Api* m_api;
};

enum class ScanResult {
    Done,        // one complete picture
    NoDocuments, // the feeder is empty
    Cancelled,
    Failed,
};

/// An open device: its options and its scans.
class CSaneDevice {
public:
    explicit CSaneDevice(CSaneLibrary& library) : m_library(library) {}
    ~CSaneDevice() { Close(); }
    CSaneDevice(const CSaneDevice&) = delete;
    CSaneDevice& operator=(const CSaneDevice&) = delete;

    bool Open(const std::string& name);
    void Close();
    bool IsOpen() const { return m_handle != nullptr; }
    const std::string& Name() const { return m_name; }

    /// The choices of a text option ("mode", "source"); empty when there is none.
    std::vector<std::string> Choices(const std::string& option) const;
    /// The value of an option as text ("Color", "50"), empty when there is none.
    std::string Value(const std::string& option) const;
    /// The range of a numeric option, rounded to integers; false when it has none.
    bool Range(const std::string& option, int& minimum, int& maximum) const;
    /// Sets an option from text, by the option's type (text, integer, fixed point,
    /// yes/no as "1"/"0"). False when the option is missing, inactive or refuses.
    bool SetOption(const std::string& option, const std::string& value);

    /// Scans one picture into assembler. progress(done, total) is called as data
    /// arrives (total 0 when unknown) and cancels the scan by returning false. A
    /// completed picture leaves the device ready for the next one of a feeder run;
    /// EndScans closes the run.
    ScanResult Scan(CScanAssembler& assembler,
                    const std::function<bool(std::int64_t done, std::int64_t total)>& progress);
    void EndScans();
    /// The library's text for the last failure.
    const std::string& LastError() const { return m_lastError; }

private:
    int FindOption(const std::string& option) const;

    CSaneLibrary& m_library;
    void* m_handle = nullptr;
    std::string m_name;
    std::string m_lastError;
};

} // namespace quiltara
