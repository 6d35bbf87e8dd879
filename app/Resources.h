// Resource identifiers, shared by the resource script and the window.
#pragma once

#define IDI_PLM 1
#define IDB_CLOSE 103
