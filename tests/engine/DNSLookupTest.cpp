#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/CommonUtils_u.h"
#include "core/Options_u.h"
#include "engine/DNSCache_u.h"
#include "engine/DNSLookup_u.h"
#include "support/TestFolder.h"

using namespace brindle;
using namespace std::chrono_literals;
using test::TestFolder;
using Strings = std::vector<std::string>;

namespace {

const TSeconds kNow = EncodeDateTime(2024, 5, 1, 12, 0, 0);
TSeconds FixedNow() { return kNow; }

// Answers from a table after a delay; gated addresses block until Release. Counts the
// lookups running at once and every call.
class FakeResolver : public IReverseResolver {
public:
    std::map<std::uint32_t, std::string> Names;
    std::map<std::uint32_t, std::chrono::milliseconds> Delays;
    std::chrono::milliseconds DefaultDelay{0};
    std::set<std::uint32_t> Gated;

    std::string Lookup(std::uint32_t address) const override {
        const int now = ++running_;
        int seen = maxRunning_.load();
        while (now > seen && !maxRunning_.compare_exchange_weak(seen, now)) {
        }
        {
            std::unique_lock lock(mutex_);
            calls_.push_back(address);
            called_.notify_all();
            if (Gated.count(address)) gate_.wait(lock, [&] { return released_; });
        }
        const auto delay = Delays.count(address) ? Delays.at(address) : DefaultDelay;
        std::this_thread::sleep_for(delay);
        --running_;
        {
            std::lock_guard lock(mutex_);
            ++returns_;
        }
        returned_.notify_all();
        return Names.count(address) ? Names.at(address) : std::string();
    }

    void Release() {
        {
            std::lock_guard lock(mutex_);
            released_ = true;
        }
        gate_.notify_all();
    }
    int MaxRunning() const { return maxRunning_.load(); }
    // Lookups inside the resolver right now (a gated one counts until released).
    int Running() const { return running_.load(); }
    void WaitForCalls(std::size_t count) const {
        std::unique_lock lock(mutex_);
        called_.wait(lock, [&] { return calls_.size() >= count; });
    }
    // Waits until Count lookups have left the resolver.
    void WaitForReturns(std::size_t count) const {
        std::unique_lock lock(mutex_);
        returned_.wait(lock, [&] { return returns_ >= count; });
    }
    std::vector<std::uint32_t> Calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }

private:
    mutable std::atomic<int> running_{0};
    mutable std::atomic<int> maxRunning_{0};
    mutable std::mutex mutex_;
    mutable std::condition_variable gate_;
    mutable std::condition_variable called_;
    mutable std::condition_variable returned_;
    mutable std::vector<std::uint32_t> calls_;
    mutable std::size_t returns_ = 0;
    bool released_ = false;
};

// Lets a gated resolver go if the test has not reached its end within a minute, so that a
// Resolve that waits for stuck workers fails the test instead of hanging it.
class TReleaseUnlessReturned {
public:
    explicit TReleaseUnlessReturned(FakeResolver& resolver)
        : thread_([this, &resolver] {
              std::unique_lock lock(mutex_);
              if (!done_.wait_for(lock, 60s, [this] { return returned_; })) resolver.Release();
          }) {}
    ~TReleaseUnlessReturned() {
        {
            std::lock_guard lock(mutex_);
            returned_ = true;
        }
        done_.notify_all();
        thread_.join();
    }
    TReleaseUnlessReturned(const TReleaseUnlessReturned&) = delete;
    TReleaseUnlessReturned& operator=(const TReleaseUnlessReturned&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool returned_ = false;
    std::thread thread_;
};

struct Report {
    const void* Sender;
    int Value;
    std::string Text;
    std::thread::id Thread;
};

// Records every progress report; Hook runs after recording, on the reporting thread.
struct Recorder {
    std::vector<Report> Reports;
    std::function<void(const Report&)> Hook;

