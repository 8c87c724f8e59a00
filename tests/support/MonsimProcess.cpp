#include "tests/support/MonsimProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sys/prctl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/TempDir.h"

// One directory for the whole test program, removed at its end.
static const std::string& PrivateTempDir()
{
    static TempDir dir;
    return dir.path();
}

pid_t StartProcess(std::vector<std::string> argv, const std::string& errorFile)
{
    pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM); // a crashed test must not leave the program behind
        std::vector<char*> cargv;
        for (auto& a : argv)
            cargv.push_back(&a[0]);
        cargv.push_back(nullptr);
        int err = errorFile.empty() ? -1 : open(errorFile.c_str(), O_WRONLY | O_APPEND);
        if (err >= 0)
            dup2(err, 2);
        execv(cargv[0], cargv.data());
        _exit(127);
    }
    return pid;
}

bool StopProcess(pid_t pid)
{
    if (pid <= 0)
        return false;
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string MonsimProcess::writeTempFile(const std::string& name, const std::string& text)
{
    static int serial = 0;
    std::string path = PrivateTempDir() + "/" + std::to_string(++serial) + "-" + name;
    std::ofstream(path) << text;
    return path;
}

MonsimProcess::MonsimProcess(const std::vector<std::string>& args, const std::string& bind)
    : bind_(bind)
{
    static int serial = 0;
    std::string stem = PrivateTempDir() + "/monsim" + std::to_string(++serial);
    std::string portFile = stem + ".port";
    logPath_ = stem + ".log";

    std::vector<std::string> argv = {VANTOR_BINARY_DIR "/tools/monsim/vantor-monsim",
                                     "--bind",
                                     bind_,
                                     "--port",
                                     "0",
                                     "--port-file",
                                     portFile,
                                     "--request-log",
                                     logPath_};
    argv.insert(argv.end(), args.begin(), args.end());

    pid_ = StartProcess(argv);
    // The simulator writes its port once it listens.
    for (int i = 0; i < 500 && port_ == 0; i++) {
        std::string text = FileText(portFile);
        if (!text.empty() && text.back() == '\n')
            port_ = atoi(text.c_str());
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (port_ == 0)
        ADD_FAILURE() << "vantor-monsim did not start";
}

MonsimProcess::~MonsimProcess()
{
    StopProcess(pid_);
}

std::string MonsimProcess::address() const
{
    bool ipv6 = bind_.find(':') != std::string::npos;
    return (ipv6 ? "[" + bind_ + "]:" : bind_ + ":") + std::to_string(port_);
}

std::vector<std::string> MonsimProcess::requests() const
{
    std::vector<std::string> lines;
    std::ifstream in(logPath_);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

int MonsimProcess::listRequests() const
{
    std::vector<std::string> lines = requests();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("request type=2", 0) == 0;
    }));
}
