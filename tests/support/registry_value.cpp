#include "registry_value.h"

namespace renpin::test {

RegistryValue::RegistryValue(HKEY root, const wchar_t* key, const wchar_t* name, DWORD type,
                             const void* data, DWORD size)
    : name_(name) {
    if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS) {
        key_ = nullptr;
        return;
    }
    earlier_ = read();
    set_ =
        RegSetValueExW(key_, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

RegistryValue::~RegistryValue() {
    restore();
    if (key_ != nullptr) {
        RegCloseKey(key_);
    }
}

bool RegistryValue::restore() {
    if (!set_) {
        return true;
    }
    const LSTATUS status =
        earlier_ ? RegSetValueExW(key_, name_.c_str(), 0, earlier_->type, earlier_->data.data(),
                                  static_cast<DWORD>(earlier_->data.size()))
                 : RegDeleteValueW(key_, name_.c_str());
    set_ = status != ERROR_SUCCESS;
    return !set_;
}

std::optional<RegistryValue::StoredValue> RegistryValue::read() const {
    StoredValue value;
    DWORD size = 0;
    if (RegQueryValueExW(key_, name_.c_str(), nullptr, &value.type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    if (RegQueryValueExW(key_, name_.c_str(), nullptr, &value.type, value.data.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    return value;
}

}  // namespace renpin::test
