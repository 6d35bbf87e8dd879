// The common controls with visual styles, for the message boxes only.
#pragma once

#include <windows.h>

namespace plm::app {

// While it lives, windows made on this thread use the common controls with
// visual styles (the manifest IDR_COMMON_CONTROLS). The process itself does
// not ask for them: the window's controls are drawn by the window or look
// the same without them, and loading them at start-up cost time. Message
// boxes keep their styled buttons this way.
class CommonControlsScope {
public:
    explicit CommonControlsScope(HINSTANCE instance);
    ~CommonControlsScope();
    CommonControlsScope(const CommonControlsScope&) = delete;
    CommonControlsScope& operator=(const CommonControlsScope&) = delete;

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

}  // namespace plm::app
