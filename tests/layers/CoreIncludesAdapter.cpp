// Against the layering: logic must not see a system adapter, only the interfaces.
#ifdef _WIN32
#include "platform/win32/Win32System.h"
#else
#include "platform/posix/PosixEventLoop.h"
#endif
