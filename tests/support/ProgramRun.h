#pragma once
// Runs the built program as cron would: no screen (QT_QPA_PLATFORM=offscreen), its own user
// folder, standard output and error into one file, killed when it has not ended in time.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/AppPaths.h"

namespace brindle::test {

// The path of the built program beside the test programs: <build>/tests -> <build>/bin.
inline std::string ProgramPath() { return AppPaths::ExecutableDir() + "../bin/brindle-analyzer"; }

struct TProgramRun {
    bool Ended = false;  // false: it had to be killed at the deadline
    int ExitStatus = -1;  // when it exited
    int Signal = 0;  // when a signal ended it
    double Seconds = 0;
};

struct TProgramRunOptions {
    std::chrono::seconds Deadline{120};
    rlim_t FileSizeLimit = RLIM_INFINITY;  // `ulimit -f`, in bytes
};

inline TProgramRun RunBuiltProgram(const std::string& home, const std::vector<std::string>& arguments,
                                   const std::string& logFile, const TProgramRunOptions& options = {}) {
    const std::string program = ProgramPath();
    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    // Everything the child needs is made before the fork: only exec-safe calls after it.
    std::vector<std::string> env{"BRINDLE_ANALYZER_HOME=" + home, "QT_QPA_PLATFORM=offscreen"};
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view text(*entry);
        if (!text.starts_with("BRINDLE_ANALYZER_HOME=") && !text.starts_with("QT_QPA_PLATFORM="))
            env.emplace_back(text);
    }
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    const rlimit limit{options.FileSizeLimit, options.FileSizeLimit};
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (log >= 0) {
            dup2(log, 1);
            dup2(log, 2);
        }
        // No terminal to read from either, as under cron.
        const int null = open("/dev/null", O_RDONLY);
        if (null >= 0) dup2(null, 0);
        // Set last: the log itself must still open.
        if (options.FileSizeLimit != RLIM_INFINITY) setrlimit(RLIMIT_FSIZE, &limit);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    TProgramRun run;
    if (child < 0) return run;
    const auto deadline = start + options.Deadline;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.Ended = true;
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (WIFEXITED(status)) run.ExitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.Signal = WTERMSIG(status);
    return run;
}

}  // namespace brindle::test
