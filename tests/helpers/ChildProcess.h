#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace velmora::testing {

// Another program, started with pipes on its standard input and output. Closing its input tells
// the helper programs of these tests to end.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // One line of its output, without the line feed; empty on end of output or timeout.
    std::string readLine(std::chrono::milliseconds timeout);
    void closeInput();
    // Waits for the end and returns the exit status (or -1).
    int wait();

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string pending_;
};

} // namespace velmora::testing
