// Points the registry store at a file of the test's own for the test's lifetime.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

class TRegistryEnv {
public:
    explicit TRegistryEnv(const std::filesystem::path& file) {
        if (const char* old = std::getenv("TEXTIMPORT_REGISTRY"))
            m_old = old;
        setenv("TEXTIMPORT_REGISTRY", file.c_str(), 1);
    }
    ~TRegistryEnv() {
        if (m_old)
            setenv("TEXTIMPORT_REGISTRY", m_old->c_str(), 1);
        else
            unsetenv("TEXTIMPORT_REGISTRY");
    }

private:
    std::optional<std::string> m_old;
};
