#include "engine/RemoteTransfer.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/SafeFile_u.h"

namespace brindle {

namespace {

// How often a stalled transfer still reports progress, so that a user interface that runs
// its events from the progress callback stays responsive.
constexpr auto kQuietReportInterval = std::chrono::milliseconds(250);

// How finely the speed check remembers the bytes received.
constexpr auto kSpeedSampleStep = std::chrono::milliseconds(100);

int64_t FolderFreeSpace(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    struct statvfs info {};
    if (statvfs(folder.c_str(), &info) != 0) return -1;
    return static_cast<int64_t>(info.f_bavail) * static_cast<int64_t>(info.f_frsize);
}

std::string ByteSizeText(int64_t bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0) return std::to_string(bytes / (1024 * 1024)) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

// ---- TRemoteModule ----

TRemoteModule::TRemoteModule(std::string protocol) : protocol_(std::move(protocol)) {}

void TRemoteModule::Cancel() {
    Cancelled.store(true);
    const std::lock_guard<std::mutex> lock(sessionLock_);
    if (session_) session_->Wakeup();
}

void TRemoteModule::ResetState() {
    Cancelled.store(false);
    Transferring = false;
    WorkMax = 0;
    WorkDone = 0;
    CurrentFile.clear();
    failure_.clear();
}

void TRemoteModule::SetFailure(std::string text) {
    if (failure_.empty()) failure_ = std::move(text);
}

std::string TRemoteModule::SlowTransferText(const std::string& address) const {
    const int64_t seconds = limits_.StallTime.count();
    return "The " + protocol_ + " server sent '" + address + "' slower than " + ByteSizeText(limits_.MinimumRate) +
           " a second for " + std::to_string(seconds) + (seconds == 1 ? " second" : " seconds") +
           "; the download was stopped.";
}

void TRemoteModule::Status(const std::string& text) const {
    if (OnStatus) OnStatus(this, 0, text);
}

void TRemoteModule::ReportProgress() const {
    if (!Transferring || CurrentFile.empty() || !OnProgress) return;
    long long percent = 0;
    if (WorkMax > 0) percent = std::llround(100.0 * static_cast<double>(WorkDone) / static_cast<double>(WorkMax));
    OnProgress(this, static_cast<int>(std::clamp(percent, 0LL, 100LL)), protocol_ + " Downloading : " + CurrentFile);
}

void TRemoteModule::WorkBegin(int64_t workCountMax) {
    Transferring = true;
    WorkMax = workCountMax;
    WorkDone = 0;
    if (!CurrentFile.empty()) Status(protocol_ + " Downloading : " + CurrentFile);
    ReportProgress();
}

void TRemoteModule::Work(int64_t workCount, int64_t workCountMax) {
    if (workCountMax > 0) WorkMax = workCountMax;
    WorkDone = workCount;
    ReportProgress();
}

void TRemoteModule::WorkEnd() { Transferring = false; }

void TRemoteModule::Connected() { Status(protocol_ + " Connected"); }

void TRemoteModule::Disconnected() { Status(protocol_ + " Disconnected"); }

void TRemoteModule::Attach(TCurlSession* session) {
    const std::lock_guard<std::mutex> lock(sessionLock_);
    session_ = session;
}

// ---- TCurlSession ----

TCurlSession::TCurlSession(TRemoteModule& owner) : owner_(owner) {
    InitCurlOnce();
    multi_ = curl_multi_init();
    easy_ = curl_easy_init();
    if (!Valid()) return;
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &TCurlSession::WriteCallback);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &TCurlSession::HeaderCallback);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, &TCurlSession::XferInfoCallback);
    curl_easy_setopt(easy_, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy_, CURLOPT_PREREQFUNCTION, &TCurlSession::PreReqCallback);
    curl_easy_setopt(easy_, CURLOPT_PREREQDATA, this);
    owner_.Attach(this);
}

TCurlSession::~TCurlSession() {
    owner_.Attach(nullptr);
    // The easy handle goes first; cleaning up the multi handle closes the cached connection.
    if (easy_) curl_easy_cleanup(easy_);
    if (multi_) curl_multi_cleanup(multi_);
    if (connected_) owner_.Disconnected();
}

