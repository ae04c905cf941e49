#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "LogConvertTestUtil.h"

using namespace brindle;
using namespace brindle::test;

namespace {

using Strings = std::vector<std::string>;

std::string Describe(const TLstRecLog& list, const TRecLog& r) {
    std::ostringstream out;
    out << r.Time << ' ' << r.DayNo() << ' ' << r.MonthStart() << ' ' << r.Year() << '-' << r.Month() << '-' << r.Day()
        << ' ' << r.Hour() << ':' << r.Minute() << ':' << r.Second() << " dow" << r.DayOfWeek() << " b" << r.Bytes
        << " v" << r.VisitId << " d" << r.VisitDuration << " h" << r.HostIdx << " u" << r.UserIdx << " uri" << r.URIIdx
        << " e" << list.ExtIdx(r) << " p" << list.PathIdx(r) << " s" << r.Status << " r" << r.ReferrerIdx << " br"
        << r.BrowserIdx << " os" << r.OSIdx << " sp" << r.SpiderIdx << " k" << +r.Kind << " flags" << +r.IsPage
        << +r.NotModified << +r.Partial << +r.IsError << +r.IsEntry << +r.IsExit << +r.NoRequest;
    return out.str();
}

// Random lines of every format, with the faults logs have: bad lines, blank lines, lines of
// too many fields, CR LF and LF mixed.
class TLogWriter {
public:
    explicit TLogWriter(unsigned seed) : Rng(seed) {}

    std::string NCSA(int lines, bool combined) {
        std::string text;
        for (int i = 0; i < lines; ++i) {
            if (Fault(text)) continue;
            text += Host() + " - " + Pick({"-", "-", "bob", "ann"}) + " [" + Two(1 + Rng() % 28) + "/" +
                    Pick({"Jan", "Feb", "Mar"}) + "/2004:" + Two(Rng() % 24) + ":" + Two(Rng() % 60) + ":" +
                    Two(Rng() % 60) + " +0100] \"" + Pick({"GET", "GET", "POST", "HEAD"}) + " " + URI() +
                    " HTTP/1.1\" " + Pick({"200", "200", "304", "404", "206", "500"}) + " " +
                    (Rng() % 5 == 0 ? std::string("-") : std::to_string(Rng() % 100000));
            if (combined) text += " \"" + Referrer() + "\" \"" + Agent() + "\"";
            text += End();
        }
        return text;
    }

    std::string IIS(int lines) {
        std::string text;
        for (int i = 0; i < lines; ++i) {
            if (Fault(text)) continue;
            text += Host() + ", -, " + std::to_string(13 + Rng() % 15) + "/0" + std::to_string(1 + Rng() % 9) +
                    "/2003, " + Two(Rng() % 24) + ":00:" + Two(Rng() % 60) + ", W3SVC" + std::to_string(Rng() % 3) +
                    ", SRV, 10.0.0.9, 10, 200, " + std::to_string(Rng() % 9000) + ", " + Pick({"200", "404", "304"}) +
                    ", 0, GET, " + URI() + ", -," + End();
        }
        return text;
    }

    // A "#Fields:" line in the middle changes the columns for the lines after it.
    std::string W3C(int lines) {
        std::string text = "#Software: Microsoft Internet Information Services 6.0\n#Date: 2003-02-15 00:00:00\n";
        for (int i = 0; i < lines; ++i) {
            if (i % (lines / 3 + 1) == 0)
                text += i % 2 == 0 ? "#Fields: date time c-ip cs-method cs-uri-stem sc-status sc-bytes cs(User-Agent) "
                                     "cs(Referer)\n"
                                   : "#Fields: time c-ip cs-uri-stem sc-status cs-username\n";
            if (Fault(text)) continue;
            if (i / (lines / 3 + 1) % 2 == 0)
                text += "2003-02-" + std::to_string(15 + Rng() % 10) + " 09:00:" + Two(Rng() % 60) + " " + Host() +
                        " GET " + URI() + " 200 " + std::to_string(Rng() % 999) + " " + Plus(Agent()) + " " +
                        Referrer() + End();
            else
                text += "10:00:" + Two(Rng() % 60) + " " + Host() + " " + URI() + " 404 " + Pick({"-", "joe", "kim"}) +
                        End();
        }
        return text;
    }

