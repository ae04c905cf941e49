#include "engine/DNSCache_u.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <unordered_set>
#include <utility>

#include "core/BinaryStream_u.h"
#include "core/CommonUtils_u.h"
#include "core/Options_u.h"
#include "core/SafeFile_u.h"
#include "core/SafeFormat_u.h"
#include "engine/DNSLookup_u.h"

namespace brindle {

namespace {

constexpr std::chrono::milliseconds kPollInterval{100};

// Forgets the running lookup before it is destroyed, whichever way Resolve leaves.
class TLookupRegistration {
public:
    TLookupRegistration(std::mutex& lock, TDNSLookup*& lookup) : lock_(lock), lookup_(lookup) {}
    ~TLookupRegistration() {
        const std::lock_guard guard(lock_);
        lookup_ = nullptr;
    }
    TLookupRegistration(const TLookupRegistration&) = delete;
    TLookupRegistration& operator=(const TLookupRegistration&) = delete;

private:
    std::mutex& lock_;
    TDNSLookup*& lookup_;
};

}  // namespace

// ---- TLstDNS ----

void TLstDNS::Add(TRecDNS entry) {
    first_.try_emplace(entry.Address, items_.size());
    items_.push_back(std::move(entry));
}

void TLstDNS::Clear() {
    items_.clear();
    first_.clear();
}

const TRecDNS* TLstDNS::FindByAddress(std::uint32_t address) const {
    const auto found = first_.find(address);
    return found == first_.end() ? nullptr : &items_[found->second];
}

bool TLstDNS::Update(std::uint32_t address, TSeconds lookupTime, const std::string& hostName) {
    const auto found = first_.find(address);
    if (found == first_.end()) return false;
    TRecDNS& entry = items_[found->second];
    entry.LookupTime = lookupTime;
    entry.HostName = hostName;
    return true;
}

// ---- TDNSCache ----

TDNSCache::TDNSCache(std::shared_ptr<const IReverseResolver> resolver, TDNSClock clock)
    : resolver_(resolver ? std::move(resolver) : std::make_shared<TSystemResolver>()),
      clock_(clock ? std::move(clock) : TDNSClock(NowLocal)) {}

bool TDNSCache::LoadFromFile(const std::string& fileName, std::string* why) {
    const auto fail = [why](std::string reason) {
        if (why) *why = std::move(reason);
        return false;
    };
    std::string bytes;
    errno = 0;
    if (!ReadWholeFile(fileName, bytes)) return fail(errno == 0 ? "Unknown error" : std::strerror(errno));
    Cache.Clear();
    TBinaryReader reader(bytes);
    std::int32_t count = 0;
    if (!reader.ReadI32(count)) return fail("The file is too short for its entry count");
    for (std::int32_t i = 0; i < count; ++i) {
        TRecDNS entry;
        double lookupTime = 0;
        if (!reader.ReadU32(entry.Address) || !reader.ReadDouble(lookupTime) ||
            !ReadStreamString(reader, entry.HostName))
            return fail(
                SafeFormat("Entry %d of %d is cut short or damaged", {std::to_string(i + 1), std::to_string(count)}));
        entry.LookupTime = DateTimeToSeconds(lookupTime);
        Cache.Add(std::move(entry));
    }
    return true;
}

bool TDNSCache::SaveToFile(const std::string& fileName, std::string* why) const {
    TBinaryWriter writer;
    writer.WriteI32(static_cast<std::int32_t>(Cache.Count()));
    for (const TRecDNS& entry : Cache.Items()) {
        writer.WriteU32(entry.Address);
        writer.WriteDouble(SecondsToDateTime(entry.LookupTime));
        WriteStreamString(writer, entry.HostName);
    }
    TAtomicFile file;
    if (file.Open(fileName) && file.Write(writer.Data()) && file.Commit()) return true;
    if (why) *why = file.ErrorText();
    return false;
}

bool TDNSCache::Resolve(const std::vector<std::string>& addresses, int maxThreads, int cacheDays, int cancelTimeoutMs) {
    // First, so that a cancel arriving while the list is built is not wiped out afterwards.
    cancelled_.store(false);
    const TSeconds now = clock_();
    const TSeconds freshFor = static_cast<TSeconds>(cacheDays) * kSecondsPerDay;
    std::vector<TRecDNS> pending;
    std::unordered_set<std::uint32_t> seen;
    for (const std::string& text : addresses) {
        const std::uint32_t address = IPToLong(text);
        if (address == kIPNone || !seen.insert(address).second) continue;
        const TRecDNS* cached = Cache.FindByAddress(address);
        if (cached && freshFor > now - cached->LookupTime) continue;
        pending.push_back(TRecDNS{address, 0, {}});
    }

    pendingCount_ = static_cast<int>(pending.size());
    std::optional<TDNSLookup> started;
    {
        // Under the lock that Cancel takes: a cancel either comes before (and no lookup
        // starts) or reaches this lookup through lookup_.
        std::lock_guard lock(lookupLock_);
        if (cancelled_.load()) return false;
        started.emplace(std::move(pending), maxThreads, resolver_, clock_);
        lookup_ = &*started;
    }
    const TLookupRegistration registration(lookupLock_, lookup_);
    TDNSLookup& lookup = *started;

    using Clock = std::chrono::steady_clock;
    std::optional<Clock::time_point> giveUpAt;
    std::vector<int> reports;
    bool ended = false;
    while (!ended) {
        if (cancelled_.load() && !giveUpAt) {
            lookup.Terminate();
            giveUpAt = Clock::now() + std::chrono::milliseconds(std::max(0, cancelTimeoutMs));
        }
        auto wait = kPollInterval;
        if (giveUpAt) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*giveUpAt - Clock::now());
            if (left <= std::chrono::milliseconds::zero()) break;  // running workers are left behind
            wait = std::min(wait, left);
        }
        ended = lookup.WaitForReports(wait, reports);
        // Outside the lock: the callback may pump the caller's events and cancel from there.
        for (const int doneCount : reports) ReportProgress(doneCount);
        reports.clear();
    }
    if (lookup.StartFailed()) throw EDNSLookup(kDNSStartFailed);
    // Also a cancel that came with the last report: the user asked for nothing to change.
    if (giveUpAt || cancelled_.load()) return false;
    Merge(lookup.TakeResults());
    return true;
}

