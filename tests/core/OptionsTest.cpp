#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/CommonConsts_classify.h"
#include "core/Options_u.h"

using namespace brindle;

namespace {

TOptions Defaults() {
    TOptions options;
    options.LoadDefaults();
    return options;
}

}  // namespace

TEST(Options, ConstructedEmptyAndDefaultsCopyTheBuiltInRows) {
    const TOptions empty;
    EXPECT_TRUE(empty.OSs.IsEmpty());
    EXPECT_TRUE(empty.Files.IsEmpty());
    EXPECT_EQ(empty.SessionLength, 0);
    EXPECT_EQ(empty.Ver, "");

    const TOptions options = Defaults();
    ASSERT_EQ(options.OSs.Count(), 23u);
    ASSERT_EQ(options.Browsers.Count(), 38u);
    ASSERT_EQ(options.Spiders.Count(), 54u);
    ASSERT_EQ(options.SEs.Count(), 50u);
    ASSERT_EQ(options.Files.Count(), 92u);
    for (std::size_t i = 0; i < kDefaultSECount; ++i) {
        const TDefaultSEType& row = DefaultSETable()[i];
        EXPECT_EQ(options.SEs[i], (TRecSEType{std::string(row.ID), std::string(row.Query1), std::string(row.Query2),
                                              std::string(row.Query3), std::string(row.Name)}));
    }
    EXPECT_EQ(options.Description, "Brindle Analyzer Options");
    EXPECT_EQ(options.Ver, "1.00");
    EXPECT_EQ(options.OSs[1], (TRecOSType{"Windows NT 5.2", "Windows Server 2003"}));
    EXPECT_EQ(options.Browsers[37], (TRecBrowserType{"Mozilla/5.", "Mozilla/5.x (compatible)"}));
    EXPECT_EQ(options.Spiders[41], (TRecSpiderType{"search.ch", "search.ch"}));
    EXPECT_EQ(options.Spiders[53], (TRecSpiderType{"suzuran", "Yokogao Search"}));
    EXPECT_EQ(options.SEs[0].Name, "About.com");
    EXPECT_EQ(options.SEs[12].ID, "crawler.de");
    EXPECT_EQ(options.Files[0], (TRecFileExt{"asa", 2}));
    EXPECT_EQ(options.Files[91], (TRecFileExt{"wvx", 5}));

    EXPECT_EQ(options.NbThread, 100);
    EXPECT_EQ(options.CacheDays, 30);
    EXPECT_EQ(options.Timeout, 5000);
    EXPECT_EQ(options.AskBefore, 1);
    EXPECT_EQ(options.Export, (TRecExportOptions{"en", "", "", 1, 1, 1, 1, ""}));
    const std::vector<int> misc = {options.SessionLength,
                                   options.RemoveTxtQuestionRequestURL,
                                   options.RemoveTxtQuestionReferrerURL,
                                   options.RemoveTxtSharpRequestURL,
                                   options.RemoveTxtSharpReferrerURL,
                                   options.ConvertLowerCaseRequestURL,
                                   options.ConvertLowerCaseReferrerURL,
                                   options.ShowEmptyReports,
                                   options.ShowGridLines};
    EXPECT_EQ(misc, (std::vector<int>{30, 1, 0, 1, 1, 0, 0, 0, 0}));
}

TEST(Options, DefaultsReplaceEverythingAndCopiesAreIndependent) {
    TOptions options;
    options.OSs.Add({"x", "y"});
    options.SessionLength = 7;
    options.LoadDefaults();
    EXPECT_EQ(options, Defaults());

    TOptions copy = options;
    copy.Browsers.Remove(0);
    copy.Export.MSWordAuthor = "someone";
    EXPECT_EQ(options.Browsers.Count(), 38u);
    EXPECT_EQ(options.Export.MSWordAuthor, "");
    EXPECT_NE(copy, options);
}

