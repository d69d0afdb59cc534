#pragma once
// The real file system of the machine the tests run on: Linux natively, Windows under Wine.
#ifdef _WIN32
#include "platform/win32/Win32FileSystem.h"
namespace tarvelin::sim {
using HostFileSystem = platform::Win32FileSystem;
}
#else
#include "platform/posix/PosixFileSystem.h"
namespace tarvelin::sim {
using HostFileSystem = platform::PosixFileSystem;
}
#endif