void TCurlSession::Wakeup() {
    if (multi_) curl_multi_wakeup(multi_);
}

CURLcode TCurlSession::Perform(const std::function<bool(std::string_view)>& sink) {
    if (!Valid()) return CURLE_FAILED_INIT;
    sink_ = &sink;
    lastReported_ = -1;
    received_ = 0;
    samples_.clear();
    tooSlow_ = false;
    lastReply_.clear();
    owner_.WorkBegin(0);
    const CURLcode result = Drive();
    owner_.WorkEnd();
    sink_ = nullptr;
    return result;
}

CURLcode TCurlSession::DownloadTo(const std::string& path, const std::function<bool()>& keep) {
    const auto kept = [&keep] { return !keep || keep(); };
    TAtomicFile file;
    // A full disk must not read as a server that could not be reached.
    const auto writeFailed = [&] {
        owner_.SetFailure(WriteFailureText(path, file.ErrorText()));
        return CURLE_WRITE_ERROR;
    };
    if (!file.Open(path)) return writeFailed();
    const CURLcode result = Perform([&](std::string_view bytes) {
        if (!kept()) return true;
        if (!RoomFor(path, bytes.size())) {
            owner_.SetFailure(WriteFailureText(path, "The work folder would keep less than " +
                                                         ByteSizeText(owner_.limits_.FreeSpaceReserve) + " free"));
            return false;
        }
        return file.Write(bytes);
    });
    if (result == CURLE_WRITE_ERROR && !file.ErrorText().empty()) return writeFailed();
    // The partial file goes with TAtomicFile; a full one is kept only when all of it came.
    if (result != CURLE_OK) return result;
    if (!kept()) return CURLE_HTTP_RETURNED_ERROR;
    return file.Commit() ? CURLE_OK : writeFailed();
}

CURLcode TCurlSession::Drive() {
    if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) return CURLE_FAILED_INIT;
    // Wake often enough for the speed check to end a stalled transfer close to its limit.
    const auto stall = std::chrono::duration_cast<std::chrono::milliseconds>(owner_.limits_.StallTime).count();
    const int pollMs = static_cast<int>(std::clamp<long long>(stall / 10, 20, 1000));
    samples_.emplace_back(std::chrono::steady_clock::now(), 0);
    CURLcode result = CURLE_OK;
    for (;;) {
        if (owner_.IsCancelled()) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        int running = 0;
        if (curl_multi_perform(multi_, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (running == 0) {
            int left = 0;
            while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
                if (message->msg == CURLMSG_DONE && message->easy_handle == easy_) result = message->data.result;
            }
            break;
        }
        if (!FastEnough(std::chrono::steady_clock::now())) {
            tooSlow_ = true;
            result = CURLE_OPERATION_TIMEDOUT;
            break;
        }
        if (curl_multi_poll(multi_, nullptr, 0, pollMs, nullptr) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
    }
    // Removing an unfinished transfer closes its connection, which is what a cancel needs.
    curl_multi_remove_handle(multi_, easy_);
    return result;
}

size_t TCurlSession::WriteCallback(char* data, size_t size, size_t count, void* self) {
    auto* session = static_cast<TCurlSession*>(self);
    const size_t bytes = size * count;
    if (session->owner_.IsCancelled()) return CURL_WRITEFUNC_ERROR;
    if (!session->sink_ || !(*session->sink_)(std::string_view(data, bytes))) return CURL_WRITEFUNC_ERROR;
    session->received_ += static_cast<int64_t>(bytes);
    return bytes;
}

bool TCurlSession::FastEnough(std::chrono::steady_clock::time_point now) {
    const TTransferLimits& limits = owner_.limits_;
    if (limits.StallTime.count() <= 0 || limits.MinimumRate <= 0) return true;
    if (samples_.empty() || now - samples_.back().first >= kSpeedSampleStep) samples_.emplace_back(now, received_);
    // The front stays the newest sample at least one window old, once there is one.
    while (samples_.size() >= 2 && now - samples_[1].first >= limits.StallTime) samples_.pop_front();
    const auto& [since, bytesThen] = samples_.front();
    if (now - since < limits.StallTime) return true;
    return received_ - bytesThen >= limits.MinimumRate * limits.StallTime.count();
}

bool TCurlSession::RoomFor(const std::string& path, size_t bytes) const {
    const TTransferLimits& limits = owner_.limits_;
    const int64_t free = limits.FreeSpace ? limits.FreeSpace(path) : FolderFreeSpace(path);
    if (free < 0) return true;  // unknown: the write itself will tell
    int64_t coming = static_cast<int64_t>(bytes);
    curl_off_t announced = -1;
    if (curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) == CURLE_OK && announced > received_)
        coming = std::max<int64_t>(coming, announced - received_);
    return free - coming >= limits.FreeSpaceReserve;
}

