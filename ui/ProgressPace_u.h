#pragma once
// How often a job's progress reaches the window: a job reports many times a second, and
// letting the window repaint on each report would make the job wait for it.
#include <chrono>
#include <functional>
#include <optional>
#include <utility>

namespace brindle {

class TProgressPace {
public:
    using TClock = std::chrono::steady_clock;
    // About 30 times a second.
    static constexpr TClock::duration kInterval = std::chrono::milliseconds(33);

    explicit TProgressPace(TClock::duration interval = kInterval) : interval_(interval) {}

    // True the first time and then once an interval has passed since it was last true.
    bool Due() { return Due(now_()); }
    bool Due(TClock::time_point now);
    // Where Due() reads the time; tests pass their own clock.
    void SetClock(std::function<TClock::time_point()> now) { now_ = std::move(now); }
    // The next call is due.
    void Restart() { last_.reset(); }

private:
    TClock::duration interval_;
    std::optional<TClock::time_point> last_;
    std::function<TClock::time_point()> now_ = [] { return TClock::now(); };
};

}  // namespace brindle
