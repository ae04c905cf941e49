#include "engine/RemoteTransfer.h"

#include <algorithm>
#include <cmath>

#include "core/SafeFile_u.h"

namespace brindle {

namespace {

// How often a stalled transfer still reports progress, so that a user interface that runs
// its events from the progress callback stays responsive.
constexpr auto kQuietReportInterval = std::chrono::milliseconds(250);

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
    localWriteFailure_.clear();
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
        owner_.localWriteFailure_ = WriteFailureText(path, file.ErrorText());
        return CURLE_WRITE_ERROR;
    };
    if (!file.Open(path)) return writeFailed();
    const CURLcode result = Perform([&](std::string_view bytes) { return !kept() || file.Write(bytes); });
    if (result == CURLE_WRITE_ERROR && !file.ErrorText().empty()) return writeFailed();
    if (result != CURLE_OK) return result;
    if (!kept()) return CURLE_HTTP_RETURNED_ERROR;
    return file.Commit() ? CURLE_OK : writeFailed();
}

CURLcode TCurlSession::Drive() {
    if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) return CURLE_FAILED_INIT;
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
        if (curl_multi_poll(multi_, nullptr, 0, 1000, nullptr) != CURLM_OK) {
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

void SetCommonTimeouts(CURL* easy) {
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, 30L);
    // A transfer that receives nothing for a minute is dead.
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, 60L);
}

}  // namespace detail

}  // namespace brindle
