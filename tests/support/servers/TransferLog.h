#pragma once
// Records what a download module reports, for tests that check the texts and the progress,
// and lets another thread wait for the first progress report.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
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

// Runs Download on this thread while another thread calls Cancel as soon as Ready holds (or
// after 20 s). Returns the download's result and how long it took to end after Cancel.
inline std::pair<uint8_t, std::chrono::steady_clock::duration> CancelFromAnotherThread(
    TRemoteModule& module, const std::function<bool()>& ready, const std::function<uint8_t()>& download) {
    std::chrono::steady_clock::time_point cancelledAt;
    std::thread canceller([&] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!ready() && std::chrono::steady_clock::now() < giveUp) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        cancelledAt = std::chrono::steady_clock::now();
        module.Cancel();
    });
    const uint8_t result = download();
    const auto returnedAt = std::chrono::steady_clock::now();
    canceller.join();
    return {result, returnedAt - cancelledAt};
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
