// The real tintbox binary started on a virtual display, with its standard output kept in
// a file; killed on destruction, so a failed assertion leaves no process behind.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class GameProcess {
public:
    // runDir is the working directory (normally the build folder); args follow the program name;
    // program is the built game unless given (an installed launcher, say).
    GameProcess(const std::string& display, const std::string& runDir, const std::vector<std::string>& args = {},
        const std::string& program = "");
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Polls until a window whose name starts with "Tintbox" exists; returns its id or "".
    std::string waitForWindow(double seconds = 60.0);
    std::string windowName(const std::string& window) const;
    // Polls until the window title no longer equals `title`; returns the new title or "".
    std::string waitForTitleChange(const std::string& window, const std::string& title, double seconds = 60.0);
    // Gives the window the keyboard focus, retrying while it is still being mapped; 0 on success.
    int focus(const std::string& window);
    // xdotool with the given arguments on this display; returns its exit status.
    int xdotool(const std::string& arguments) const;
    // Waits for the process to end; returns its exit status (0-255), or -1000 on time-out.
    int waitExit(double seconds = 60.0);
    bool running();
    // The process's peak resident size so far, in bytes (0 once it has ended).
    long peakResident() const;
    std::string output() const;

private:
    std::string display;
    std::string outputPath;
    pid_t pid = -1;
    int exitStatus = -1000;
};