    TProgressInfoEvent Event() {
        return [this](const void* sender, int value, const std::string& text) {
            Reports.push_back({sender, value, text, std::this_thread::get_id()});
            if (Hook) Hook(Reports.back());
        };
    }
};

Strings Quads(int count, int first = 1) {
    Strings texts;
    for (int i = 0; i < count; ++i) texts.push_back("10.0.0." + std::to_string(first + i));
    return texts;
}

std::set<std::uint32_t> Addresses(const Strings& texts) {
    std::set<std::uint32_t> result;
    for (const std::string& text : texts) result.insert(IPToLong(text));
    return result;
}

// A lookup left behind by a cancel still runs; once released, its threads must let go of
// everything, which shows in the resolver's use count (Owners: the references outside it).
void ExpectAbandonedThreadsFinish(const std::shared_ptr<FakeResolver>& resolver, long owners = 1) {
    resolver->Release();
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (resolver.use_count() > owners && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(resolver.use_count(), owners) << "the abandoned lookup kept its shared state";
}

std::set<std::uint32_t> CallSet(const FakeResolver& resolver) {
    const std::vector<std::uint32_t> calls = resolver.Calls();
    return {calls.begin(), calls.end()};
}

TOptions DnsOptions(int nbThread, int cacheDays, int timeout) {
    TOptions options;
    options.NbThread = nbThread;
    options.CacheDays = cacheDays;
    options.Timeout = timeout;
    return options;
}

}  // namespace

TEST(DNSLookup, TwoWorkersFiveAddressesProgress) {
    auto resolver = std::make_shared<FakeResolver>();
    resolver->DefaultDelay = 30ms;
    const Strings texts = Quads(5);
    for (const std::string& text : texts) resolver->Names[IPToLong(text)] = "host-" + text;
    TDNSCache cache(resolver, FixedNow);
    Recorder recorder;
    cache.OnProgress = recorder.Event();

    EXPECT_TRUE(cache.Resolve(texts, 2, 30, 5000));

    EXPECT_EQ(resolver->MaxRunning(), 2);
    ASSERT_EQ(recorder.Reports.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        const Report& report = recorder.Reports[i];
        EXPECT_EQ(report.Text, "DNS Lookup : " + std::to_string(i + 1) + " of 5");
        EXPECT_EQ(report.Value, (i + 1) * 20);
        EXPECT_EQ(report.Sender, &cache);
        EXPECT_EQ(report.Thread, std::this_thread::get_id()) << "progress must reach the caller's thread";
    }
    ASSERT_EQ(cache.Cache.Count(), 5u);
    for (const std::string& text : texts) {
        const TRecDNS* entry = cache.Cache.FindByAddress(IPToLong(text));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->HostName, "host-" + text);
        EXPECT_EQ(entry->LookupTime, kNow);
    }
}

TEST(DNSLookup, NeverMoreWorkersThanAllowed) {
    for (const int maxThreads : {1, 3, 8}) {
        auto resolver = std::make_shared<FakeResolver>();
        const Strings texts = Quads(24);
        for (std::size_t i = 0; i < texts.size(); ++i)
            resolver->Delays[IPToLong(texts[i])] = std::chrono::milliseconds(1 + (i * 7) % 15);
        TDNSCache cache(resolver, FixedNow);
        EXPECT_TRUE(cache.Resolve(texts, maxThreads, 30, 5000));
        EXPECT_LE(resolver->MaxRunning(), maxThreads);
        EXPECT_EQ(resolver->Calls().size(), texts.size());
        EXPECT_EQ(cache.Cache.Count(), texts.size());
    }
}

TEST(DNSLookup, NoWorkerAllowedStillLooksUpOneAtATime) {
    auto resolver = std::make_shared<FakeResolver>();
    TDNSCache cache(resolver, FixedNow);
    EXPECT_TRUE(cache.Resolve(Quads(3), 0, 30, 5000));
    EXPECT_EQ(resolver->MaxRunning(), 1);
    EXPECT_EQ(cache.Cache.Count(), 3u);
}

TEST(DNSLookup, FreshnessBoundary) {
    auto resolver = std::make_shared<FakeResolver>();
    TDNSCache cache(resolver, FixedNow);
    cache.Cache.Add({IPToLong("10.0.0.29"), kNow - 29 * kSecondsPerDay, "day29"});
    cache.Cache.Add({IPToLong("10.0.0.30"), kNow - 30 * kSecondsPerDay, "day30"});
    cache.Cache.Add({IPToLong("10.0.0.31"), kNow - 31 * kSecondsPerDay, "day31"});
    cache.Cache.Add({IPToLong("10.0.0.1"), kNow - 30 * kSecondsPerDay + 1, "almost30"});
    resolver->Names[IPToLong("10.0.0.30")] = "renamed30";

    EXPECT_TRUE(cache.Resolve({"10.0.0.29", "10.0.0.30", "10.0.0.31", "10.0.0.1", "10.0.0.99"}, 4, 30, 5000));

    EXPECT_EQ(CallSet(*resolver), Addresses({"10.0.0.30", "10.0.0.31", "10.0.0.99"}));
    // Looked-up entries are updated where they stand; only the new address is appended.
    ASSERT_EQ(cache.Cache.Count(), 5u);
    EXPECT_EQ(cache.Cache.Get(0), (TRecDNS{IPToLong("10.0.0.29"), kNow - 29 * kSecondsPerDay, "day29"}));
    EXPECT_EQ(cache.Cache.Get(1), (TRecDNS{IPToLong("10.0.0.30"), kNow, "renamed30"}));
    EXPECT_EQ(cache.Cache.Get(2), (TRecDNS{IPToLong("10.0.0.31"), kNow, ""}));
    EXPECT_EQ(cache.Cache.Get(3).HostName, "almost30");
    EXPECT_EQ(cache.Cache.Get(4), (TRecDNS{IPToLong("10.0.0.99"), kNow, ""}));
}

