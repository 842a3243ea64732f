#pragma once
// The SANE "test" backend as the only scanner: a configuration folder of its own,
// named by SANE_CONFIG_DIR while the object lives.
#include "support/TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace quiltara::test {

class SaneTestBackend {
public:
    /// settings: lines for the backend's test.conf ("mode Color").
    explicit SaneTestBackend(const std::string& settings = {}) {
        std::ofstream(m_folder.File("dll.conf")) << "test\n";
        std::ofstream(m_folder.File("test.conf")) << "number_of_devices 2\n" << settings;
        if (const char* old = std::getenv("SANE_CONFIG_DIR")) m_old = old, m_hadOld = true;
        setenv("SANE_CONFIG_DIR", m_folder.Path().c_str(), 1);
    }
    ~SaneTestBackend() {
        if (m_hadOld)
            setenv("SANE_CONFIG_DIR", m_old.c_str(), 1);
        else
            unsetenv("SANE_CONFIG_DIR");
    }
    SaneTestBackend(const SaneTestBackend&) = delete;
    SaneTestBackend& operator=(const SaneTestBackend&) = delete;

private:
    TempFolder m_folder;
    std::string m_old;
    bool m_hadOld = false;
};

} // namespace quiltara::test
