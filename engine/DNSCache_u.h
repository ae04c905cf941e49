#pragma once
// Host names of client addresses, kept between runs in "dns.dat" and refreshed by parallel
// reverse lookups.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/DateTime_u.h"
#include "engine/ProgressEvent.h"

namespace brindle {

class TOptions;
class IReverseResolver;
class TDNSLookup;

// An error of the reverse-DNS step; its message is shown to the user unchanged.
class EDNSLookup : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TRecDNS {
    std::uint32_t Address = 0;  // IPv4 number in network byte order
    TSeconds LookupTime = 0;  // 0 for an entry not looked up yet
    std::string HostName;  // empty when the lookup found none

    friend bool operator==(const TRecDNS&, const TRecDNS&) = default;
};

class TLstDNS {
public:
    void Add(TRecDNS entry);
    void Clear();
    std::size_t Count() const { return items_.size(); }
    const TRecDNS& Get(std::size_t position) const { return items_.at(position); }
    const std::vector<TRecDNS>& Items() const { return items_; }
    // The first entry with that address, or null.
    const TRecDNS* FindByAddress(std::uint32_t address) const;
    // Gives the first entry with that address the lookup's result; false when there is none.
    bool Update(std::uint32_t address, TSeconds lookupTime, const std::string& hostName);

private:
    std::vector<TRecDNS> items_;
    std::unordered_map<std::uint32_t, std::size_t> first_;  // address -> position of its first entry
};

using TDNSClock = std::function<TSeconds()>;

class TDNSCache {
public:
    // A null resolver means the system's; a null clock means NowLocal.
    explicit TDNSCache(std::shared_ptr<const IReverseResolver> resolver = nullptr, TDNSClock clock = nullptr);

    TLstDNS Cache;
    // Called on the thread that runs Resolve, never from a worker.
    TProgressInfoEvent OnProgress;

    // Empties Cache and reads the file; true when the count and every entry were read. A
    // file that cannot be read leaves Cache as it was; a short or corrupt one keeps the
    // entries read before the fault.
    // Why, when given, gets the reason of a failure.
    bool LoadFromFile(const std::string& fileName, std::string* why = nullptr);
    // Replaces the file atomically; false (earlier file untouched) when it cannot be written,
    // with the system's reason in Why when given.
    bool SaveToFile(const std::string& fileName, std::string* why = nullptr) const;
    void Clear() { Cache.Clear(); }

    // Looks up every dotted-quad text without an entry younger than CacheDays days, at most
    // MaxThreads at a time, waiting on the calling thread and reporting progress there. Other
    // texts are never looked up. Returns true and merges the results into Cache when the lookup
    // ran to its end; a cancelled lookup merges nothing and returns false, at the latest
    // CancelTimeoutMs milliseconds after the cancel was seen. Raises EDNSLookup when the
    // lookup threads cannot be started.
    bool Resolve(const std::vector<std::string>& addresses, int maxThreads, int cacheDays, int cancelTimeoutMs);
    // Safe from any thread, including from inside OnProgress. Once it returns, the running
    // lookup starts no further worker.
    void Cancel();

    bool Cancelled() const { return cancelled_.load(); }
    int PendingCount() const { return pendingCount_; }

private:
    void ReportProgress(int doneCount) const;
    void Merge(const std::vector<TRecDNS>& results);

    std::shared_ptr<const IReverseResolver> resolver_;
    TDNSClock clock_;
    std::atomic<bool> cancelled_{false};
    // The lookup Resolve is running, for Cancel to stop at once.
    std::mutex lookupLock_;
    TDNSLookup* lookup_ = nullptr;
    int pendingCount_ = 0;
};

// Receives the cached name of the host at Position of the list given to ResolveHosts.
using THostRename = std::function<void(std::size_t position, const std::string& hostName)>;

// The whole reverse-DNS step of an analysis. Hosts holds the distinct host texts in
// host-index order (texts that are not dotted quads are passed over). The cache is loaded
// from DnsCacheFile, the missing names are looked up with the options' NbThread, CacheDays
// and Timeout while DNSBusy is set, the cache is saved again, and Rename is called for every
// dotted-quad host with a non-empty cached name, also after a cancelled lookup. The cache is
// empty again on the way out, whatever happens. Returns the message of a cache that could
// not be saved (the analysis goes on: it costs only lookups next time); empty when saved.
std::string ResolveHosts(TDNSCache& cache, const std::string& dnsCacheFile, const std::vector<std::string>& hosts,
                         const TOptions& options, const TProgressInfoEvent& onProgress, std::atomic<bool>& dnsBusy,
                         const THostRename& rename);

}  // namespace brindle