size_t TCurlSession::HeaderCallback(char* data, size_t size, size_t count, void* self) {
    auto* session = static_cast<TCurlSession*>(self);
    const size_t bytes = size * count;
    std::string_view line(data, bytes);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    // An HTTP status line, or the last line of an FTP reply ("550 No such file").
    const bool status = line.starts_with("HTTP/");
    const bool reply = line.size() >= 4 && std::isdigit(static_cast<unsigned char>(line[0])) &&
                       std::isdigit(static_cast<unsigned char>(line[1])) &&
                       std::isdigit(static_cast<unsigned char>(line[2])) && line[3] == ' ';
    if (status || reply) session->lastReply_.assign(line.substr(0, 1024));
    return bytes;
}

int TCurlSession::XferInfoCallback(void* self, curl_off_t dlTotal, curl_off_t dlNow, curl_off_t, curl_off_t) {
    auto* session = static_cast<TCurlSession*>(self);
    if (session->owner_.IsCancelled()) return 1;
    const auto now = std::chrono::steady_clock::now();
    if (dlNow != session->lastReported_ || now - session->lastReportTime_ >= kQuietReportInterval) {
        session->lastReported_ = dlNow;
        session->lastReportTime_ = now;
        session->owner_.Work(dlNow, dlTotal);
    }
    return session->owner_.IsCancelled() ? 1 : 0;
}

int TCurlSession::PreReqCallback(void* self, char*, char*, int, int) {
    auto* session = static_cast<TCurlSession*>(self);
    if (!session->connected_) {
        session->connected_ = true;
        session->owner_.Connected();
    }
    return session->owner_.IsCancelled() ? CURL_PREREQFUNC_ABORT : CURL_PREREQFUNC_OK;
}

// ---- helpers ----

namespace detail {

std::vector<std::string> SplitAtSlash(std::string_view text) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t slash = text.find('/', start);
        if (slash == std::string_view::npos) break;
        parts.emplace_back(text.substr(start, slash - start));
        start = slash + 1;
    }
    parts.emplace_back(text.substr(start));
    return parts;
}

void SetCommonTimeouts(CURL* easy) { curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, 30L); }

std::string PrintableReply(std::string_view text) {
    std::string printable;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\t';
        if (blank && (printable.empty() || printable.back() == ' ')) continue;
        if (blank) {
            printable.push_back(' ');
        } else if (c > 0x20 && c < 0x7f) {
            printable.push_back(c);
        }
        if (printable.size() >= 200) break;
    }
    while (!printable.empty() && printable.back() == ' ') printable.pop_back();
    return printable;
}

std::string AddressForMessage(std::string_view address) {
    const size_t scheme = address.find("://");
    const size_t hostStart = scheme == std::string_view::npos ? 0 : scheme + 3;
    const size_t hostEnd = std::min(address.find('/', hostStart), address.size());
    const size_t at = address.substr(0, hostEnd).rfind('@');
    const size_t hostFrom = at == std::string_view::npos || at < hostStart ? hostStart : at + 1;
    std::string shown;
    for (size_t i = 0; i < address.size(); ++i) {
        if (i >= hostStart && i < hostFrom) continue;
        const auto c = static_cast<unsigned char>(address[i]);
        if (c >= 0x20 && c != 0x7f) shown.push_back(address[i]);
    }
    return shown;
}

}  // namespace detail

}  // namespace brindle
