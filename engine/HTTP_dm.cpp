#include "engine/HTTP_dm.h"

namespace brindle {

namespace {

// The URL is sent as the user wrote it (escapes and query kept); only bytes that may not
// appear in a request line at all are escaped.
std::string EscapeUnsafeBytes(std::string_view url) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const char ch : url) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7f || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`' ||
            c == '{' || c == '|' || c == '}') {
            escaped.push_back('%');
            escaped.push_back(kHex[c >> 4]);
            escaped.push_back(kHex[c & 15]);
        } else {
            escaped.push_back(ch);
        }
    }
    return escaped;
}

// The local name: the last part of the URL without a query or fragment.
std::string LocalFileName(std::string_view lastPart) {
    return TLocalNames::SafeComponent(lastPart.substr(0, lastPart.find_first_of("?#")), "download");
}

// What the server answered, as "500 Internal Server Error": from its status line, or the bare
// code when the line says nothing more.
std::string AnswerText(const TCurlSession& session) {
    const std::string& line = session.LastReply();
    const size_t space = line.find(' ');
    std::string answer = space == std::string::npos ? std::string() : detail::PrintableReply(line.substr(space + 1));
    if (answer.empty()) {
        long code = 0;
        curl_easy_getinfo(session.Easy(), CURLINFO_RESPONSE_CODE, &code);
        answer = std::to_string(code);
    }
    return answer;
}

}  // namespace

uint8_t TdmHTTP::DownloadFile(const TRemoteLogin& Location, const std::string& URL, const std::string& Folder,
                              std::vector<std::string>& Files) {
    TLocalNames names;
    return DownloadFile(Location, URL, Folder, Files, names);
}

uint8_t TdmHTTP::DownloadFile(const TRemoteLogin& Location, const std::string& URL, const std::string& Folder,
                              std::vector<std::string>& Files, TLocalNames& Names) {
    ResetState();
    const std::vector<std::string> parts = detail::SplitAtSlash(URL);
    if (parts.size() < 2 || parts.front().empty()) return 2;

    CurrentFile = parts.back();
    const std::string local = Names.Claim(Folder, LocalFileName(parts.back()));
    const uint8_t result =
        Fetch(Location, "http://" + EscapeUnsafeBytes(URL), local, detail::AddressForMessage("http://" + URL));
    if (result == 0) {
        Files.push_back(local);
    } else {
        Names.Release(local);
    }
    return result;
}

uint8_t TdmHTTP::Fetch(const TRemoteLogin& Location, const std::string& address, const std::string& local,
                       const std::string& shown) {
    TCurlSession session(*this);
    if (!session.Valid()) return 2;
    CURL* easy = session.Easy();
    curl_easy_setopt(easy, CURLOPT_URL, address.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Mozilla/5.0 (compatible; Brindle Analyzer)");
    if (!Location.UserName.empty() || !Location.Password.empty()) {
        curl_easy_setopt(easy, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(easy, CURLOPT_USERNAME, Location.UserName.c_str());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, Location.Password.c_str());
    }
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects));
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http");
    detail::SetCommonTimeouts(easy);

    // The body of an error answer is not the log: it is dropped, and the download fails.
    const CURLcode result = session.DownloadTo(local, [easy] {
        long code = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &code);
        return code >= 200 && code <= 299;
    });
    if (result == CURLE_OK) return 0;
    if (!IsCancelled()) DescribeFailure(result, session, shown);
    return FailureResult();
}

void TdmHTTP::DescribeFailure(CURLcode result, const TCurlSession& session, const std::string& shown) {
    if (session.TooSlow()) {
        SetFailure(SlowTransferText(shown));
    } else if (result == CURLE_HTTP_RETURNED_ERROR) {
        SetFailure("The HTTP server answered " + AnswerText(session) + " for '" + shown + "'.");
    } else if (result == CURLE_TOO_MANY_REDIRECTS) {
        SetFailure("The HTTP server answered '" + shown + "' with a redirect loop (more than " +
                   std::to_string(kMaxRedirects) + " redirects).");
    } else if (result == CURLE_UNSUPPORTED_PROTOCOL && !session.LastReply().empty()) {
        SetFailure("The HTTP server redirected '" + shown + "' to an address that is not http://.");
    } else if (result == CURLE_PARTIAL_FILE) {
        SetFailure("The HTTP server closed the connection before all of '" + shown + "' had arrived.");
    }
}

}  // namespace brindle
