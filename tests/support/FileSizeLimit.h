#pragma once
// Runs a piece of code in a forked child whose files may not grow beyond a limit, the way a
// full disk (or `ulimit -f`) makes writes fail. The child ignores SIGXFSZ as the program
// does, so writes past the limit fail with EFBIG. The text the code returns comes back.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <functional>
#include <string>

namespace brindle::test {

inline std::string RunWithFileSizeLimit(rlim_t limitBytes, const std::function<std::string()>& body) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return "<no pipe>";
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{limitBytes, limitBytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string text;
        try {
            text = body();
        } catch (const std::exception& e) {
            text = std::string("exception: ") + e.what();
        } catch (...) {
            text = "exception";
        }
        std::size_t sent = 0;
        while (sent < text.size()) {
            const ssize_t n = write(pipeEnds[1], text.data() + sent, text.size() - sent);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string result;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) result.append(buffer, static_cast<std::size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status)) return "<child died>" + result;
    return result;
}

}  // namespace brindle::test
