#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/CommonConsts_tables.h"

using namespace brindle;

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

}  // namespace

// Country indices are stored in analysis documents: the row order must never move.
TEST(Tables, CountryRowOrderIsPinned) {
    std::string joined;
    for (const auto& row : CountryTable()) joined += (joined.empty() ? "" : ", ") + row.TLD;
    EXPECT_EQ(
        joined,
        "ac, ad, ae, af, ag, ai, al, am, an, ao, aq, ar, arpa, as, at, au, aw, az, ba, bb, bd, be, bf, bg, bh, bi, bj, "
        "bm, bn, bo, br, bs, bt, bv, bw, by, bz, ca, cc, cd, cf, cg, ch, ci, ck, cl, cm, cn, co, com, cr, cu, cv, cx, "
        "cy, cz, de, dj, dk, dm, do, dz, ec, edu, ee, eg, eh, er, es, et, fi, fj, fk, fm, fo, fr, fx, ga, gb, gd, ge, "
        "gf, gg, gh, gi, gl, gm, gn, gov, gp, gq, gr, gs, gt, gu, gw, gy, hk, hm, hn, hr, ht, hu, id, ie, il, im, in, "
        "io, iq, ir, is, it, je, jm, jo, jp, ke, kg, kh, ki, km, kn, kp, kr, kw, ky, kz, la, lb, lc, li, lk, lr, ls, "
        "lt, lu, lv, ly, ma, mc, md, mg, mh, mil, mk, ml, mm, mn, mo, mp, mq, mr, ms, mt, mu, mv, mw, mx, my, mz, na, "
        "nc, ne, net, nf, ng, ni, nl, no, np, nr, nu, nz, om, org, pa, pe, pf, pg, ph, pk, pl, pm, pn, pr, ps, pt, pw, "
        "py, qa, re, ro, ru, rw, sa, sb, sc, sd, se, sg, sh, si, sj, sk, sl, sm, sn, so, sr, st, su, sv, sy, sz, tc, "
        "td, tf, tg, th, tj, tk, tm, tn, to, tp, tr, tt, tv, tw, tz, ua, ug, uk, um, us, uy, uz, va, vc, ve, vg, vi, "
        "vn, vu, wf, ws, ye, yt, yu, za, zm, zr, zw, a1, a2, o1, admin, aero, biz, coop, info, int, museum, name, pro");
    EXPECT_EQ(GetCountryTLD(1), "ac");
    EXPECT_EQ(GetCountryTLD(57), "de");
    EXPECT_EQ(GetCountryTLD(79), "gb");
    EXPECT_EQ(GetCountryTLD(194), "ru");
    EXPECT_EQ(GetCountryTLD(236), "us");
    EXPECT_EQ(GetCountryTLD(266), "pro");
    EXPECT_EQ(GetCountryTLD(0), "");
    EXPECT_EQ(GetCountryTLD(267), "");
}

