#pragma once
// Downloads one file over HTTP into the work folder.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/LocalNames.h"
#include "engine/RemoteLogin.h"
#include "engine/RemoteTransfer.h"

namespace brindle {

class TdmHTTP : public TRemoteModule {
public:
    TdmHTTP() : TRemoteModule("HTTP") {}

    // URL is the location without "http://": host (with an optional ":port"), path and file
    // name separated by "/". The body streams to Folder (ending with "/") under a safe local
    // name that Names has not handed out yet, and the local path is appended to Files. A user
    // name or password turns on Basic authentication; redirects to http:// addresses are
    // followed a few times. Returns 0 done, 1 cancelled, 2 failed; an answer other than 2xx is
    // a failure and leaves no file, and FailureText() then names what the server answered.
    uint8_t DownloadFile(const TRemoteLogin& Location, const std::string& URL, const std::string& Folder,
                         std::vector<std::string>& Files, TLocalNames& Names);
    // The same with names kept unique within this call only.
    uint8_t DownloadFile(const TRemoteLogin& Location, const std::string& URL, const std::string& Folder,
                         std::vector<std::string>& Files);

    static constexpr int kMaxRedirects = 5;

private:
    // Shown is the address as messages name it.
    uint8_t Fetch(const TRemoteLogin& Location, const std::string& address, const std::string& local,
                  const std::string& shown);
    void DescribeFailure(CURLcode result, const TCurlSession& session, const std::string& shown);
};

}  // namespace brindle