TEST(DNSLookup, FailedLookupIsCachedAndNotRetried) {
    auto resolver = std::make_shared<FakeResolver>();
    TDNSCache cache(resolver, FixedNow);
    EXPECT_TRUE(cache.Resolve({"192.0.2.1"}, 2, 30, 5000));
    ASSERT_EQ(cache.Cache.Count(), 1u);
    EXPECT_EQ(cache.Cache.Get(0), (TRecDNS{IPToLong("192.0.2.1"), kNow, ""}));

    Recorder recorder;
    cache.OnProgress = recorder.Event();
    EXPECT_TRUE(cache.Resolve({"192.0.2.1"}, 2, 30, 5000));
    EXPECT_EQ(resolver->Calls().size(), 1u);
    EXPECT_TRUE(recorder.Reports.empty());
}

TEST(DNSLookup, OnlyDottedQuadsAreLookedUp) {
    auto resolver = std::make_shared<FakeResolver>();
    TDNSCache cache(resolver, FixedNow);
    Recorder recorder;
    cache.OnProgress = recorder.Event();
    const Strings texts = {"",       ".",        "1.2.3",           "1.2.3.4.5", "01.2.3.4", "256.1.1.1",
                           "1..2.3", "1.2.3.4 ", "www.example.com", "12345",     "1.2.3.-4"};
    EXPECT_TRUE(cache.Resolve(texts, 4, 30, 5000));
    EXPECT_TRUE(resolver->Calls().empty());
    EXPECT_TRUE(recorder.Reports.empty());
    EXPECT_EQ(cache.Cache.Count(), 0u);
    EXPECT_EQ(cache.PendingCount(), 0);
}

TEST(DNSLookup, RepeatedTextIsLookedUpOnce) {
    auto resolver = std::make_shared<FakeResolver>();
    TDNSCache cache(resolver, FixedNow);
    EXPECT_TRUE(cache.Resolve({"10.1.1.1", "10.1.1.2", "10.1.1.1"}, 4, 30, 5000));
    EXPECT_EQ(resolver->Calls().size(), 2u);
    EXPECT_EQ(cache.Cache.Count(), 2u);
}

// Cancelled at the first report, with every slot taken by a lookup held in the resolver:
// once Cancel has returned, the slots those free are not refilled. The workers already
// running finish and report "Canceling...", and nothing is merged.
TEST(DNSLookup, CancelLetsRunningWorkersFinishAndMergesNothing) {
    // A slot freed before the cancel had reached the lookup was refilled only now and then:
    // some rounds make that show.
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        auto resolver = std::make_shared<FakeResolver>();
        const Strings texts = Quads(6);
        // All but the first stay in the resolver until the cancel is in.
        resolver->Gated = Addresses({texts[1], texts[2], texts[3], texts[4], texts[5]});
        for (const std::string& text : texts) resolver->Names[IPToLong(text)] = "name";
        TDNSCache cache(resolver, FixedNow);
        const TRecDNS stale{IPToLong(texts[1]), kNow - 90 * kSecondsPerDay, "stale"};
        cache.Cache.Add(stale);
        Recorder recorder;
        std::size_t callsAtCancel = 0;
        recorder.Hook = [&](const Report&) {
            if (recorder.Reports.size() > 1) return;
            // The first worker has left its slot to the fourth address: three are held now.
            resolver->WaitForCalls(4);
            cache.Cancel();
            callsAtCancel = resolver->Calls().size();
            resolver->Release();
            // The freed slots are there to be refilled before this report returns.
            resolver->WaitForReturns(4);
        };
        cache.OnProgress = recorder.Event();
        const TReleaseUnlessReturned watchdog(*resolver);

        EXPECT_FALSE(cache.Resolve(texts, 3, 30, 60000));

        EXPECT_EQ(callsAtCancel, 4u);
        EXPECT_EQ(resolver->Calls().size(), 4u) << "a worker started after the cancel";
        ASSERT_EQ(recorder.Reports.size(), 4u) << "every started worker reports";
        EXPECT_EQ(recorder.Reports[0].Text, "DNS Lookup : 1 of 6");
        EXPECT_EQ(recorder.Reports[0].Value, 16);
        for (std::size_t i = 1; i < recorder.Reports.size(); ++i) {
            EXPECT_EQ(recorder.Reports[i].Text, "DNS Lookup : Canceling...");
            EXPECT_EQ(recorder.Reports[i].Value, 100);
        }
        ASSERT_EQ(cache.Cache.Count(), 1u);
        EXPECT_EQ(cache.Cache.Get(0), stale);
    }
}