    std::string ISA(int lines) {
        std::string text =
            "#Software: Microsoft(R) Internet Security and Acceleration Server 2004\n#Date: 2005-03-01 00:00:00\n"
            "#Fields: c-ip\tcs-username\tc-agent\tdate\ttime\ts-operation\tcs-uri\tsc-status\tsc-bytes\n";
        for (int i = 0; i < lines; ++i) {
            if (Fault(text)) continue;
            text += Host() + "\tanonymous\t" + Agent() + "\t2005-03-0" + std::to_string(1 + Rng() % 9) +
                    "\t12:00:" + Two(Rng() % 60) + "\tGET\thttp://www.example.net" + URI() + "\t200\t" +
                    std::to_string(Rng() % 5000) + End();
        }
        return text;
    }

    std::mt19937 Rng;

private:
    std::string Pick(std::initializer_list<const char*> items) {
        return *(items.begin() + static_cast<std::ptrdiff_t>(Rng() % items.size()));
    }
    static std::string Two(unsigned v) { return (v < 10 ? "0" : "") + std::to_string(v); }
    std::string Host() {
        if (Rng() % 7 == 0) return "host" + std::to_string(Rng() % 50) + ".example.com";
        return "10.0." + std::to_string(Rng() % 8) + "." + std::to_string(Rng() % 40);
    }
    std::string URI() {
        return Pick({"/", "/index.html", "/a/b.gif", "/shop/", "/x.php?id=", "/docs/%7Euser/", "/img/i.jpg"}) +
               std::to_string(Rng() % 30) + (Rng() % 4 == 0 ? "#top" : "");
    }
    std::string Referrer() {
        if (Rng() % 3 == 0) return "-";
        return "http://www.google.com/search?q=" + Pick({"tools", "blue+tap", "cheap"}) + std::to_string(Rng() % 20);
    }
    std::string Agent() {
        return Pick({"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)",
                     "Mozilla/5.0 (X11; Linux x86_64) Gecko/20100101 Firefox/",
                     "Googlebot/2.1 (+http://www.google.com/bot.html)", "Opera/9.80 (Macintosh)", "-"}) +
               (Rng() % 3 == 0 ? std::to_string(Rng() % 9) : std::string());
    }
    static std::string Plus(std::string text) {
        std::replace(text.begin(), text.end(), ' ', '+');
        return text;
    }
    std::string End() { return Rng() % 4 == 0 ? "\r\n" : "\n"; }
    // Sometimes writes a faulty line instead of a good one.
    bool Fault(std::string& text) {
        switch (Rng() % 40) {
            case 0: text += "garbage line " + std::to_string(Rng()) + End(); return true;
            case 1: text += End(); return true;
            case 2:
                text += std::string(52, 'x').replace(1, 50, std::string(25, ' ') + std::string(25, 'y')) + End();
                return true;
            case 3: {
                std::string many;
                for (int i = 0; i < 51; ++i) many += "f ";
                text += many + End();
                return true;
            }
            default: return false;
        }
    }
};

// How a several-thread run reads: its range size, and whether it counts every range's lines
// before reading any (else each worker counts a range's lines as it takes it).
struct TReading {
    std::int64_t Range = 0;
    bool CountFirst = false;
    std::string Name() const { return "range " + std::to_string(Range) + (CountFirst ? ", lines counted first" : ""); }
};

struct TRun {
    Strings Statuses;
    std::vector<Strings> Tables;
    std::vector<std::string> Records;
    std::int64_t Bad = 0;
    int Visits = 0;
    std::string Error;
    bool Completed = false;
};

class ParallelParse : public ::testing::Test {
protected:
    TRun Run(const TProfile& profile, unsigned threads, std::int64_t rangeBytes, bool countLinesFirst = false) {
        TLogConvert engine;
        engine.ParseSettings.Threads = threads;
        engine.ParseSettings.RangeBytes = rangeBytes;
        engine.ParseSettings.CountLinesFirst = countLinesFirst;
        TEngineEvents events;
        events.Bind(engine);
        if (OnStatus) {
            TProgressInfoEvent record = engine.OnStatus;
            engine.OnStatus = [this, record](const void* sender, int value, const std::string& text) {
                record(sender, value, text);
                OnStatus(text);
            };
        }
        TRun run;
        run.Error =
            ErrorOf([&] { run.Completed = engine.Analyze(profile, work.path(), work.file("dns.dat"), "", options); });
        run.Statuses = events.Statuses();
        for (const TBucketString* table :
             {&engine.HostTable, &engine.UserTable, &engine.VDomainTable, &engine.MethodTable, &engine.URITable,
              &engine.ExtTable, &engine.PathTable, &engine.ReferrerTable, &engine.AgentTable, &engine.BrowserTable,
              &engine.OSTable, &engine.SpiderTable})
            run.Tables.push_back(TableTexts(*table));
        for (std::size_t i = 0; i < engine.Records.Count(); ++i)
            run.Records.push_back(Describe(engine.Records, engine.Records.Stored(i)));
        run.Bad = engine.BadLineCount;
        run.Visits = engine.VisitCount;
        // Progress never goes back within a file.
        std::string text;
        int last = 0;
        for (const TEngineEvents::TEvent& e : events.Events) {
            if (e.Status || !e.Text.starts_with("Analyzing")) continue;
            if (e.Text != text) {
                text = e.Text;
                last = 0;
            }
            EXPECT_GE(e.Value, last) << e.Text;
            EXPECT_LE(e.Value, 100);
            last = e.Value;
        }
        if (run.Completed) statistics.push_back(static_cast<const TStatistics&>(engine));
        return run;
    }

