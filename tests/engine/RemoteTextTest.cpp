#include <gtest/gtest.h>

#include "engine/RemoteTransfer.h"

namespace brindle {
namespace {

TEST(RemoteText, ServerRepliesAndAddressesAreFitForAMessage) {
    struct Case {
        std::string in;
        std::string reply;  // PrintableReply
        std::string address;  // AddressForMessage
    };
    const Case cases[] = {
        {"http://host/a.log", "http://host/a.log", "http://host/a.log"},
        {"http://user:pa:ss@host:8080/a.log", "http://user:pa:ss@host:8080/a.log", "http://host:8080/a.log"},
        // An "@" after the host is part of the path.
        {"ftp://host/mail@list/a.log", "ftp://host/mail@list/a.log", "ftp://host/mail@list/a.log"},
        {"user@host/a", "user@host/a", "host/a"},
        {"500  Internal\t\tError \r\n", "500 Internal Error", "500  InternalError "},
        {"530 Bad\x1b[31mly\x7f", "530 Bad[31mly", "530 Bad[31mly"},
        {"http://h/caf\xc3\xa9.log", "http://h/caf.log", "http://h/caf\xc3\xa9.log"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(detail::PrintableReply(c.in), c.reply) << c.in;
        EXPECT_EQ(detail::AddressForMessage(c.in), c.address) << c.in;
    }
    EXPECT_EQ(detail::PrintableReply(std::string(500, 'x')).size(), 200u);
}

}  // namespace
}  // namespace brindle
