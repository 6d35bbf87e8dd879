#include "app/CommonControls_win.h"

#include "app/Resources.h"

namespace plm::app {

CommonControlsScope::CommonControlsScope(HINSTANCE instance) {
    // Made once, when first needed, and kept until the program ends.
    static const HANDLE context = [instance] {
        wchar_t path[MAX_PATH];
        DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return INVALID_HANDLE_VALUE;
        ACTCTXW request{};
        request.cbSize = sizeof(request);
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
        request.lpSource = path;
        request.lpResourceName = MAKEINTRESOURCEW(IDR_COMMON_CONTROLS);
        request.hModule = instance;
        return CreateActCtxW(&request);
    }();
    if (context != INVALID_HANDLE_VALUE) active_ = ActivateActCtx(context, &cookie_) != FALSE;
}

CommonControlsScope::~CommonControlsScope() {
    if (active_) DeactivateActCtx(0, cookie_);
}

}  // namespace plm::app
