#pragma once
// Runs the Python helpers of this folder from tests: servers on 127.0.0.1 that report the port
// they chose and are always stopped (on destruction, and by themselves when the test process
// goes away), and one-shot scripts with a time limit.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace brindle::test {

inline std::string HelperScript(const std::string& name) {
    return std::string(BRINDLE_SOURCE_DIR) + "/tests/support/servers/" + name;
}

// Debian's interpreter: the one that has python3-pyftpdlib, whatever else is on the PATH.
inline std::string PythonInterpreter() {
    return access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
}

// Starts Script with Arguments; the child's standard input and output are pipes whose other
// ends are returned. -1 when the process could not start.
inline pid_t SpawnPython(const std::string& script, const std::vector<std::string>& arguments, int& toChild,
                         int& fromChild) {
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0) return -1;
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        return -1;
    }
    // -B: no byte-code caches in the source tree.
    std::vector<std::string> words{PythonInterpreter(), "-B", HelperScript(script)};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    toChild = in[1];
    fromChild = out[0];
    return pid;
}

// Waits up to Limit for the child; kills it when it overstays. Returns its exit status or -1.
inline int ReapChild(pid_t pid, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs a helper script to its end (at most 30 s); true when it exited with 0.
inline bool RunHelper(const std::string& script, const std::vector<std::string>& arguments) {
    int toChild = -1, fromChild = -1;
    const pid_t pid = SpawnPython(script, arguments, toChild, fromChild);
    if (toChild >= 0) close(toChild);
    if (fromChild >= 0) close(fromChild);
    return pid > 0 && ReapChild(pid, std::chrono::seconds(30)) == 0;
}

class TServerProcess {
public:
    TServerProcess(const std::string& script, const std::vector<std::string>& arguments) {
        pid_ = SpawnPython(script, arguments, toChild_, fromChild_);
        if (pid_ > 0) port_ = ReadPort();
    }
    ~TServerProcess() { Stop(); }
    TServerProcess(const TServerProcess&) = delete;
    TServerProcess& operator=(const TServerProcess&) = delete;

    // The port the server listens on, 0 when it did not start.
    int Port() const { return port_; }

    void Stop() {
        if (toChild_ >= 0) close(toChild_);  // the server leaves when its input closes
        if (fromChild_ >= 0) close(fromChild_);
        toChild_ = fromChild_ = -1;
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            ReapChild(pid_, std::chrono::seconds(3));
        }
        pid_ = -1;
    }

private:
    int ReadPort() {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (line.find('\n') == std::string::npos) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return 0;
            pollfd fd{fromChild_, POLLIN, 0};
            if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) return 0;
            char buffer[64];
            const ssize_t got = read(fromChild_, buffer, sizeof buffer);
            if (got <= 0) return 0;
            line.append(buffer, static_cast<size_t>(got));
        }
        return std::atoi(line.c_str());
    }

    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    int port_ = 0;
};

}  // namespace brindle::test