// Workers stuck in the resolver are not waited for beyond the timeout, and the abandoned
// threads outlive the cache without touching it.
TEST(DNSLookup, CancelStopsWaitingAfterTimeout) {
    auto resolver = std::make_shared<FakeResolver>();
    const Strings texts = Quads(4);
    resolver->Gated = Addresses({texts[1], texts[2], texts[3]});
    auto cache = std::make_unique<TDNSCache>(resolver, FixedNow);
    Recorder recorder;
    std::chrono::steady_clock::time_point cancelledAt;
    recorder.Hook = [&](const Report&) {
        cancelledAt = std::chrono::steady_clock::now();
        cache->Cancel();
    };
    cache->OnProgress = recorder.Event();
    const TReleaseUnlessReturned watchdog(*resolver);

    EXPECT_FALSE(cache->Resolve(texts, 3, 30, 300));
    const auto waited = std::chrono::steady_clock::now() - cancelledAt;
    const int stillStuck = resolver->Running();

    // The timeout is waited out (a busy machine only makes it longer), and the stuck workers
    // were left behind rather than waited for.
    EXPECT_GE(waited, 250ms);
    EXPECT_GE(stillStuck, 2) << "Resolve returned only once the stuck workers were let go";
    EXPECT_EQ(recorder.Reports.size(), 1u);
    EXPECT_EQ(cache->Cache.Count(), 0u);
    cache.reset();
    ExpectAbandonedThreadsFinish(resolver);
}

TEST(DNSLookup, CancelFromAnotherThread) {
    auto resolver = std::make_shared<FakeResolver>();
    const Strings texts = Quads(3);
    resolver->Gated = Addresses(texts);
    auto cache = std::make_unique<TDNSCache>(resolver, FixedNow);
    // Cancelled once both workers are stuck in the resolver.
    std::thread canceller([&] {
        resolver->WaitForCalls(2);
        cache->Cancel();
    });
    const TReleaseUnlessReturned watchdog(*resolver);
    EXPECT_FALSE(cache->Resolve(texts, 2, 30, 100));
    EXPECT_EQ(resolver->Running(), 2) << "Resolve returned only once the stuck workers were let go";
    canceller.join();
    EXPECT_EQ(cache->Cache.Count(), 0u);
    cache.reset();
    ExpectAbandonedThreadsFinish(resolver);
}

TEST(DNSLookup, RealLookupOfLoopback) {
    const std::string name = TSystemResolver().Lookup(IPToLong("127.0.0.1"));
    if (name.empty()) GTEST_SKIP() << "this machine has no name for 127.0.0.1";
    EXPECT_NE(name, "127.0.0.1");
}

// ---- The reverse-DNS step of an analysis ----

class ResolveHostsStep : public ::testing::Test {
protected:
    void SetUp() override {
        TDNSCache seed;
        seed.Cache.Add({IPToLong("10.0.0.1"), kNow - kSecondsPerDay, "cached.example"});
        seed.Cache.Add({IPToLong("10.0.0.2"), kNow - kSecondsPerDay, ""});
        ASSERT_TRUE(seed.SaveToFile(file));
        resolver->Names[IPToLong("10.0.0.3")] = "new.example";
        resolver->Names[IPToLong("10.0.0.4")] = "also-new.example";
    }

    void Run(const TOptions& options) {
        ResolveHosts(cache, file, hosts, options, recorder.Event(), busy,
                     [&](std::size_t position, const std::string& name) { renamed[position] = name; });
    }

