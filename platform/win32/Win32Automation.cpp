#include "platform/win32/Win32Automation.h"

#include "platform/win32/WinHandles.h"

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace vardak::win32 {
namespace {

// A VARIANT cleared when it goes.
class Variant {
public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT* get() { return &value_; }

private:
    VARIANT value_;
};

std::string ansiFromWide(const wchar_t* text, int length) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return {};
    }
    std::string ansi(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, ansi.data(), size, nullptr, nullptr);
    return ansi;
}

class Win32AutomationObject final : public platform::AutomationObject {
public:
    // For the call that hands out the object's dispatch interface.
    void** receive() { return dispatch_.receive(); }

    std::optional<std::string> propertyText(const std::string& name) override {
        std::wstring wideName = wideFromAnsi(name);
        LPOLESTR names[] = {wideName.data()};
        DISPID id = 0;
        if (FAILED(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
            return std::nullopt;
        }
        DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
        Variant value;
        if (FAILED(dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArguments,
                                     value.get(), nullptr, nullptr))) {
            return std::nullopt;
        }
        Variant text;
        if (FAILED(VariantChangeType(text.get(), value.get(), 0, VT_BSTR)) || V_BSTR(text.get()) == nullptr) {
            return std::nullopt;
        }
        const BSTR characters = V_BSTR(text.get());
        return ansiFromWide(characters, static_cast<int>(SysStringLen(characters)));
    }

private:
    ComReference<IDispatch> dispatch_;
};

// The dispatch interface of the class's registered running object, if there is one.
bool runningObject(const CLSID& id, Win32AutomationObject& object) {
    ComReference<IUnknown> running;
    return SUCCEEDED(GetActiveObject(id, nullptr, reinterpret_cast<IUnknown**>(running.receive()))) && running &&
           SUCCEEDED(running->QueryInterface(IID_IDispatch, object.receive()));
}

bool newInstance(const CLSID& id, Win32AutomationObject& object) {
    return SUCCEEDED(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                      object.receive()));
}

}  // namespace

bool Win32Automation::begin() {
    return SUCCEEDED(CoInitialize(nullptr));
}

void Win32Automation::end() {
    CoUninitialize();
}

std::unique_ptr<platform::AutomationObject> Win32Automation::object(const std::string& programId) {
    CLSID id;
    if (FAILED(CLSIDFromProgID(wideFromAnsi(programId).c_str(), &id))) {
        return nullptr;
    }
    auto object = std::make_unique<Win32AutomationObject>();
    if (runningObject(id, *object) || newInstance(id, *object)) {
        return object;
    }
    return nullptr;
}

}  // namespace vardak::win32
