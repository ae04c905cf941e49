#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/LogConvert_split.h"

using namespace brindle;

namespace {

const char* const kCommon = "10.0.0.1 - bob [10/Oct/2000:13:55:36 -0700] \"GET /a.gif HTTP/1.0\" 200 2326";
const char* const kCommonNoBytes = "10.0.0.1 - - [10/Oct/2000:13:55:36 -0700] \"GET / HTTP/1.0\" 304 -";
const char* const kCombined =
    "10.0.0.1 - - [10/Oct/2000:13:55:36 -0700] \"GET /a.gif HTTP/1.0\" 200 2326 "
    "\"http://www.example.com/start.html\" \"Mozilla/4.08 [en] (Win98; I ;Nav)\"";
const char* const kIIS =
    "192.168.114.201, -, 03/20/01, 7:55:20, W3SVC2, SALES1, 172.21.13.45, 4502, 163, 3223, 200, 0, GET, "
    "/DeptLogo.gif, -,";
const char* const kW3CHeader = "#Software: Microsoft Internet Information Services 6.0";
const char* const kISAHeader = "#Software: Microsoft(R) Internet Security and Acceleration Server 2000";

std::uint8_t Detect(std::vector<std::string> lines) { return DetectLogFormat(lines); }

}  // namespace

TEST(DetectLogFormat, Formats) {
    const struct {
        std::vector<std::string> lines;
        std::uint8_t format;
    } cases[] = {
        {{kCommon}, lfNCSACommon},
        {{kCommonNoBytes}, lfNCSACommon},  // "-" bytes still decide
        {{kCombined}, lfNCSACombined},
        {{kIIS}, lfIIS},
        {{kW3CHeader, "#Version: 1.0", "#Date: 2003-02-13 00:00:00"}, lfIISW3C},
        {{kISAHeader, "#Version: 1.0"}, lfISAW3C},
        // The first deciding line wins; undecided lines before it are passed over.
        {{"garbage", "", kCombined, kCommon}, lfNCSACombined},
        // Status must be a number other than -1; the date must be bracketed.
        {{"h - - [d] \"r\" -1 5"}, 0},
        {{"h - - [d] \"r\" x 5"}, 0},
        {{"h - - d \"r\" 200 5"}, 0},
        {{"h - - [] \"r\" 200 5"}, lfNCSACommon},
        {{"h - - [ \"r\" 200 5"}, 0},
        {{"h - - [d] \"r\" 200 -1"}, 0},
        // Headers are compared word by word, case-sensitively.
        {{"#Software: microsoft Internet Information Services 6.0"}, 0},
        {{"#Software: Microsoft Internet Information"}, 0},  // needs more than 5 fields
        {{"#Software: Microsoft(R) Internet Security and Acceleration"}, 0},  // needs 8
        // 15 fields of which one lacks its comma.
        {{"a, b, c, d, e, f, g, h, i, j, k, l, m, n, o"}, 0},
        {{}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Detect(c.lines), c.format) << (c.lines.empty() ? "<no lines>" : c.lines.back());
}

TEST(DetectLogFormat, StopsAfterOneHundredLines) {
    std::vector<std::string> lines(99, "noise");
    lines.push_back(kCommon);
    EXPECT_EQ(Detect(lines), lfNCSACommon);
    lines.insert(lines.begin(), "noise");
    EXPECT_EQ(Detect(lines), 0);
}

TEST(DetectDateOrder, Examples) {
    const auto line = [](std::string date) {
        return "10.0.0.1, -, " + date + ", 7:55:20, W3SVC2, S, 1.2.3.4, 1, 2, 3, 200, 0, GET, /a.gif, -,";
    };
    const struct {
        int y, m, d;
        std::vector<std::string> lines;
        std::uint8_t order;
    } cases[] = {
        {2003, 6, 1, {line("13/02/2003")}, doDMY},
        {2003, 6, 1, {line("2003-02-13")}, doYMD},
        {2003, 6, 1, {line("02/13/03")}, doMDY},  // second part is a day
        // Only the file date tells: last modified on 3 February.
        {2003, 2, 3, {line("02/03/2003")}, doMDY},
        {2003, 3, 2, {line("02/03/2003")}, doDMY},
        // Third part a year: the separator decides.
        {2003, 6, 1, {line("02.03.2003")}, doDMY},
        {2003, 6, 1, {line("02/03/2003")}, doMDY},
        {2003, 6, 1, {line("02-03-2003")}, 0},
        {2003, 6, 1, {line("03/02/17")}, doYMD},  // third part a day
        // Roles found on one line persist to the next.
        {2003, 6, 1, {line("05-06-2003"), line("05/06/07")}, doMDY},
        // Lines that are not IIS comma lines, or dates of other than three parts, are skipped.
        {2003, 6, 1, {"x y", line("13/02"), line("13/02/2003/1"), line("2003-02-13")}, doYMD},
        // Parts that are no number stay undecided.
        {2003, 6, 1, {line("/02/05")}, 0},
        // No file date: no answer.
        {0, 0, 0, {line("13/02/2003")}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(DetectDateOrder(c.y, c.m, c.d, c.lines), c.order) << c.lines.back();
}