    std::vector<TRecDNS> Saved() {
        TDNSCache read;
        EXPECT_TRUE(read.LoadFromFile(file));
        return read.Cache.Items();
    }

    TestFolder folder;
    const std::string file = folder.file("dns.dat");
    std::shared_ptr<FakeResolver> resolver = std::make_shared<FakeResolver>();
    TDNSCache cache{resolver, FixedNow};
    Strings hosts = {"www.example.com", "10.0.0.1", "10.0.0.2", "10.0.0.3", "1.2.3", "10.0.0.4"};
    Recorder recorder;
    std::atomic<bool> busy{false};
    std::map<std::size_t, std::string> renamed;
};

TEST_F(ResolveHostsStep, RenamesFromCacheAndLookups) {
    bool busyDuringProgress = true;
    recorder.Hook = [&](const Report&) { busyDuringProgress = busyDuringProgress && busy.load(); };
    Run(DnsOptions(4, 30, 1000));

    EXPECT_EQ(renamed,
              (std::map<std::size_t, std::string>{{1, "cached.example"}, {3, "new.example"}, {5, "also-new.example"}}));
    EXPECT_EQ(CallSet(*resolver), Addresses({"10.0.0.3", "10.0.0.4"}));
    EXPECT_EQ(recorder.Reports.size(), 2u);
    EXPECT_TRUE(busyDuringProgress);
    EXPECT_FALSE(busy.load());
    EXPECT_EQ(cache.Cache.Count(), 0u);
    const std::vector<TRecDNS> saved = Saved();
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved[2].LookupTime, kNow);
}

TEST_F(ResolveHostsStep, CancelledLookupStillUsesCachedNames) {
    resolver->DefaultDelay = 50ms;
    recorder.Hook = [&](const Report&) { cache.Cancel(); };
    Run(DnsOptions(1, 30, 1000));

    EXPECT_EQ(renamed, (std::map<std::size_t, std::string>{{1, "cached.example"}}));
    EXPECT_EQ(Saved().size(), 2u) << "the file keeps the loaded entries only";
    EXPECT_FALSE(busy.load());
    EXPECT_EQ(cache.Cache.Count(), 0u);
}

// A dns.dat that cannot be replaced is reported with its reason; the names read and found
// still serve this run, and the file is left as it stood.
TEST_F(ResolveHostsStep, ACacheThatCannotBeSavedIsReportedAndTheNamesStillServe) {
    std::filesystem::remove(file);
    std::filesystem::create_directories(file + "/kept");
    const std::string failure =
        ResolveHosts(cache, file, hosts, DnsOptions(4, 30, 1000), recorder.Event(), busy,
                     [&](std::size_t position, const std::string& name) { renamed[position] = name; });

    EXPECT_EQ(failure, "Could not write the file '" + file + "'.\r\nIs a directory.");
    EXPECT_EQ(renamed, (std::map<std::size_t, std::string>{{3, "new.example"}, {5, "also-new.example"}}));
    EXPECT_TRUE(std::filesystem::is_directory(file + "/kept"));
    EXPECT_FALSE(busy.load());
    EXPECT_EQ(cache.Cache.Count(), 0u);

    // Saved, the same step reports nothing.
    std::filesystem::remove_all(file);
    EXPECT_EQ(ResolveHosts(cache, file, hosts, DnsOptions(4, 30, 1000), recorder.Event(), busy, nullptr), "");
    EXPECT_EQ(Saved().size(), 4u);
}

TEST_F(ResolveHostsStep, NoNumericHostStillReadsAndWritesTheFile) {
    hosts = {"www.example.com", "mail.example.org"};
    std::filesystem::remove(file);
    Run(DnsOptions(4, 30, 1000));
    EXPECT_TRUE(resolver->Calls().empty());
    EXPECT_TRUE(recorder.Reports.empty());
    EXPECT_TRUE(renamed.empty());
    EXPECT_TRUE(Saved().empty());
}

TEST_F(ResolveHostsStep, FailingProgressClearsBusyAndCache) {
    resolver->Gated = Addresses({"10.0.0.4"});
    recorder.Hook = [&](const Report&) { throw std::runtime_error("window gone"); };
    EXPECT_THROW(Run(DnsOptions(4, 30, 1000)), std::runtime_error);
    EXPECT_FALSE(busy.load());
    EXPECT_EQ(cache.Cache.Count(), 0u);
    EXPECT_TRUE(renamed.empty());
    ExpectAbandonedThreadsFinish(resolver, 2);
}
