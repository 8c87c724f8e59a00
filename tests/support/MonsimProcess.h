// Starts vantor-monsim on a free loopback port for one test and stops it afterwards.
#ifndef VANTOR_TEST_MONSIM_PROCESS_H
#define VANTOR_TEST_MONSIM_PROCESS_H

#include <string>
#include <vector>
#include <sys/types.h>

class MonsimProcess {
public:
    // args are passed to vantor-monsim after "--bind <bind> --port <free port>",
    // for example {"--script", path} or {"--connections", "30", "--seed", "7"}; bind is
    // 127.0.0.1 or ::1.
    explicit MonsimProcess(const std::vector<std::string>& args,
                           const std::string& bind = "127.0.0.1");
    ~MonsimProcess();
    MonsimProcess(const MonsimProcess&) = delete;
    MonsimProcess& operator=(const MonsimProcess&) = delete;

    int port() const { return port_; }
    // "127.0.0.1:<port>" or "[::1]:<port>", the server name to open.
    std::string address() const;
    // Lines the simulator wrote to its request log ("request type=2 all=0", ...).
    std::vector<std::string> requests() const;
    // How many of them asked for the connection list: one for each poll.
    int listRequests() const;
    // Writes text to a fresh file in a private temporary directory and returns its path.
    static std::string writeTempFile(const std::string& name, const std::string& text);

private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string bind_;
    std::string logPath_;
};

// Starts a program in the background, its standard error appended to errorFile when one is
// given; it dies with the test. The child's process id.
pid_t StartProcess(std::vector<std::string> argv, const std::string& errorFile = "");
// Stops a process so started with SIGTERM; true when it exited with status 0.
bool StopProcess(pid_t pid);

#endif
