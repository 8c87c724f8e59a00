// Runs a program to its end and collects its exit status and output.
#ifndef VANTOR_TEST_RUN_PROCESS_H
#define VANTOR_TEST_RUN_PROCESS_H

#include <string>
#include <vector>

struct ProcessResult {
    int exitStatus = -1; // the exit status, or -1 if the program did not exit normally
    std::string out;     // standard output
    std::string err;     // standard error
};

// env entries "NAME=value" are set and entries "NAME" are removed from the environment the
// program inherits. A program still running after timeoutSeconds is killed.
ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::vector<std::string>& env = {}, int timeoutSeconds = 60);

// In a child before exec: sets the "NAME=value" entries and removes the "NAME" ones.
void ApplyEnvironment(const std::vector<std::string>& env);

#endif
