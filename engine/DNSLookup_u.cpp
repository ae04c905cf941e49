#include "engine/DNSLookup_u.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <utility>

namespace brindle {

std::string TSystemResolver::Lookup(std::uint32_t address) const {
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    std::memcpy(&socketAddress.sin_addr, &address, sizeof address);  // already in network order
    char host[NI_MAXHOST] = {};
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress), sizeof socketAddress, host, sizeof host, nullptr,
                    0, NI_NAMEREQD) != 0)
        return {};
    return host;
}

struct TDNSLookupShared {
    std::mutex DNSLock;
    // Signalled when a worker reports, on termination and at the end.
    std::condition_variable Changed;
    std::vector<TRecDNS> Pending;
    std::shared_ptr<const IReverseResolver> Resolver;
    TDNSClock Clock;
    int MaxThreads = 1;
    // Guarded by DNSLock from here on.
    int Running = 0;
    int DoneCount = 0;
    std::vector<int> Reports;
    bool Terminated = false;
    bool StartFailed = false;
    bool Ended = false;
};

namespace {

void RunWorker(const std::shared_ptr<TDNSLookupShared>& shared, std::size_t index, std::uint32_t address) {
    std::string hostName;
    try {
        hostName = shared->Resolver->Lookup(address);
    } catch (...) {
        hostName.clear();  // a resolver that fails counts as no name
    }
    const TSeconds now = shared->Clock();
    {
        std::lock_guard lock(shared->DNSLock);
        TRecDNS& entry = shared->Pending[index];
        entry.LookupTime = now;
        entry.HostName = std::move(hostName);
        ++shared->DoneCount;
        shared->Reports.push_back(shared->DoneCount);
        --shared->Running;
    }
    shared->Changed.notify_all();
}

void RunController(std::shared_ptr<TDNSLookupShared> shared) {
    std::unique_lock lock(shared->DNSLock);
    for (std::size_t i = 0; i < shared->Pending.size(); ++i) {
        shared->Changed.wait(lock, [&] { return shared->Terminated || shared->Running < shared->MaxThreads; });
        if (shared->Terminated) break;
        try {
            std::thread(RunWorker, shared, i, shared->Pending[i].Address).detach();
        } catch (const std::system_error&) {
            shared->StartFailed = true;
            break;
        }
        ++shared->Running;
    }
    // Workers report into Pending: the end may only be announced once the last has left.
    shared->Changed.wait(lock, [&] { return shared->Running == 0; });
    shared->Ended = true;
    lock.unlock();
    shared->Changed.notify_all();
}

}  // namespace

TDNSLookup::TDNSLookup(std::vector<TRecDNS> pending, int maxThreads, std::shared_ptr<const IReverseResolver> resolver,
                       TDNSClock clock)
    : shared_(std::make_shared<TDNSLookupShared>()) {
    shared_->Pending = std::move(pending);
    shared_->Resolver = std::move(resolver);
    shared_->Clock = std::move(clock);
    // With no worker allowed the controller would wait for ever.
    shared_->MaxThreads = std::max(1, maxThreads);
    try {
        controller_ = std::thread(RunController, shared_);
    } catch (const std::system_error&) {
        throw EDNSLookup(kDNSStartFailed);
    }
}

TDNSLookup::~TDNSLookup() {
    Terminate();
    bool ended = false;
    {
        std::lock_guard lock(shared_->DNSLock);
        ended = shared_->Ended;
    }
    // A worker may hang in the resolver: never wait for one here. The threads own the
    // shared state, so what they still write stays valid.
    if (ended)
        controller_.join();
    else
        controller_.detach();
}

void TDNSLookup::Terminate() {
    {
        std::lock_guard lock(shared_->DNSLock);
        shared_->Terminated = true;
    }
    shared_->Changed.notify_all();
}

bool TDNSLookup::WaitForReports(std::chrono::milliseconds wait, std::vector<int>& doneCounts) {
    std::unique_lock lock(shared_->DNSLock);
    shared_->Changed.wait_for(lock, wait, [&] { return !shared_->Reports.empty() || shared_->Ended; });
    doneCounts.insert(doneCounts.end(), shared_->Reports.begin(), shared_->Reports.end());
    shared_->Reports.clear();
    return shared_->Ended;
}

bool TDNSLookup::StartFailed() const {
    std::lock_guard lock(shared_->DNSLock);
    return shared_->StartFailed;
}

std::vector<TRecDNS> TDNSLookup::TakeResults() {
    std::lock_guard lock(shared_->DNSLock);
    if (!shared_->Ended) return {};  // workers may still write into Pending
    return std::move(shared_->Pending);
}

}  // namespace brindle
