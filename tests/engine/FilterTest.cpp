#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/LogConvert_filter.h"

using namespace brindle;

namespace {

// Same field names as the profile's filter record.
struct TFilterRec {
    std::uint8_t FilterType = ftInclude;
    std::uint8_t FilterItem = fiHost;
    std::string Name;
    std::string Value1;
    std::string Value2;
};

TFilterRec F(std::uint8_t type, std::uint8_t item, std::string v1, std::string v2 = "") {
    return {type, item, "name", std::move(v1), std::move(v2)};
}

THitView Hit(std::string_view host, std::string_view uri) {
    THitView h;
    h.Host = host;
    h.URI = uri;
    h.Referrer = "http://www.example.com/";
    h.Method = "GET";
    h.Time = EncodeDateTime(2006, 3, 5, 14, 7, 9);
    h.DayOfWeek = 7;
    h.Hour = 14;
    h.Day = 5;
    h.Month = 3;
    h.Status = 404;
    h.OS = "Linux";
    h.Browser = "Firefox";
    h.VDomain = "W3SVC1";
    return h;
}

}  // namespace

TEST(Filters, IncludeAlternativesExcludeWins) {
    const std::vector<TFilterRec> none;
    EXPECT_TRUE(PassesFilters(none, Hit("1.2.3.4", "/a.gif")));

    const std::vector<TFilterRec> filters = {F(ftInclude, fiHost, "10.1.*"), F(ftExclude, fiURI, "*.gif")};
    const TFilterSet set(filters);
    EXPECT_FALSE(set.Passes(Hit("10.1.2.3", "/a.gif")));
    EXPECT_TRUE(set.Passes(Hit("10.1.2.3", "/a.html")));
    EXPECT_FALSE(set.Passes(Hit("10.2.0.1", "/a.html")));
    EXPECT_EQ(PassesFilters(filters, Hit("10.1.2.3", "/a.html")), true);

    // A second include filter is an alternative.
    const std::vector<TFilterRec> two = {F(ftInclude, fiHost, "10.1.*"), F(ftInclude, fiHost, "10.2.*")};
    EXPECT_TRUE(PassesFilters(two, Hit("10.2.0.1", "/")));
    EXPECT_FALSE(PassesFilters(two, Hit("10.3.0.1", "/")));

    // Types other than include and exclude take no part.
    EXPECT_TRUE(PassesFilters(std::vector{F(0, fiHost, "nothing"), F(3, fiHost, "*")}, Hit("h", "/")));
    // An include filter that cannot match still shuts out every hit.
    EXPECT_FALSE(PassesFilters(std::vector{F(ftInclude, fiHost, "[bad")}, Hit("[bad", "/")));
    EXPECT_FALSE(TFilterSet(std::vector{F(ftExclude, 99, "")}).Empty());
}

TEST(Filters, EachKind) {
    const THitView h = Hit("client.example.net", "/shop/index.html");
    const struct {
        TFilterRec f;
        bool match;
    } cases[] = {
        {F(ftInclude, fiHost, "*.EXAMPLE.net"), true},
        {F(ftInclude, fiHost, "10.0.0.?"), false},
        {F(ftInclude, fiURI, "/shop/*"), true},
        {F(ftInclude, fiReferrer, "http://*.example.com/"), true},
        {F(ftInclude, fiVirtualDomain, "w3svc?"), true},
        {F(ftInclude, fiDateRange, "20060305140709", "20060305140709"), true},  // both ends included
        {F(ftInclude, fiDateRange, "20060305140710", "20070101000000"), false},
        {F(ftInclude, fiDateRange, "20060101000000", "20060305140708"), false},
        {F(ftInclude, fiDateRange, "2006010100000", "20061231235959"), true},  // 13 characters: second "0"
        {F(ftInclude, fiDateRange, "200601010000", "20061231235959"), false},  // fewer than 13
        {F(ftInclude, fiDateRange, "20060101000000", "2006123123595"), true},
        {F(ftInclude, fiDateRange, "20060231000000", "20061231235959"), false},  // impossible date
        {F(ftInclude, fiDateRange, "2006010100000x", "20061231235959"), false},
        {F(ftInclude, fiDayOfWeek, "7"), true},
        {F(ftInclude, fiDayOfWeek, "1"), false},
        {F(ftInclude, fiHour, "14"), true},
        {F(ftInclude, fiHour, "x"), false},
        {F(ftInclude, fiDayOfMonth, "5"), true},
        {F(ftInclude, fiMonth, "3"), true},
        {F(ftInclude, fiMonth, ""), false},
        {F(ftInclude, fiStatusRange, "400", "499"), true},
        {F(ftInclude, fiStatusRange, "500", "599"), false},
        {F(ftInclude, fiStatusRange, "404", "404"), true},
        {F(ftInclude, fiStatusRange, "400", ""), false},
        {F(ftInclude, fiOS, "Linux"), true},
        {F(ftInclude, fiOS, "linux"), false},  // names compare exactly
        {F(ftInclude, fiBrowser, "Firefox"), true},
        {F(ftInclude, fiSpider, ""), true},  // no spider: the empty name matches
        {F(ftInclude, fiSpider, "Google"), false},
        {F(ftInclude, fiMethod, "GET"), true},
        {F(ftInclude, fiMethod, "POST"), false},
        {F(ftInclude, 10, "*"), false},
        {F(ftInclude, 25, "*"), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchFilter(c.f, h), c.match) << int(c.f.FilterItem) << " " << c.f.Value1 << " " << c.f.Value2;

    THitView status500 = h;
    status500.Status = 500;
    EXPECT_FALSE(MatchFilter(F(ftInclude, fiStatusRange, "400", "499"), status500));

    // An exclude filter on an empty spider name drops every hit without a spider.
    THitView spider = h;
    spider.Spider = "Google";
    const std::vector<TFilterRec> noSpiders = {F(ftExclude, fiSpider, "")};
    EXPECT_FALSE(PassesFilters(noSpiders, h));
    EXPECT_TRUE(PassesFilters(noSpiders, spider));
}
