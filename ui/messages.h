// The wizard messages: a page posts one to the frame to ask for a page change.
#pragma once

#include <windows.h>

enum : UINT {
    UM_CANCEL = WM_USER + 1,   // 1025: close the frame (asks first)
    UM_BACK = WM_USER + 2,     // previous page
    UM_NEXT = WM_USER + 3,     // next page
    UM_SETUP = WM_USER + 4,    // setup page
    UM_EXPERT1 = WM_USER + 5,  // first expert page
    UM_EXPERT2 = WM_USER + 6,  // second expert page
    UM_DONE = WM_USER + 7,     // completion page
    UM_FINISH = WM_USER + 8,   // 1032: restart requested, close the frame
};
