// Holding a program at a fixed point: see held_process.cpp.
#pragma once

#include <windows.h>

#include <string>

namespace held {

// Starts `command_line` under this process's debugger and returns true once
// a thread of it is held just before a ReadFile call for `read_size` bytes;
// false when none is within `seconds` or the program ends first.
bool start_and_hold(const std::string& command_line, DWORD read_size, double seconds);

// Lets the held thread go on and detaches from the program; true once done.
bool release(double seconds);

}  // namespace held
