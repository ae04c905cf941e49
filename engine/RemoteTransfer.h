#pragma once
// What the FTP and HTTP download modules share: the state of the running transfer, the progress
// and status lines it reports, cancelling, and a libcurl connection driven so that Cancel stops
// it at once from any thread.
#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/ProgressEvent.h"

namespace brindle {

class TCurlSession;

// When a transfer is given up on this side. The product keeps the defaults; tests shorten them.
struct TTransferLimits {
    // A transfer that brings fewer than MinimumRate bytes a second over StallTime fails.
    std::chrono::seconds StallTime{60};
    int64_t MinimumRate = 1024;
    // A download stops before it would leave less than this free in the work folder.
    int64_t FreeSpaceReserve = int64_t{64} * 1024 * 1024;
    // Bytes free for new data in the folder of Path, -1 when unknown; statvfs when empty.
    std::function<int64_t(const std::string& path)> FreeSpace;
};

class TRemoteModule {
public:
    TRemoteModule(const TRemoteModule&) = delete;
    TRemoteModule& operator=(const TRemoteModule&) = delete;

    TProgressInfoEvent OnProgress;
    TProgressInfoEvent OnStatus;

    // Sets the cancel flag and wakes the running transfer, which then ends with result 1.
    // Safe from any thread and from inside OnProgress/OnStatus.
    void Cancel();

    void SetTransferLimits(TTransferLimits limits) { limits_ = std::move(limits); }
    const TTransferLimits& TransferLimits() const { return limits_; }

    // Why the last download failed, when more can be said than that the server could not be
    // reached: what the server answered, a transfer too slow, a write that failed here (such
    // as a full disk). Empty otherwise.
    const std::string& FailureText() const { return failure_; }
    // The same under its earlier name, which the engine still uses.
    const std::string& LocalWriteFailure() const { return failure_; }

protected:
    explicit TRemoteModule(std::string protocol);  // "FTP" or "HTTP": the prefix of every text
    ~TRemoteModule() = default;

    // Start of a download call: clears the flags, the counters and the current file.
    void ResetState();
    bool IsCancelled() const { return Cancelled.load(); }
    // Result for a transfer that failed: 1 when the failure came from Cancel, else 2.
    uint8_t FailureResult() const { return IsCancelled() ? 1 : 2; }
    void Status(const std::string& text) const;
    // Keeps the first reason given for the running call's failure.
    void SetFailure(std::string text);
    // The message for a transfer that the speed check stopped; Address names what was fetched.
    std::string SlowTransferText(const std::string& address) const;

    // Events of the running transfer (only the receiving direction is ever run).
    void WorkBegin(int64_t workCountMax);
    void Work(int64_t workCount, int64_t workCountMax);
    void WorkEnd();
    void Connected();
    void Disconnected();

    std::atomic<bool> Cancelled{false};
    bool Transferring = false;
    int64_t WorkMax = 0;  // expected size, 0 while unknown
    int64_t WorkDone = 0;  // bytes received so far
    std::string CurrentFile;

private:
    friend class TCurlSession;

    void ReportProgress() const;
    void Attach(TCurlSession* session);

    std::string protocol_;
    std::string failure_;
    TTransferLimits limits_;
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

    // The last transfer ended because it was slower than the limits allow (its result is
    // then CURLE_OPERATION_TIMEDOUT).
    bool TooSlow() const { return tooSlow_; }
    // The server's last status line (HTTP) or final reply line (FTP), without the line end.
    const std::string& LastReply() const { return lastReply_; }

private:
    static size_t WriteCallback(char* data, size_t size, size_t count, void* self);
    static size_t HeaderCallback(char* data, size_t size, size_t count, void* self);
    static int XferInfoCallback(void* self, curl_off_t dlTotal, curl_off_t dlNow, curl_off_t, curl_off_t);
    static int PreReqCallback(void* self, char*, char*, int, int);
    CURLcode Drive();
    // False once the transfer has brought too little over the last StallTime.
    bool FastEnough(std::chrono::steady_clock::time_point now);
    // False when writing Bytes more (and what the server announced still to come) would eat
    // into the free-space reserve of Path's folder.
    bool RoomFor(const std::string& path, size_t bytes) const;

    TRemoteModule& owner_;
    CURLM* multi_ = nullptr;
    CURL* easy_ = nullptr;
    const std::function<bool(std::string_view)>* sink_ = nullptr;
    bool connected_ = false;
    curl_off_t lastReported_ = -1;
    std::chrono::steady_clock::time_point lastReportTime_{};
    int64_t received_ = 0;  // body bytes handed to the sink by the running transfer
    // Samples of received_, oldest first, covering the last StallTime of the running transfer.
    std::deque<std::pair<std::chrono::steady_clock::time_point, int64_t>> samples_;
    bool tooSlow_ = false;
    std::string lastReply_;
};

namespace detail {

// Splits Text at every "/" and appends the pieces: always the last piece too, so a text
// without "/" gives itself and an empty text one empty piece.
std::vector<std::string> SplitAtSlash(std::string_view text);

// The connection limit shared by both protocols; the speed check is the session's own.
void SetCommonTimeouts(CURL* easy);

// Text from a server made fit for a message: printable ASCII only, runs of blanks as one,
// at most 200 bytes.
std::string PrintableReply(std::string_view text);

// The address as a message shows it: without any "user:password@" before the host and
// without control characters.
std::string AddressForMessage(std::string_view address);

}  // namespace detail

}  // namespace brindle
