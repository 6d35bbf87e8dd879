// What a screen reader says for a control where the name Windows derives
// (from the control's text, or for an edit box from the label before it in
// z-order) is not the right one. Uses oleacc's annotation service through
// COM, loaded when a screen reader first asks, so the program imports
// nothing new.
#pragma once

#include <windows.h>

#include "text/Text.h"

namespace plm::app {

// A control's name for screen readers. It is given the first time one asks
// for the control (WM_GETOBJECT, which every client sends before it reads a
// name), so that users without one never load oleacc. Where the system
// takes no annotations (Wine's oleacc does not) the derived name stays.
class AccessibleName {
public:
    explicit AccessibleName(TextView name) : name_(name) {}
    void OnGetObject(HWND control);
    // Takes the name off again, before the control is destroyed.
    void OnDestroy(HWND control);

private:
    Text name_;
    bool given_ = false;
};

}  // namespace plm::app
