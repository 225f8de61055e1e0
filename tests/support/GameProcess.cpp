#include "tests/support/GameProcess.h"

#include "tests/support/GlTest.h"
#include "tests/support/VirtualDisplay.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

bool expired(Clock::time_point start, double seconds)
{
    return std::chrono::duration<double>(Clock::now() - start).count() > seconds;
}

void poll()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}
}

GameProcess::GameProcess(const std::string& display, const std::string& runDir, const std::vector<std::string>& args,
    const std::string& program)
    : display(display)
{
    static int counter = 0;
    outputPath = "/tmp/tintbox-game-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".out";
    std::string path = program.empty() ? buildPath("tintbox") : program;
    pid = fork();
    if (pid == 0) {
        if (chdir(runDir.c_str()) != 0)
            _exit(126);
        int out = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = open("/dev/null", O_RDONLY);
        dup2(out, 1);
        dup2(out, 2);
        dup2(in, 0);
        setenv("DISPLAY", display.c_str(), 1);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(path.c_str()));
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
}

GameProcess::~GameProcess()
{
    if (running()) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

bool GameProcess::running()
{
    if (pid <= 0 || exitStatus != -1000)
        return false;
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
        exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

std::string GameProcess::waitForWindow(double seconds)
{
    auto start = Clock::now();
    while (!expired(start, seconds) && running()) {
        std::string id
            = runWithDisplay(display, "xdotool search --onlyvisible --name '^Tintbox' 2>/dev/null | head -n 1");
        if (!id.empty())
            return id;
        poll();
    }
    return "";
}

std::string GameProcess::windowName(const std::string& window) const
{
    return runWithDisplay(display, "xdotool getwindowname " + window + " 2>/dev/null");
}

std::string GameProcess::waitForTitleChange(const std::string& window, const std::string& title, double seconds)
{
    auto start = Clock::now();
    while (!expired(start, seconds) && running()) {
        std::string name = windowName(window);
        if (!name.empty() && name != title)
            return name;
        poll();
    }
    return "";
}

int GameProcess::focus(const std::string& window)
{
    int status = 1;
    for (int tries = 0; tries < 50 && status != 0 && running(); ++tries) {
        status = xdotool("windowfocus --sync " + window);
        if (status != 0)
            poll();
    }
    return status;
}

int GameProcess::xdotool(const std::string& arguments) const
{
    int status = 0;
    runWithDisplay(display, "xdotool " + arguments + " 2>/dev/null", &status);
    return status;
}

int GameProcess::waitExit(double seconds)
{
    auto start = Clock::now();
    while (running() && !expired(start, seconds))
        poll();
    return running() ? -1000 : exitStatus;
}

std::string GameProcess::output() const
{
    std::ifstream in(outputPath);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

long GameProcess::peakResident() const
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6)) * 1024;
    }
    return 0;
}