    // The same run on one thread and on several with ranges of several sizes, the lines
    // counted piece by piece as the workers take them or all first: every table, record,
    // count, message and statistic alike.
    void ExpectSameOnAnyThreads(const TProfile& profile) {
        statistics.clear();
        const TRun one = Run(profile, 1, 1 << 20);
        for (const TReading way : {TReading{1, false}, TReading{5000, false}, TReading{5000, true}}) {
            SCOPED_TRACE(way.Name());
            const TRun many = Run(profile, 8, way.Range, way.CountFirst);
            EXPECT_EQ(many.Error, one.Error);
            EXPECT_EQ(many.Completed, one.Completed);
            EXPECT_EQ(many.Statuses, one.Statuses);
            ASSERT_EQ(many.Tables.size(), one.Tables.size());
            for (std::size_t t = 0; t < one.Tables.size(); ++t)
                EXPECT_EQ(many.Tables[t], one.Tables[t]) << "table " << t;
            ASSERT_EQ(many.Records.size(), one.Records.size());
            for (std::size_t i = 0; i < one.Records.size(); ++i) ASSERT_EQ(many.Records[i], one.Records[i]) << i;
            EXPECT_EQ(many.Bad, one.Bad);
            EXPECT_EQ(many.Visits, one.Visits);
        }
        for (std::size_t i = 1; i < statistics.size(); ++i) EXPECT_TRUE(statistics[i] == statistics[0]) << i;
    }

    // Called after each status line of a run, on the thread that runs it.
    std::function<void(const std::string&)> OnStatus;
    TestFolder logs;
    TestFolder work;
    TOptions options = DefaultOptions();
    std::vector<TStatistics> statistics;
};

}  // namespace

TEST_F(ParallelParse, SameResultOnAnyNumberOfThreads) {
    TLogWriter writer(2024);
    for (int i = 0; i < 12; ++i) {
        const std::string n = std::to_string(i);
        logs.write("common" + n + ".log", writer.NCSA(5 + static_cast<int>(writer.Rng() % 60), false));
        logs.write("combined" + n + ".log", writer.NCSA(5 + static_cast<int>(writer.Rng() % 60), true));
        SetFileDate(logs.write("iis" + n + ".log", writer.IIS(5 + static_cast<int>(writer.Rng() % 40))), 2010, 7, 20);
        logs.write("w3c" + n + ".log", writer.W3C(10 + static_cast<int>(writer.Rng() % 40)));
        logs.write("isa" + n + ".log", writer.ISA(5 + static_cast<int>(writer.Rng() % 40)));
    }
    // One large file, bad lines and all, read in many ranges; files that fail; a long line.
    logs.write("big.log", writer.NCSA(3000, true));
    logs.write("bigw3c.log", writer.W3C(1000));
    logs.write("garbage.log", "nothing to see\nhere\n");
    logs.write("empty.log", "");
    logs.write("long.log", writer.NCSA(20, true) + std::string(600000, 'z') + "\n" + writer.NCSA(20, true));
    // The last file of the run is cut finer towards its end, directives and all.
    logs.write("zz-last.log", writer.W3C(1000));
    const TProfile profile = ProfileOf({FileLocation(logs.path() + "*.log")});
    ExpectSameOnAnyThreads(profile);

    // Filtered hits still leave their texts in the tables, in the same order.
    TProfile filtered = profile;
    filtered.Filters.Add({ftExclude, fiURI, "gifs", "*.gif", ""});
    filtered.Filters.Add({ftExclude, fiHost, "some", "10.0.1.*", ""});
    ExpectSameOnAnyThreads(filtered);
}

