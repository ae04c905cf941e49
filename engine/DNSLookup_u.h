#pragma once
// Parallel reverse lookups: one controller thread starts a short-lived worker per address,
// at most MaxThreads at once. Workers only queue their reports; the caller collects them on
// its own thread, so no worker ever waits for the caller.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/DNSCache_u.h"

namespace brindle {

// The message of EDNSLookup when the lookup threads cannot be started.
inline constexpr const char* kDNSStartFailed = "Unable to start the reverse DNS lookup.";

class IReverseResolver {
public:
    virtual ~IReverseResolver() = default;
    // The host name of an IPv4 address in network byte order; empty when it has none.
    // Called from many workers at once.
    virtual std::string Lookup(std::uint32_t address) const = 0;
};

// The system resolver through getnameinfo (thread-safe); an address without a name gives
// empty text, never the address itself.
class TSystemResolver final : public IReverseResolver {
public:
    std::string Lookup(std::uint32_t address) const override;
};

// What the controller and its workers share; they keep it alive after an abandoned lookup.
struct TDNSLookupShared;

class TDNSLookup {
public:
    // Starts the controller over Pending (entries with their Address set). Raises EDNSLookup
    // when its thread cannot be started.
    TDNSLookup(std::vector<TRecDNS> pending, int maxThreads, std::shared_ptr<const IReverseResolver> resolver,
               TDNSClock clock);
    // Requests termination; waits for a controller that has ended, leaves a running one to
    // finish on its own.
    ~TDNSLookup();
    TDNSLookup(const TDNSLookup&) = delete;
    TDNSLookup& operator=(const TDNSLookup&) = delete;

    // No worker starts after this; running ones finish and report.
    void Terminate();
    // Waits at most Wait for a report or the end, then appends the done counts reported since
    // the last call. True once the controller has ended and every report was handed over.
    bool WaitForReports(std::chrono::milliseconds wait, std::vector<int>& doneCounts);
    // True when a worker could not be started (the lookup then ends early).
    bool StartFailed() const;
    // The pending entries with their lookup time and name; empty before the end.
    std::vector<TRecDNS> TakeResults();

private:
    std::shared_ptr<TDNSLookupShared> shared_;
    std::thread controller_;
};

}  // namespace brindle
