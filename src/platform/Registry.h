#pragma once
#include <optional>
#include <string>

namespace pagelet {

// String values under one key of the system's settings store.
class RegistryPort {
public:
    virtual ~RegistryPort() = default;
    virtual bool open(const std::u16string& keyPath) = 0; // creates the key when absent
    virtual std::optional<std::u16string> read(const std::u16string& name) = 0;
    virtual bool write(const std::u16string& name, const std::u16string& value) = 0;
    virtual void close() = 0;
};

} // namespace pagelet
