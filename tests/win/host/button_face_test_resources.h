#pragma once

// Resource numbers shared by the test program's .rc and its code.
#define IDB_SEND_SMS 101
