#pragma once
// Downloads every file matching a name mask from one FTP folder into the work folder.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/LocalNames.h"
#include "engine/RemoteLogin.h"
#include "engine/RemoteTransfer.h"

namespace brindle {

class TdmFTP : public TRemoteModule {
public:
    TdmFTP() : TRemoteModule("FTP") {}

    // URL is the location without "ftp://": host, folders and a file name or mask ("*", "?"),
    // separated by "/". Every matching file of the folder is downloaded in listing order to
    // Folder (ending with "/") under a safe local name that Names has not handed out yet, and
    // its local path is appended to Files. Returns 0 done, 1 cancelled, 2 failed; files
    // completed before a failure stay on disk and in Files. When the server refused with a
    // reply code, or a transfer was too slow, FailureText() says so.
    uint8_t DownloadFiles(const TRemoteLogin& Location, const std::string& URL, const std::string& Folder,
                          std::vector<std::string>& Files, TLocalNames& Names);
    // The same with names kept unique within this call only.
    uint8_t DownloadFiles(const TRemoteLogin& Location, const std::string& URL, const std::string& Folder,
                          std::vector<std::string>& Files);

private:
    // ShownFolder is the folder's address as messages name it, ending with "/".
    uint8_t DownloadListed(TCurlSession& session, const std::string& folderUrl, const std::string& shownFolder,
                           const std::vector<std::string>& names, const std::string& Folder,
                           std::vector<std::string>& Files, TLocalNames& Names);
    void DescribeFailure(CURLcode result, const TCurlSession& session, const std::string& shown);
};

namespace detail {

// Matches a file name against a mask in which "*" stands for any run of characters and "?"
// for one character; everything else, "[" included, matches itself (case-sensitive).
bool MatchesMask(std::string_view mask, std::string_view name);

}  // namespace detail

}  // namespace brindle