TEST(Options, UserAgentLookups) {
    const TOptions options = Defaults();
    struct Case {
        const TLstUAType& list;
        std::string_view agent;
        std::string_view name;
    };
    const Case cases[] = {
        // the first row wins: "Windows NT 5.2" stands before "Windows NT"
        {options.OSs, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.2; Windows NT)", "Windows Server 2003"},
        {options.OSs, "Mozilla/4.0 (compatible; Windows NT 4.0)", "Windows NT"},
        {options.OSs, "Mozilla/5.0 (X11; linux)", ""},  // case-sensitive
        {options.OSs, "", ""},
        {options.Browsers, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)", "Internet Explorer 6.x"},
        {options.Browsers, "Mozilla/4.0 (compatible; msie 6.0)", "Mozilla/4.x (compatible)"},
        {options.Browsers, "msie 6.0", ""},
        {options.Browsers, "Mozilla/5.0 Gecko/20041107 Firefox/1.0", "Firefox"},
        {options.Browsers, "Opera/7.54 (Windows NT 5.1; U)", "Opera"},
        {options.Browsers, "Wget/1.9", "Wget"},
        {options.Browsers, "XXDAXX", "Download Accelerator"},  // a substring anywhere, not a word
        {options.Spiders, "Googlebot/2.1 (+http://www.google.com/bot.html)", "Google"},
        {options.Spiders, "Mozilla/5.0 (compatible; Yahoo! Slurp)", "Inktomi"},
        {options.Spiders, "googlebot", ""},
        {options.Spiders, "Mozilla/4.0 (compatible; MSIE 6.0)", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.list.FindName(c.agent), c.name) << c.agent;

    TLstUAType list;
    list.Add({"", "Empty"});
    list.Add({"Bot", "First"});
    list.Add({"Bot", "Second"});
    EXPECT_EQ(list.FindName("any text"), "");
    EXPECT_EQ(list.FindIndex("a Bot"), 1);
    EXPECT_EQ(list.FindName("a Bot"), "First");
    EXPECT_EQ(list.IndexOfID("Bot"), 1);
    EXPECT_EQ(list.IndexOfID("bot"), -1);
}

TEST(Options, SearchEngineDetection) {
    const TOptions options = Defaults();
    struct Case {
        std::string_view referrer;
        std::string_view name;
    };
    const Case cases[] = {
        {"http://www.google.com/search?hl=en&q=web+stats", "Google"},
        {"http://www.google.com/", ""},  // the host without any of its keys
        {"http://www.GOOGLE.com/search?q=x", ""},
        {"http://search.yahoo.com/search?p=logs", "Yahoo"},
        // "search." with neither "QUERY=" nor "what=" passes on to "search.msn"
        {"http://search.msn.com/results.aspx?rs=logs", "MSN"},
        {"http://search.msn.com/results.aspx?what=logs", "CNET"},
        // keys are plain substrings of the whole referrer, host and path alike
        {"http://www.altavista.com/web/ss=/", "AltaVista"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(options.SEs.FindName(c.referrer), c.name) << c.referrer;

    TLstSEType engines;
    engines.Add({"nokeys.", "", "", "", "No Keys"});
    engines.Add({"", "q=", "", "", "No Host"});
    EXPECT_EQ(engines.FindName("http://nokeys.example/?q=a"), "");
    EXPECT_EQ(engines.FindIndex("http://nokeys.example/?q=a"), -1);
}

TEST(Options, KeyPhrase) {
    TLstSEType engines;
    engines.Add({"search.msn", "rs=", "MT=", "", "MSN"});
    engines.Add({"google.", "q=", "", "", "Google"});
    engines.Add({"msn.", "q=", "MT=", "string=", "MSN"});
    engines.Add({"altavista.", "q=", "kw=", "ss=", "AltaVista"});
    struct Case {
        std::string_view name;
        std::vector<std::string_view> params;
        std::string_view phrase;
    };
    const Case cases[] = {
        {"Google", {"hl=en", "q=web+stats"}, "web+stats"},
        {"Google", {"Q=web"}, ""},
        {"google", {"q=web"}, ""},
        {"Google", {"q"}, ""},
        {"Google", {"=q=x", "q==x"}, "=x"},  // empty key skipped; the value starts after the first "="
        {"Google", {"q=", "q=second"}, ""},  // an empty value is the phrase found
        {"Google", {}, ""},
        {"MSN", {"rs=first"}, "first"},
        {"MSN", {"string=second"}, "second"},  // the next engine of the same name
        {"MSN", {"q=x", "rs=y"}, "y"},  // every parameter for the first engine before the second
        {"AltaVista", {"ss=a", "q=b"}, "a"},  // parameter order, not key order
        {"Nobody", {"q=a"}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(engines.GetKeyPhrase(c.name, c.params), c.phrase) << c.name << " " << c.params.size();
        const std::vector<std::string> owned(c.params.begin(), c.params.end());
        EXPECT_EQ(engines.GetKeyPhrase(c.name, owned), c.phrase) << c.name;
    }
}

TEST(Options, FileKinds) {
    const TOptions options = Defaults();
    EXPECT_EQ(options.Files.GetFileType("htm"), 2);
    EXPECT_EQ(options.Files.GetFileType("HTM"), 2);
    EXPECT_EQ(options.Files.GetFileType("DVR-ms"), 5);
    EXPECT_EQ(options.Files.GetFileType("Zip"), 3);
    EXPECT_EQ(options.Files.GetFileType("xyz"), 0);
    EXPECT_EQ(options.Files.GetFileType(""), 0);
    EXPECT_EQ(options.Files.GetFileType(".htm"), 0);
    EXPECT_EQ(options.Files.IndexOfExt("asp"), 1);
    EXPECT_EQ(options.Files.IndexOfExt("ASP"), -1);

    TLstFileExt files;
    files.Add({"Dat", 4});
    files.Add({"dat", 1});
    EXPECT_EQ(files.GetFileType("DAT"), 4);
}

TEST(Options, ListEditing) {
    TLstUAType list;
    list.Add({"b", "B"});
    list.Insert(0, {"a", "A"});
    list.Insert(99, {"d", "D"});
    list.Insert(2, {"c", "C"});
    list.Remove(99);
    std::string ids;
    for (const TRecUAType& rec : list) ids += rec.ID;
    EXPECT_EQ(ids, "abcd");
    list.Remove(1);
    list[0].Name = "changed";
    EXPECT_EQ(list.FindName("xa"), "changed");
    EXPECT_EQ(list.FindName("b"), "");
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
}
