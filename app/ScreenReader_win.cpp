#include "app/ScreenReader_win.h"

// The annotation GUIDs are defined here rather than taken from a library:
// MinGW's liboleacc.a has IID_IAccessible as an import thunk, not the GUID.
#include <initguid.h>
#include <oleacc.h>

#include <string>

#include "app/Win32Support_win.h"

namespace plm::app {
namespace {

template <typename Use>
void WithAnnotations(Use use) {
    IAccPropServices* service = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(&service)))) {
        return;
    }
    use(*service);
    service->Release();
}

constexpr DWORD Client = static_cast<DWORD>(OBJID_CLIENT);

}  // namespace

void AccessibleName::OnGetObject(HWND control) {
    if (given_) return;
    given_ = true;
    const std::wstring text = ToWide(name_);
    WithAnnotations([&](IAccPropServices& service) {
        service.SetHwndPropStr(control, Client, CHILDID_SELF, PROPID_ACC_NAME, text.c_str());
    });
}

void AccessibleName::OnDestroy(HWND control) {
    if (!given_) return;
    given_ = false;
    WithAnnotations([&](IAccPropServices& service) {
        MSAAPROPID name = PROPID_ACC_NAME;
        service.ClearHwndProps(control, Client, CHILDID_SELF, &name, 1);
    });
}

}  // namespace plm::app