void TDNSCache::Cancel() {
    const std::lock_guard lock(lookupLock_);
    cancelled_.store(true);
    if (lookup_) lookup_->Terminate();
}

void TDNSCache::ReportProgress(int doneCount) const {
    if (!OnProgress) return;
    if (cancelled_.load()) {
        OnProgress(this, 100, "DNS Lookup : Canceling...");
        return;
    }
    const int percent =
        pendingCount_ == 0 ? 100 : static_cast<int>(static_cast<std::int64_t>(doneCount) * 100 / pendingCount_);
    OnProgress(this, percent, SafeFormat("DNS Lookup : %d of %d", {doneCount, pendingCount_}));
}

void TDNSCache::Merge(const std::vector<TRecDNS>& results) {
    for (const TRecDNS& result : results)
        if (!Cache.Update(result.Address, result.LookupTime, result.HostName)) Cache.Add(result);
}

// ---- The reverse-DNS step of an analysis ----

namespace {

// Clears the busy flag and empties the cache however the step ends.
class TResolveScope {
public:
    TResolveScope(TDNSCache& cache, std::atomic<bool>& busy) : cache_(cache), busy_(busy) {}
    ~TResolveScope() {
        busy_.store(false);
        cache_.Clear();
    }
    TResolveScope(const TResolveScope&) = delete;
    TResolveScope& operator=(const TResolveScope&) = delete;

private:
    TDNSCache& cache_;
    std::atomic<bool>& busy_;
};

}  // namespace

std::string ResolveHosts(TDNSCache& cache, const std::string& dnsCacheFile, const std::vector<std::string>& hosts,
                         const TOptions& options, const TProgressInfoEvent& onProgress, std::atomic<bool>& dnsBusy,
                         const THostRename& rename) {
    TResolveScope scope(cache, dnsBusy);
    cache.Clear();
    cache.LoadFromFile(dnsCacheFile);  // a missing or damaged file only means more lookups
    cache.OnProgress = onProgress;
    dnsBusy.store(true);
    cache.Resolve(hosts, options.NbThread, options.CacheDays, options.Timeout);
    dnsBusy.store(false);
    std::string reason;
    std::string failure;
    if (!cache.SaveToFile(dnsCacheFile, &reason)) failure = WriteFailureText(dnsCacheFile, reason);
    for (std::size_t position = 0; position < hosts.size(); ++position) {
        const std::uint32_t address = IPToLong(hosts[position]);
        if (address == kIPNone) continue;
        const TRecDNS* entry = cache.Cache.FindByAddress(address);
        if (entry && !entry->HostName.empty() && rename) rename(position, entry->HostName);
    }
    return failure;
}

}  // namespace brindle
