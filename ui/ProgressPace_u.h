#pragma once
// How often a job's progress reaches the window: a job reports many times a second, and
// letting the window repaint on each report would make the job wait for it.
#include <chrono>
#include <optional>

namespace brindle {

class TProgressPace {
public:
    using TClock = std::chrono::steady_clock;
    // About 30 times a second.
    static constexpr TClock::duration kInterval = std::chrono::milliseconds(33);

    explicit TProgressPace(TClock::duration interval = kInterval) : interval_(interval) {}

    // True the first time and then once an interval has passed since it was last true.
    bool Due(TClock::time_point now = TClock::now());
    // The next call is due.
    void Restart() { last_.reset(); }

private:
    TClock::duration interval_;
    std::optional<TClock::time_point> last_;
};

}  // namespace brindle