TEST(Tables, CountryIndexGoesThroughTheGeoIPCode) {
    const struct {
        const char* tld;
        int index;
    } cases[] = {
        {"ac", 0},  // no GeoIP code
        {"de", 57},   {"uk", 79},     {"gb", 79},  {"su", 194}, {"ru", 194}, {"com", 236},
        {"net", 236}, {"admin", 236}, {"us", 236}, {"pro", 0},  {"aero", 0}, {"a1", 255},
        {"gg", 83},   {"im", 107},    {"je", 114}, {"ps", 187},  // their own code, not none
        {"xx", 0},    {"", 0},        {"DE", 0},   {"de ", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(GetCountryIndex(c.tld), c.index) << c.tld;
}

TEST(Tables, GeoIPCodesAreTheUpperCasedTLDExceptAliasesAndGenericDomains) {
    const std::set<std::string> us = {"arpa", "com", "edu", "gov", "mil", "net", "org", "admin"};
    const std::set<std::string> none = {"ac", "aero", "biz", "coop", "info", "int", "museum", "name", "pro"};
    std::set<std::string> seen;
    for (const auto& row : CountryTable()) {
        EXPECT_TRUE(seen.insert(row.TLD).second) << row.TLD;
        std::string expected = Upper(row.TLD);
        if (us.count(row.TLD)) expected = "US";
        if (none.count(row.TLD)) expected = "";
        if (row.TLD == "su") expected = "RU";
        if (row.TLD == "uk") expected = "GB";
        EXPECT_EQ(row.GeoIP, expected) << row.TLD;
        EXPECT_LT(row.Region, kRegionCount) << row.TLD;
        EXPECT_FALSE(row.Name.empty()) << row.TLD;
    }
}

TEST(Tables, RegionsOfCountries) {
    const struct {
        const char* tld;
        const char* key;
    } cases[] = {
        {"de", "Europe"},
        {"jp", "Asia"},
        {"us", "NorthAmerica"},
        {"br", "SouthAmerica"},
        {"au", "Oceania"},
        {"sa", "MiddleEast"},
        {"za", "Africa"},
        {"a1", "None"},
        {"info", "None"},
        // rows that were filed on the wrong continent
        {"er", "Africa"},
        {"ac", "Africa"},
        {"pf", "Oceania"},
        {"pg", "Oceania"},
        {"af", "Asia"},
        {"kg", "Asia"},
        {"tj", "Asia"},
        {"tm", "Asia"},
        {"uz", "Asia"},
        {"sv", "NorthAmerica"},
        {"fm", "Oceania"},
        {"is", "Europe"},
        {"sb", "Oceania"},
        {"nu", "Oceania"},
        {"pm", "NorthAmerica"},
        {"pn", "Oceania"},
        {"st", "Africa"},
        {"dm", "NorthAmerica"},
        {"do", "NorthAmerica"},
        {"gf", "SouthAmerica"},
        {"gy", "SouthAmerica"},
        {"hm", "Oceania"},
        {"mm", "Asia"},
        {"sm", "Europe"},
        {"sr", "SouthAmerica"},
        {"sy", "MiddleEast"},
        {"to", "Oceania"},
        {"tp", "Asia"},
        // Central America and the Caribbean are North America, Pacific islands Oceania, by place not by owner
        {"mx", "NorthAmerica"},
        {"gt", "NorthAmerica"},
        {"bz", "NorthAmerica"},
        {"cr", "NorthAmerica"},
        {"hn", "NorthAmerica"},
        {"ni", "NorthAmerica"},
        {"pa", "NorthAmerica"},
        {"cu", "NorthAmerica"},
        {"jm", "NorthAmerica"},
        {"ht", "NorthAmerica"},
        {"pr", "NorthAmerica"},
        {"bs", "NorthAmerica"},
        {"tt", "NorthAmerica"},
        {"bb", "NorthAmerica"},
        {"vc", "NorthAmerica"},
        {"aw", "NorthAmerica"},
        {"an", "NorthAmerica"},
        {"gp", "NorthAmerica"},
        {"mq", "NorthAmerica"},
        {"vg", "NorthAmerica"},
        {"as", "Oceania"},
        {"gu", "Oceania"},
        {"um", "Oceania"},
        {"nc", "Oceania"},
        {"wf", "Oceania"},
        {"re", "Africa"},
        {"io", "Asia"},
        {"kz", "Asia"},
        {"am", "Asia"},
        {"ru", "Europe"},
        {"su", "Europe"},
    };
    const auto& table = CountryTable();
    for (const auto& c : cases) {
        int index = 0;
        for (int i = 0; i < kCountryCount; ++i)
            if (table[i].TLD == c.tld) index = i + 1;
        ASSERT_NE(index, 0) << c.tld;
        EXPECT_EQ(GetCountryRegionKey(index), c.key) << c.tld;
    }
    EXPECT_EQ(GetCountryRegionKey(235), "Oceania");  // um: the US islands of the Pacific
    EXPECT_EQ(GetCountryRegionKey(0), "None");
    EXPECT_EQ(GetCountryRegionKey(267), "None");
    EXPECT_EQ(GetRegionKey(7), "Oceania");
    EXPECT_EQ(GetRegionKey(9), "None");
    EXPECT_EQ(GetRegionKey(-1), "None");
}

TEST(Tables, CodeLookupEdgeCases) {
    EXPECT_EQ(GetLogFormatCode("Custom FC"), 101);
    EXPECT_EQ(GetLogFormatCode("custom fc"), 0);
    EXPECT_EQ(GetLogFormatName(6), "Microsoft IIS 4/5/6 (W3C)");
    EXPECT_EQ(GetLogFormatName(8), "");
    EXPECT_EQ(GetDateFormatCode("YMD (Japanese)"), 6);
    EXPECT_EQ(GetDateFormatName(3), "");
    EXPECT_EQ(GetCSVSeparatorCode(";"), 3);
    EXPECT_EQ(GetCSVSeparatorName(4), "Tab");
    EXPECT_EQ(GetCSVSeparatorName(0), "");
    EXPECT_EQ(GetFileTypeCode("document"), fkPage);
    EXPECT_EQ(GetFileTypeCode("Document"), 0);
    EXPECT_EQ(GetFileTypeName(fkDownload), "file");
    EXPECT_EQ(GetFileTypeName(fkNone), "");
    EXPECT_EQ(GetFileTypeName(6), "");
    EXPECT_EQ(GetUSStateName("WV"), "West Virginia");
    EXPECT_EQ(GetUSStateName("AE"), "Armed Forces Europe, Middle East, & Canada");
    EXPECT_EQ(GetUSStateName("wv"), "");
    EXPECT_EQ(GetCAProvinceName("YT"), "Yukon Territory");
    EXPECT_EQ(GetCNProvinceName("31"), "Hainan");
    EXPECT_EQ(GetCNProvinceName("17"), "");
    EXPECT_EQ(GetCNProvinceName("1"), "");
}

TEST(Tables, StatusCodesAreAscendingAndUnique) {
    int previous = 0;
    for (const auto& row : StatusCodeTable()) {
        EXPECT_GT(row.Code, previous);
        previous = row.Code;
    }
    EXPECT_EQ(StatusCodeTable().front().Code, 100);
    EXPECT_EQ(StatusCodeTable().back().Text, "HTTP Version not supported");
}

TEST(Tables, KeyedListsAndFixedTexts) {
    EXPECT_EQ(LongDayNameTable()[0], (TRecKeyText{"Day1", "Monday"}));
    EXPECT_EQ(LongDayNameTable()[6], (TRecKeyText{"Day7", "Sunday"}));
    EXPECT_EQ(LongMonthNameTable()[11], (TRecKeyText{"Month12", "December"}));
    EXPECT_EQ(NbVisitTable()[0], (TRecKeyText{"Nb1", "1 visit"}));
    EXPECT_EQ(NbVisitTable()[13], (TRecKeyText{"Nb14", "14 visits"}));
    EXPECT_EQ(NbVisitTable()[14], (TRecKeyText{"Nb15", "15+ visits"}));
    EXPECT_EQ(LenVisitTable()[10], (TRecKeyText{"Len11", "180+ mins"}));
    EXPECT_EQ(TipsOfTheDay()[3],
              "You can find broken links on your site using\r\n\"Missing files (404 Errors)\" report.");
    for (const auto tip : TipsOfTheDay()) EXPECT_EQ(tip.find("\r\n"), tip.rfind("\r\n")) << tip;
    EXPECT_EQ(HtmlSupportFiles().front(), "back_head.gif");
    EXPECT_EQ(HtmlSupportFiles().back(), "ua.js");
}