// A run of one file raises that file's error however many threads read it.
TEST_F(ParallelParse, SameErrorsOnAnyNumberOfThreads) {
    TLogWriter writer(7);
    std::string bad;
    for (int i = 0; i < 3000; ++i) bad += "not a log line " + std::to_string(i) + "\n";
    logs.write("bad.log", bad);
    ExpectSameOnAnyThreads(ProfileOf({FileLocation(logs.path() + "bad.log")}));
    EXPECT_NE(Run(ProfileOf({FileLocation(logs.path() + "bad.log")}), 8, 100).Error, "");

    logs.write("only.log", writer.NCSA(3000, false));
    ExpectSameOnAnyThreads(ProfileOf({FileLocation(logs.path() + "only.log")}, lfNCSACombined));
    ExpectSameOnAnyThreads(ProfileOf({FileLocation(logs.path() + "only.log")}, lfIIS));
}

TEST_F(ParallelParse, CancelReachesTheWorkers) {
    TLogWriter writer(99);
    const std::string chunk = writer.NCSA(20000, true);
    for (int i = 0; i < 4; ++i) logs.write("big" + std::to_string(i) + ".log", chunk);
    const TProfile profile = ProfileOf({FileLocation(logs.path() + "*.log")});

    // From the progress callback, on the thread that runs the analysis.
    TLogConvert engine;
    engine.ParseSettings.Threads = 8;
    engine.ParseSettings.RangeBytes = 64 * 1024;
    const std::thread::id caller = std::this_thread::get_id();
    engine.OnProgress = [&](const void*, int value, const std::string&) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        if (value >= 20) engine.Cancel();
    };
    engine.OnStatus = [&](const void*, int, const std::string&) { EXPECT_EQ(std::this_thread::get_id(), caller); };
    EXPECT_FALSE(engine.Analyze(profile, work.path(), work.file("dns.dat"), "", options));
    EXPECT_LT(engine.Records.Count(), 80000u);

    // From another thread while the workers read: the analysis holds at its first report
    // past 20 % until the other thread has cancelled, then ends without reading the rest.
    TLogConvert other;
    other.ParseSettings.Threads = 8;
    other.ParseSettings.RangeBytes = 64 * 1024;
    std::promise<void> reading;
    std::promise<void> cancelled;
    bool held = false;
    other.OnProgress = [&](const void*, int value, const std::string&) {
        if (held || value < 20) return;
        held = true;
        reading.set_value();
        cancelled.get_future().wait();
    };
    std::thread canceller([&] {
        reading.get_future().wait();
        other.Cancel();
        cancelled.set_value();
    });
    const bool completed = other.Analyze(profile, work.path(), work.file("dns.dat"), "", options);
    if (!held) reading.set_value();  // lets the canceller end when no report came
    canceller.join();
    ASSERT_TRUE(held) << "no progress report past 20 %";
    EXPECT_FALSE(completed);
    EXPECT_LT(other.Records.Count(), 80000u);
}

// Stretches of a large file that give no hit at all (bad lines, filtered hits, blank lines)
// leave whole ranges without a record: the records after them close up behind the others.
TEST_F(ParallelParse, RangesWithoutAnyHit) {
    TLogWriter writer(31);
    std::string bad;
    for (int i = 0; i < 400; ++i) bad += "no log line " + std::to_string(i) + "\n";
    std::string filtered;
    for (int i = 0; i < 300; ++i)
        filtered += "10.9.9.9 - - [01/Jan/2004:00:00:00 +0100] \"GET /gone" + std::to_string(i) + " HTTP/1.1\" 200 5\n";
    logs.write("holes.log", bad + writer.NCSA(300, true) + bad + std::string(500, '\n') + writer.NCSA(200, true) +
                                filtered + writer.NCSA(100, true) + filtered);
    logs.write("tail.log", writer.NCSA(50, true) + bad);
    TProfile profile = ProfileOf({FileLocation(logs.path() + "*.log")});
    profile.Filters.Add({ftExclude, fiHost, "gone", "10.9.9.9", ""});
    ExpectSameOnAnyThreads(profile);
}

