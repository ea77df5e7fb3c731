#pragma once

// Resource identifiers of the add-in DLL (shared by C++ and the .rc files).

#define IDB_SEND_SMS 101
#define IDB_RIBBON_LARGE 102
#define IDB_RIBBON_SMALL 103
