#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace renpin::test {

// Sets a registry value for the life of the object; puts back the value that was there, or
// deletes it again where there was none.
class RegistryValue {
  public:
    RegistryValue(HKEY root, const wchar_t* key, const wchar_t* name, DWORD type, const void* data,
                  DWORD size);
    ~RegistryValue();
    RegistryValue(const RegistryValue&) = delete;
    RegistryValue& operator=(const RegistryValue&) = delete;

    // Whether the value was written.
    [[nodiscard]] bool set() const { return set_; }

    // Puts the earlier value back now rather than at destruction; returns whether it could.
    bool restore();

  private:
    struct StoredValue {
        DWORD type = 0;
        std::vector<std::uint8_t> data;
    };
    [[nodiscard]] std::optional<StoredValue> read() const;

    HKEY key_ = nullptr;
    std::wstring name_;
    std::optional<StoredValue> earlier_;
    bool set_ = false;
};

// A DWORD value, set for the life of the object.
class RegistryDword : public RegistryValue {
  public:
    RegistryDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value)
        : RegistryValue(root, key, name, REG_DWORD, &value, sizeof(value)) {}
};

}  // namespace renpin::test
