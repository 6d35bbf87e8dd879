// Resource identifiers, shared by the resource script and the window.
#pragma once

#define IDI_PLM 1
#define IDB_CLOSE 103
// A manifest for an activation context of our own (1 is the process's).
#define IDR_COMMON_CONTROLS 101
