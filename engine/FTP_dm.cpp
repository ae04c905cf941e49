#include "engine/FTP_dm.h"

namespace brindle {

namespace {

// A name listing larger than this is not a folder of log files.
constexpr size_t kMaxListingBytes = 16 * 1024 * 1024;

std::string EncodePathPart(std::string_view part) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char ch : part) {
        const auto c = static_cast<unsigned char>(ch);
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            encoded.push_back(ch);
        } else {
            encoded.push_back('%');
            encoded.push_back(kHex[c >> 4]);
            encoded.push_back(kHex[c & 15]);
        }
    }
    return encoded;
}

// Names of a name-only listing, in listing order. Some servers answer with paths: only the
// last component names the file in the folder.
std::vector<std::string> ParseNameListing(std::string_view listing, std::string_view mask) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start < listing.size()) {
        size_t end = listing.find('\n', start);
        if (end == std::string_view::npos) end = listing.size();
        std::string_view line = listing.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const size_t slash = line.rfind('/');
        if (slash != std::string_view::npos) line.remove_prefix(slash + 1);
        if (line.empty() || line == "." || line == "..") continue;
        if (detail::MatchesMask(mask, line)) names.emplace_back(line);
    }
    return names;
}

void SetLogin(CURL* easy, const TRemoteLogin& login) {
    if (!login.UserName.empty() || !login.Password.empty()) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, login.UserName.c_str());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, login.Password.c_str());
    }
    if (login.Port > 0 && login.Port < 65536) curl_easy_setopt(easy, CURLOPT_PORT, static_cast<long>(login.Port));
    // Active mode: the server connects back to the address of our end of the control connection.
    if (!login.Passive) curl_easy_setopt(easy, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, 60L);
    curl_easy_setopt(easy, CURLOPT_ACCEPTTIMEOUT_MS, 30000L);
    detail::SetCommonTimeouts(easy);
}

// Failures that the server's last reply explains, when it was a refusal.
bool ServerRefused(CURLcode result) {
    switch (result) {
        case CURLE_LOGIN_DENIED:
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_FTP_COULDNT_RETR_FILE:
        case CURLE_FTP_COULDNT_SET_TYPE:
        case CURLE_FTP_COULDNT_USE_REST:
        case CURLE_FTP_PORT_FAILED:
        case CURLE_FTP_PRET_FAILED:
        case CURLE_FTP_ACCEPT_FAILED:
        case CURLE_FTP_WEIRD_PASV_REPLY:
        case CURLE_FTP_WEIRD_227_FORMAT:
        case CURLE_FTP_WEIRD_SERVER_REPLY:
        case CURLE_QUOTE_ERROR: return true;
        default: return false;
    }
}

}  // namespace

namespace detail {

bool MatchesMask(std::string_view mask, std::string_view name) {
    size_t m = 0, n = 0;
    size_t starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n])) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

}  // namespace detail

uint8_t TdmFTP::DownloadFiles(const TRemoteLogin& Location, const std::string& URL, const std::string& Folder,
                              std::vector<std::string>& Files) {
    TLocalNames names;
    return DownloadFiles(Location, URL, Folder, Files, names);
}

uint8_t TdmFTP::DownloadFiles(const TRemoteLogin& Location, const std::string& URL, const std::string& Folder,
                              std::vector<std::string>& Files, TLocalNames& Names) {
    ResetState();
    const std::vector<std::string> parts = detail::SplitAtSlash(URL);
    if (parts.size() < 2 || parts.front().empty()) return 2;

    // "%2F" makes the server change to its root first; then each folder in turn.
    std::string folderUrl = "ftp://" + parts.front() + "/%2F/";
    for (size_t i = 1; i + 1 < parts.size(); ++i) {
        if (!parts[i].empty()) folderUrl += EncodePathPart(parts[i]) + "/";
    }

    TCurlSession session(*this);
    if (!session.Valid()) return 2;
    CURL* easy = session.Easy();
    SetLogin(easy, Location);

    // The mask is matched here, not by the server: servers differ in whether and how they
    // expand one, and the names-only listing is all we need.
    std::string listing;
    curl_easy_setopt(easy, CURLOPT_URL, folderUrl.c_str());
    curl_easy_setopt(easy, CURLOPT_DIRLISTONLY, 1L);
    const CURLcode listed = session.Perform([&listing](std::string_view bytes) {
        if (listing.size() + bytes.size() > kMaxListingBytes) return false;
        listing.append(bytes);
        return true;
    });
    // Some servers answer "no such file" for an empty folder.
    if (listed != CURLE_OK && !(listed == CURLE_REMOTE_FILE_NOT_FOUND && !IsCancelled())) {
        if (!IsCancelled()) DescribeFailure(listed, session, detail::AddressForMessage("ftp://" + URL));
        return FailureResult();
    }
    curl_easy_setopt(easy, CURLOPT_DIRLISTONLY, 0L);

    const std::string shownFolder = detail::AddressForMessage("ftp://" + URL.substr(0, URL.rfind('/') + 1));
    return DownloadListed(session, folderUrl, shownFolder, ParseNameListing(listing, parts.back()), Folder, Files,
                          Names);
}

uint8_t TdmFTP::DownloadListed(TCurlSession& session, const std::string& folderUrl, const std::string& shownFolder,
                               const std::vector<std::string>& names, const std::string& Folder,
                               std::vector<std::string>& Files, TLocalNames& Names) {
    for (const std::string& name : names) {
        if (IsCancelled()) return 1;
        CurrentFile = name;
        WorkDone = 0;
        const std::string local = Names.Claim(Folder, TLocalNames::SafeComponent(name));
        const std::string fileUrl = folderUrl + EncodePathPart(name);
        curl_easy_setopt(session.Easy(), CURLOPT_URL, fileUrl.c_str());
        const CURLcode result = session.DownloadTo(local);
        if (result == CURLE_OK) {
            Files.push_back(local);
            continue;
        }
        Names.Release(local);
        if (IsCancelled()) return 1;
        if (result != CURLE_REMOTE_FILE_NOT_FOUND) {
            DescribeFailure(result, session, shownFolder + detail::AddressForMessage(name));
            return 2;
        }
        // A sub-folder matching the mask, or a file gone since the listing.
        Status("Skipped : " + name);
    }
    return 0;
}

void TdmFTP::DescribeFailure(CURLcode result, const TCurlSession& session, const std::string& shown) {
    if (session.TooSlow()) {
        SetFailure(SlowTransferText(shown));
        return;
    }
    const std::string& reply = session.LastReply();
    if (!ServerRefused(result) || reply.size() < 4 || (reply[0] != '4' && reply[0] != '5')) return;
    std::string answer = detail::PrintableReply(reply);
    while (answer.size() > 3 && answer.back() == '.') answer.pop_back();
    SetFailure("The FTP server answered " + answer + " for '" + shown + "'.");
}

}  // namespace brindle
