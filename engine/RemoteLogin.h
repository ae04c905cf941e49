#pragma once
// What a download needs to know of a log-file location besides its address.
#include <string>

namespace brindle {

struct TRemoteLogin {
    std::string UserName;
    std::string Password;
    int Port = 0;  // 0: the protocol's default port
    bool Passive = true;  // FTP only
};

}  // namespace brindle
