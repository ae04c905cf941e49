#pragma once
// Records what a download module reports, for tests that check the texts and the progress,
// and lets another thread wait for the first progress report.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <future>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/RemoteTransfer.h"

namespace brindle::test {

class TTransferLog {
public:
    void Bind(TRemoteModule& module) {
        module.OnStatus = [this](const void*, int value, const std::string& text) {
            const std::lock_guard<std::mutex> lock(mutex_);
            statuses_.push_back(text);
            if (value != 0) statusValueNonZero_ = true;
        };
        module.OnProgress = [this](const void*, int value, const std::string& text) {
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                values_.push_back(value);
                progressTexts_.push_back(text);
            }
            ++reports_;
            if (value > highest_) highest_ = value;
            if (onProgress) onProgress(value);
        };
    }

    std::vector<std::string> Statuses() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return statuses_;
    }
    std::vector<int> Values() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return values_;
    }
    std::vector<std::string> ProgressTexts() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return progressTexts_;
    }
    bool StatusValueNonZero() const { return statusValueNonZero_; }
    int Reports() const { return reports_.load(); }
    int Highest() const { return highest_.load(); }

    std::function<void(int)> onProgress;  // runs inside the progress callback

private:
    mutable std::mutex mutex_;
    std::vector<std::string> statuses_;
    std::vector<int> values_;
    std::vector<std::string> progressTexts_;
    bool statusValueNonZero_ = false;
    std::atomic<int> reports_{0};
    std::atomic<int> highest_{0};
};

// Reproducible bytes of every value, so that a byte-identical check means something.
inline std::string RandomBytes(size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes) c = static_cast<char>(generator() & 0xff);
    return bytes;
}

struct TCancelOutcome {
    uint8_t Result = 0;
    // Progress reports that came after Cancel was called: one may have been under way.
    int ReportsAfterCancel = -1;
};

// Runs Download on this thread while another thread calls Cancel at the first report for
// which Ready holds (or after a minute without one, so that the test ends).
inline TCancelOutcome CancelFromAnotherThread(TRemoteModule& module, TTransferLog& log,
                                              const std::function<bool()>& ready,
                                              const std::function<uint8_t()>& download) {
    std::promise<void> readyReached;
    bool signalled = false;
    log.onProgress = [&](int) {
        if (signalled || !ready()) return;
        signalled = true;
        readyReached.set_value();
    };
    int reportsAtCancel = 0;
    std::thread canceller([&, reached = readyReached.get_future()] {
        reached.wait_for(std::chrono::minutes(1));
        reportsAtCancel = log.Reports();
        module.Cancel();
    });
    const uint8_t result = download();
    canceller.join();
    log.onProgress = nullptr;
    return {result, log.Reports() - reportsAtCancel};
}

// Every file and folder below Folder, as sorted relative paths (folders end with "/").
inline std::vector<std::string> EntriesBelow(const std::string& folder) {
    std::vector<std::string> entries;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::string relative = std::filesystem::relative(it->path(), folder).string();
        if (it->is_directory()) relative += "/";
        entries.push_back(relative);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

}  // namespace brindle::test
