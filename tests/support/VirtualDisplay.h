// An Xvfb server of the test's own on a free display number; stopped on destruction,
// so each end-to-end test owns its display and never shares one by accident.
#pragma once

#include <string>
#include <sys/types.h>

class VirtualDisplay {
public:
    VirtualDisplay(int width = 1280, int height = 1024);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool ready() const { return pid > 0; }
    const std::string& name() const { return display; }

private:
    pid_t pid = -1;
    std::string display;
};

// Runs a shell command with DISPLAY set; returns its standard output, trailing newline cut.
std::string runWithDisplay(const std::string& display, const std::string& command, int* status = nullptr);