// Files that change after the run was planned: one grows past the lines its ranges were
// given room for, one shrinks and ends midway, one goes away. The several-thread run reads
// them as one thread reading at the same moment does.
TEST_F(ParallelParse, FilesThatChangeWhileTheRunReadsOthers) {
    TLogWriter writer(5);
    logs.write("a.log", writer.NCSA(3000, true));
    const std::string grows = writer.NCSA(400, true);
    const std::string extra = writer.NCSA(900, true);
    const std::string shrinks = writer.NCSA(800, true);
    const std::string goes = writer.NCSA(300, true);
    const TProfile profile = ProfileOf({FileLocation(logs.path() + "*.log")});
    const auto prepare = [&] {
        logs.write("x-grows.log", grows);
        logs.write("y-shrinks.log", shrinks);
        logs.write("z-goes.log", goes);
    };
    // While a.log is read, and long before the others are: the workers stay a few ranges ahead.
    OnStatus = [&](const std::string& text) {
        if (text != "Analyzing : a.log") return;
        logs.write("x-grows.log", grows + extra);
        logs.write("y-shrinks.log", shrinks.substr(0, shrinks.size() / 2 + 7));
        std::filesystem::remove(logs.path() + "z-goes.log");
    };
    prepare();
    const TRun one = Run(profile, 1, 1 << 20);
    for (const TReading way : {TReading{1, false}, TReading{3000, false}, TReading{3000, true}}) {
        SCOPED_TRACE(way.Name());
        prepare();
        const TRun many = Run(profile, 8, way.Range, way.CountFirst);
        EXPECT_EQ(many.Error, one.Error);
        EXPECT_EQ(many.Statuses, one.Statuses);
        EXPECT_EQ(many.Tables, one.Tables);
        EXPECT_EQ(many.Records, one.Records);
        EXPECT_EQ(many.Bad, one.Bad);
    }
    OnStatus = nullptr;
    // The changes did happen before those files were read.
    EXPECT_NE(std::find(one.Statuses.begin(), one.Statuses.end(), "Skipped : z-goes.log"), one.Statuses.end());
    prepare();
    EXPECT_NE(Run(profile, 1, 1 << 20).Records.size(), one.Records.size());
}

// Extensions are as many as a log's URLs make: a run with more than a 16-bit index holds
// completes and reads the last one back, alike on one thread and on several.
TEST_F(ParallelParse, ExtensionsBeyondSixteenBits) {
    const auto line = [](int n) {
        return "10.0.0.1 - - [13/Feb/2003:10:00:00 +0000] \"GET /f.e" + std::to_string(n) + " HTTP/1.0\" 200 1\n";
    };
    std::string text;
    const int count = TRecLog::kMaxSmallIndex + 3;
    for (int n = 0; n < count; ++n) text += line(n);
    logs.write("many.log", text);
    const TProfile profile = ProfileOf({FileLocation(logs.path() + "many.log")}, lfNCSACommon);
    const TRun one = Run(profile, 1, 1 << 20);
    ASSERT_TRUE(one.Completed) << one.Error;
    ASSERT_EQ(one.Tables[tiExt].size(), static_cast<std::size_t>(count));
    EXPECT_EQ(one.Tables[tiExt].back(), "e" + std::to_string(count - 1));
    EXPECT_NE(one.Records.back().find(" e" + std::to_string(count - 1) + " "), std::string::npos) << one.Records.back();
    const TRun many = Run(profile, 8, 256 * 1024);
    EXPECT_TRUE(many.Completed) << many.Error;
    EXPECT_EQ(many.Records, one.Records);
}

// Every line brings a URL no piece has met, while referrers and agents come back pieces
// later, on other threads: the texts a piece hands over are still readable when a later
// piece of the same thread uses them, also after the thread has run out of pieces.
TEST_F(ParallelParse, TextsNewInEveryPieceAndMetAgainLater) {
    std::string text;
    for (int i = 0; i < 6000; ++i)
        text += "10.1." + std::to_string(i % 200) + "." + std::to_string(i / 200) +
                " - - [13/Feb/2003:10:" + std::to_string(10 + i / 600) + ":00 +0000] \"GET /p" + std::to_string(i) +
                ".html HTTP/1.0\" 200 " + std::to_string(i) + " \"http://r.example/" + std::to_string(i * 37 % 1500) +
                "\" \"Agent/" + std::to_string(i * 11 % 700) + "\"\n";
    logs.write("distinct.log", text);
    logs.write("tail.log",
               "10.9.9.9 - - [14/Feb/2003:10:00:00 +0000] \"GET /p5.html HTTP/1.0\" 200 1 "
               "\"http://r.example/1499\" \"Agent/699\"\n");
    ExpectSameOnAnyThreads(ProfileOf({FileLocation(logs.path() + "*.log")}, lfNCSACombined));
}
