#include "tests/support/VirtualDisplay.h"

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
bool displayInUse(int number)
{
    return std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")
        || std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number));
}
}

VirtualDisplay::VirtualDisplay(int width, int height)
{
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    int start = 100 + (getpid() % 500);
    for (int number = start; number < start + 400; ++number) {
        if (displayInUse(number))
            continue;
        std::string name = ":" + std::to_string(number);
        pid_t child = fork();
        if (child == 0) {
            int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, 1);
            dup2(devnull, 2);
            execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", screen.c_str(), "-noreset", "-nolisten", "tcp",
                (char*)nullptr);
            _exit(127);
        }
        std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        for (int tries = 0; tries < 200; ++tries) {
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child)
                break;
            if (std::filesystem::exists(socket)) {
                pid = child;
                display = name;
                // The socket appears just before the server accepts clients.
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

VirtualDisplay::~VirtualDisplay()
{
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

std::string runWithDisplay(const std::string& display, const std::string& command, int* status)
{
    std::string full = "DISPLAY=" + display + " " + command;
    FILE* pipe = popen(full.c_str(), "r");
    std::string out;
    if (!pipe) {
        if (status)
            *status = -1;
        return out;
    }
    std::array<char, 512> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        out.append(buffer.data(), n);
    int rc = pclose(pipe);
    if (status)
        *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}
