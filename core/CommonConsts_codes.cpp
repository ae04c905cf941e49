#include "core/CommonConsts_tables.h"

#include "core/DateTime_u.h"

namespace brindle {
namespace {

template <std::size_t N>
int FindCode(const std::array<TRecCodeName, N>& table, std::string_view name) {
    for (const auto& row : table)
        if (row.Name == name) return row.Code;
    return 0;
}

template <std::size_t N>
std::string FindName(const std::array<TRecCodeName, N>& table, int code) {
    for (const auto& row : table)
        if (row.Code == code) return row.Name;
    return {};
}

template <std::size_t N>
std::array<TRecKeyText, N> NumberedKeys(std::string_view prefix, const std::array<std::string_view, N>& texts) {
    std::array<TRecKeyText, N> rows;
    for (std::size_t i = 0; i < N; ++i)
        rows[i] = TRecKeyText{std::string(prefix) + std::to_string(i + 1), std::string(texts[i])};
    return rows;
}

}  // namespace

const TStatusCodes& StatusCodeTable() {
    static const TStatusCodes table = {{
        {100, "Continue"},
        {101, "Switching Protocols"},
        {200, "OK"},
        {201, "Created"},
        {202, "Accepted"},
        {203, "Non-Authoritative Information"},
        {204, "No Content"},
        {205, "Reset Content"},
        {206, "Partial Content"},
        {300, "Multiple Choices"},
        {301, "Moved Permanently"},
        {302, "Moved Temporarily"},
        {303, "See Other"},
        {304, "Not Modified"},
        {305, "Use Proxy"},
        {306, "(Unused)"},
        {307, "Temporary Redirect"},
        {400, "Bad Request"},
        {401, "Unauthorized"},
        {402, "Payment Required"},
        {403, "Forbidden"},
        {404, "Not Found"},
        {405, "Method Not Allowed"},
        {406, "Not Acceptable"},
        {407, "Proxy Authentication Required"},
        {408, "Request Time-Out"},
        {409, "Conflict"},
        {410, "Gone"},
        {411, "Length Required"},
        {412, "Precondition Failed"},
        {413, "Request Entity Too Large"},
        {414, "Request-URI Too Large"},
        {415, "Unsupported Media Type"},
        {416, "Requested Range Not Satisfiable"},
        {417, "Expectation Failed"},
        {500, "Server Error"},
        {501, "Not Implemented"},
        {502, "Bad Gateway"},
        {503, "Out of Resources"},
        {504, "Gateway Time-Out"},
        {505, "HTTP Version not supported"},
    }};
    return table;
}

const std::array<TRecFileTypeProperty, 5>& FileTypeTable() {
    static const std::array<TRecFileTypeProperty, 5> table = {{
        {fkAudio, "audio"},
        {fkPage, "document"},
        {fkDownload, "file"},
        {fkImage, "image"},
        {fkVideo, "video"},
    }};
    return table;
}

const TFileTypeGroups& FileTypeGroupTable() {
    static const TFileTypeGroups table = {{
        {fkNone, "None", "Unknown File Type"},
        {fkAudio, "Audio", "Audio Files"},
        {fkPage, "Page", "Page Files"},
        {fkDownload, "Download", "Download Files"},
        {fkImage, "Image", "Image Files"},
        {fkVideo, "Video", "Video Files"},
    }};
    return table;
}

int GetFileTypeCode(std::string_view name) { return FindCode(FileTypeTable(), name); }
std::string GetFileTypeName(int code) { return FindName(FileTypeTable(), code); }

const std::array<TRecLogFormatProperty, 9>& LogFormatTable() {
    static const std::array<TRecLogFormatProperty, 9> table = {{
        {0, "*Auto-detect*"},
        {1, "NCSA Common (Standard)"},
        {2, "NCSA Combined (Standard)"},
        {3, "Apache Common"},
        {4, "Apache Combined"},
        {5, "Microsoft IIS 3+"},
        {6, "Microsoft IIS 4/5/6 (W3C)"},
        {7, "Microsoft ISA Server (W3C)"},
        {101, "Custom FC"},
    }};
    return table;
}

const std::array<TRecDateFormatProperty, 4>& DateFormatTable() {
    static const std::array<TRecDateFormatProperty, 4> table = {{
        {0, "*Auto-detect*"},
        {1, "DMY (European)"},
        {2, "MDY (US)"},
        {6, "YMD (Japanese)"},
    }};
    return table;
}

const std::array<TRecCSVSeparatorProperty, 4>& CSVSeparatorTable() {
    static const std::array<TRecCSVSeparatorProperty, 4> table = {{
        {1, "System default"},
        {2, ","},
        {3, ";"},
        {4, "Tab"},
    }};
    return table;
}

int GetLogFormatCode(std::string_view name) { return FindCode(LogFormatTable(), name); }
std::string GetLogFormatName(int code) { return FindName(LogFormatTable(), code); }
int GetDateFormatCode(std::string_view name) { return FindCode(DateFormatTable(), name); }
std::string GetDateFormatName(int code) { return FindName(DateFormatTable(), code); }
int GetCSVSeparatorCode(std::string_view name) { return FindCode(CSVSeparatorTable(), name); }
std::string GetCSVSeparatorName(int code) { return FindName(CSVSeparatorTable(), code); }

const TLongDayNames& LongDayNameTable() {
    static const TLongDayNames table = NumberedKeys("Day", kLongDayNames);
    return table;
}

const TLongMonthNames& LongMonthNameTable() {
    static const TLongMonthNames table = NumberedKeys("Month", kLongMonthNames);
    return table;
}

const TNbVisits& NbVisitTable() {
    static const TNbVisits table = NumberedKeys<15>("Nb", {
                                                              "1 visit",
                                                              "2 visits",
                                                              "3 visits",
                                                              "4 visits",
                                                              "5 visits",
                                                              "6 visits",
                                                              "7 visits",
                                                              "8 visits",
                                                              "9 visits",
                                                              "10 visits",
                                                              "11 visits",
                                                              "12 visits",
                                                              "13 visits",
                                                              "14 visits",
                                                              "15+ visits",
                                                          });
    return table;
}

const TLenVisits& LenVisitTable() {
    static const TLenVisits table = NumberedKeys<11>("Len", {
                                                                "0-1 min",
                                                                "1-5 mins",
                                                                "5-10 mins",
                                                                "10-20 mins",
                                                                "20-30 mins",
                                                                "30-45 mins",
                                                                "45-60 mins",
                                                                "60-90 mins",
                                                                "90-120 mins",
                                                                "120-180 mins",
                                                                "180+ mins",
                                                            });
    return table;
}

const std::array<std::string_view, 8>& TipsOfTheDay() {
    static constexpr std::array<std::string_view, 8> tips = {
        "You can learn how to create new workspace from\r\ntutorial in the documentation.",
        "Brindle Analyzer can analyze log files from\r\nmultiple sources.",
        "You can remove unwanted information from reports\r\nby setting up filters.",
        "You can find broken links on your site using\r\n\"Missing files (404 Errors)\" report.",
        "You can use wildcards and date macros to add\r\nmultiple log files.",
        "Brindle Analyzer can analyze zip or gz compressed\r\nfiles directly.",
        "You can export customizable reports in HTML,\r\nMicrosoft Word, CSV and XML formats.",
        "Using Views, you can specify which reports should\r\nbe generated.",
    };
    return tips;
}

const std::array<std::string_view, 17>& HtmlSupportFiles() {
    static constexpr std::array<std::string_view, 17> files = {
        "back_head.gif",
        "ftiens4.js",
        "ftv2blank.gif",
        "ftv2doc.gif",
        "ftv2folderclosed.gif",
        "ftv2folderopen.gif",
        "ftv2lastnode.gif",
        "ftv2mlastnode.gif",
        "ftv2mnode.gif",
        "ftv2node.gif",
        "ftv2plastnode.gif",
        "ftv2pnode.gif",
        "ftv2vertline.gif",
        "left.css",
        "left.html",
        "null1x1.gif",
        "ua.js",
    };
    return files;
}

}  // namespace brindle
