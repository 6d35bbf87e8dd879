#include "app/ScreenReader_win.h"

#include <oleacc.h>

#include "app/WideText_win.h"
#include "config/SystemDll_win.h"

namespace plm::app {
namespace {

// The annotation service and the name property, as oleacc.h gives them.
// Written out: MinGW's header defines them and the Windows SDK's leaves
// them to a library, and the program links neither oleacc nor uuid.
constexpr CLSID AccPropServicesClass{0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID AccPropServicesInterface{0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID NameProperty{0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

// COM is loaded and started only when a screen reader first asks.
template <typename Use>
void WithAnnotations(Use use) {
    const auto create = config::SystemFunction<decltype(&CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
    IAccPropServices* service = nullptr;
    if (!config::InitialiseComOnce() || create == nullptr ||
        FAILED(create(AccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER, AccPropServicesInterface,
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
    WithAnnotations([&](IAccPropServices& service) {
        service.SetHwndPropStr(control, Client, CHILDID_SELF, NameProperty, Wide(name_));
    });
}

void AccessibleName::OnDestroy(HWND control) {
    if (!given_) return;
    given_ = false;
    WithAnnotations([&](IAccPropServices& service) {
        MSAAPROPID name = NameProperty;
        service.ClearHwndProps(control, Client, CHILDID_SELF, &name, 1);
    });
}

}  // namespace plm::app
