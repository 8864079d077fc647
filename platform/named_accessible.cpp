#include "platform/named_accessible.h"

#include <new>

namespace renpin::platform {
namespace {

bool is_self(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The reference count needs no atomics: the object is made on the window's thread, whose
// apartment is single-threaded, and COM brings every call from elsewhere to that thread.
class NamedAccessible final : public IAccessible {
  public:
    NamedAccessible(IAccessible* inner, const wchar_t* name, StringAllocator allocate_string)
        : inner_(inner), name_(name), allocate_string_(allocate_string) {
        inner_->AddRef();
    }
    NamedAccessible(const NamedAccessible&) = delete;
    NamedAccessible& operator=(const NamedAccessible&) = delete;

    // IUnknown. Only the interfaces whose every call goes through this object: handing out the
    // inner object's others (IEnumVARIANT, IOleWindow, IServiceProvider) would break COM's
    // identity rules and let a client reach the inner object's own name.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
            IsEqualIID(iid, __uuidof(IAccessible))) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IDispatch: the inner object's type description, with calls made through this object so
    // that a scripted client hears the same name.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return inner_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return inner_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return inner_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argument_error) override {
        if (!IsEqualIID(iid, IID_NULL)) {
            return DISP_E_UNKNOWNINTERFACE;
        }
        ITypeInfo* info = nullptr;
        const HRESULT found = inner_->GetTypeInfo(0, locale, &info);
        if (FAILED(found)) {
            return found;
        }
        const UniqueCom<ITypeInfo> owned_info(info);
        return info->Invoke(static_cast<IAccessible*>(this), member, flags, parameters, result,
                            exception, argument_error);
    }

    // IAccessible.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!is_self(child)) {
            return inner_->get_accName(child, name);
        }
        if (name == nullptr) {
            return E_INVALIDARG;
        }
        *name = allocate_string_(name_);
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return inner_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return inner_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return inner_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return inner_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return inner_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return inner_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return inner_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return inner_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* help_file, VARIANT child,
                                               LONG* topic) override {
        return inner_->get_accHelpTopic(help_file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return inner_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return inner_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return inner_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return inner_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return inner_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return inner_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return inner_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return inner_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return inner_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return inner_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return inner_->put_accValue(child, value);
    }

  private:
    ~NamedAccessible() { inner_->Release(); }

    IAccessible* inner_;
    const wchar_t* name_;
    StringAllocator allocate_string_;
    ULONG references_ = 1;
};

}  // namespace

UniqueCom<IAccessible> make_named_accessible(IAccessible* inner, const wchar_t* name,
                                             StringAllocator allocate_string) {
    return UniqueCom<IAccessible>(new (std::nothrow) NamedAccessible(inner, name, allocate_string));
}

}  // namespace renpin::platform
