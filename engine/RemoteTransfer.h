#pragma once
// What the FTP and HTTP download modules share: the state of the running transfer, the progress
// and status lines it reports, cancelling, and a libcurl connection driven so that Cancel stops
// it at once from any thread.
#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ProgressEvent.h"

namespace brindle {

class TCurlSession;

class TRemoteModule {
public:
    TRemoteModule(const TRemoteModule&) = delete;
    TRemoteModule& operator=(const TRemoteModule&) = delete;

    TProgressInfoEvent OnProgress;
    TProgressInfoEvent OnStatus;

    // Sets the cancel flag and wakes the running transfer, which then ends with result 1.
    // Safe from any thread and from inside OnProgress/OnStatus.
    void Cancel();

    // Why the last download failed on this side, when it did ("Could not write the file
    // '...'." and the system's reason, such as a full disk); empty otherwise.
    const std::string& LocalWriteFailure() const { return localWriteFailure_; }

protected:
    explicit TRemoteModule(std::string protocol);  // "FTP" or "HTTP": the prefix of every text
    ~TRemoteModule() = default;

    // Start of a download call: clears the flags, the counters and the current file.
    void ResetState();
    bool IsCancelled() const { return Cancelled.load(); }
    // Result for a transfer that failed: 1 when the failure came from Cancel, else 2.
    uint8_t FailureResult() const { return IsCancelled() ? 1 : 2; }
    void Status(const std::string& text) const;

    // Events of the running transfer (only the receiving direction is ever run).
    void WorkBegin(int64_t workCountMax);
    void Work(int64_t workCount, int64_t workCountMax);
    void WorkEnd();
    void Connected();
    void Disconnected();

    std::atomic<bool> Cancelled{false};
    bool Transferring = false;
    int64_t WorkMax = 0;   // expected size, 0 while unknown
    int64_t WorkDone = 0;  // bytes received so far
    std::string CurrentFile;

private:
    friend class TCurlSession;

    void ReportProgress() const;
    void Attach(TCurlSession* session);

    std::string protocol_;
    std::string localWriteFailure_;
    std::mutex sessionLock_;  // guards session_ against Cancel from another thread
    TCurlSession* session_ = nullptr;
};

// One connection's life: a multi handle driving one easy handle, so that waits inside a
// transfer can be woken by Cancel. Options are set on Easy(); destroying the session closes
// the connection and reports "Disconnected" when it had connected.
class TCurlSession {
public:
    explicit TCurlSession(TRemoteModule& owner);
    ~TCurlSession();
    TCurlSession(const TCurlSession&) = delete;
    TCurlSession& operator=(const TCurlSession&) = delete;

    bool Valid() const { return multi_ != nullptr && easy_ != nullptr; }
    CURL* Easy() const { return easy_; }

    // Runs one transfer. Received bytes go to Sink; Sink returning false ends the transfer
    // with CURLE_WRITE_ERROR. A cancelled transfer ends with CURLE_ABORTED_BY_CALLBACK.
    CURLcode Perform(const std::function<bool(std::string_view)>& sink);

    // Streams one transfer into a temporary file beside Path and renames it into place when the
    // transfer succeeded and Keep (when given) agrees; otherwise nothing is left behind. While
    // Keep says no, received bytes are dropped.
    CURLcode DownloadTo(const std::string& path, const std::function<bool()>& keep = nullptr);

    // Wakes a waiting Perform; thread-safe.
    void Wakeup();

private:
    static size_t WriteCallback(char* data, size_t size, size_t count, void* self);
    static int XferInfoCallback(void* self, curl_off_t dlTotal, curl_off_t dlNow, curl_off_t, curl_off_t);
    static int PreReqCallback(void* self, char*, char*, int, int);
    CURLcode Drive();

    TRemoteModule& owner_;
    CURLM* multi_ = nullptr;
    CURL* easy_ = nullptr;
    const std::function<bool(std::string_view)>* sink_ = nullptr;
    bool connected_ = false;
    curl_off_t lastReported_ = -1;
    std::chrono::steady_clock::time_point lastReportTime_{};
};

namespace detail {

// Splits Text at every "/" and appends the pieces: always the last piece too, so a text
// without "/" gives itself and an empty text one empty piece.
std::vector<std::string> SplitAtSlash(std::string_view text);

// Connection and stall limits shared by both protocols.
void SetCommonTimeouts(CURL* easy);

}  // namespace detail

}  // namespace brindle
