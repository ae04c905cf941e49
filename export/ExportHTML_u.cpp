#include "export/ExportHTML_u.h"

#include <initializer_list>
#include <utility>

#include "core/CommonConsts_catalogue.h"
#include "core/CommonConsts_tables.h"
#include "core/Profiles_u.h"
#include "core/ReportTxt_u.h"
#include "core/SafeFile_u.h"
#include "core/SafeFormat_u.h"
#include "core/TextRepair_u.h"
#include "views/HTML_fr.h"

namespace brindle {

namespace {

constexpr std::string_view kCRLF = "\r\n";
constexpr std::string_view kIconNames[] = {
    "ftv2blank", "ftv2doc",  "ftv2folderclosed", "ftv2folderopen", "ftv2lastnode", "ftv2mlastnode",
    "ftv2mnode", "ftv2node", "ftv2plastnode",    "ftv2pnode",      "ftv2vertline",
};

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

void AppendLine(std::string& out, std::initializer_list<std::string_view> pieces) {
    for (const std::string_view piece : pieces) out += piece;
    out += kCRLF;
}

std::string GroupTitle(int id, const TReportTxt& lang) {
    TRecSectionProperty entry;
    return GetReportEntry(id, true, &lang, entry) ? entry.Title : std::string();
}

std::string ReportTitle(int id, const TReportTxt& lang) {
    TRecSectionProperty entry;
    return GetReportEntry(id, false, &lang, entry) ? entry.Title : std::string();
}

std::string GroupKey(int id) {
    std::string key;
    GetReportKey(id, true, key);
    return key;
}

// Hands the export's callbacks to the page frame for one job and gives the frame its own
// back afterwards, also when a page raises.
class TBorrowedCallbacks {
public:
    TBorrowedCallbacks(TfrHTML& frame, const TProgressInfoEvent& onProgress, const TProgressInfoEvent& onStatus)
        : frame_(frame),
          progress_(std::exchange(frame.OnProgress, onProgress)),
          status_(std::exchange(frame.OnStatus, onStatus)) {}
    ~TBorrowedCallbacks() {
        frame_.OnProgress = std::move(progress_);
        frame_.OnStatus = std::move(status_);
    }
    TBorrowedCallbacks(const TBorrowedCallbacks&) = delete;
    TBorrowedCallbacks& operator=(const TBorrowedCallbacks&) = delete;

private:
    TfrHTML& frame_;
    TProgressInfoEvent progress_;
    TProgressInfoEvent status_;
};

class TFlagWhile {
public:
    explicit TFlagWhile(std::atomic<bool>& flag) : flag_(flag) { flag_ = true; }
    ~TFlagWhile() { flag_ = false; }
    TFlagWhile(const TFlagWhile&) = delete;
    TFlagWhile& operator=(const TFlagWhile&) = delete;

private:
    std::atomic<bool>& flag_;
};

}  // namespace

TExportHTML::TExportHTML(TfrHTML& pageBuilder, TReportSource& source) : pageBuilder_(pageBuilder), source_(source) {}

void TExportHTML::Cancel() {
    if (building_) pageBuilder_.Cancel();
    cancelled_ = true;
}

void TExportHTML::Progress(int value, const std::string& text) {
    if (OnProgress) OnProgress(this, value, text);
}

TReportSet TExportHTML::GroupsOf(const TReportSet& reports) {
    TReportSet groups;
    for (const TRecSectionProperty& row : SectionTable())
        if (!row.IsGroupRow() && reports.Contains(row.ID)) groups.Include(row.ParentID);
    return groups;
}

bool TExportHTML::Execute(const TProfile& profile, const TReportSet& reports, const TReportTxt& lang,
                          const std::string& templateFolder, const std::string& outputFolder) {
    written_.clear();
    try {
        return Write(profile, reports, lang, templateFolder, outputFolder);
    } catch (const EExportHTML& e) {
        if (!e.IsWriteFailure()) throw;
        throw EExportHTML(WriteFailureMessage(e.what(), e.Reason(), written_));
    }
}

std::string TExportHTML::WriteFailureMessage(const std::string& message, const std::string& reason,
                                             const std::vector<std::string>& written) {
    std::string text = message;
    if (!reason.empty()) text += "\r\n" + reason + ".";
    if (written.empty()) return text + "\r\nNo page was written.";
    text += "\r\nPages written:";
    for (std::size_t i = 0; i < written.size(); ++i) text += (i == 0 ? " " : ", ") + written[i];
    return text + ".";
}

bool TExportHTML::Write(const TProfile& profile, const TReportSet& reports, const TReportTxt& lang,
                        const std::string& templateFolder, const std::string& outputFolder) {
    cancelled_ = false;
    groups_ = GroupsOf(reports);
    const std::string folder = WithSlash(outputFolder);
    {
        const TBorrowedCallbacks callbacks(pageBuilder_, OnProgress, OnStatus);
        const TFlagWhile building(building_);
        for (const TRecSectionProperty& row : SectionTable()) {
            if (cancelled_) break;
            if (!row.IsGroupRow() || !groups_.Contains(row.ID)) continue;
            pageBuilder_.BuildPage(source_, profile, row.ID, reports, lang, folder + row.Key + ".html", 1);
            written_.push_back(row.Key + ".html");
        }
    }
    if (cancelled_) return false;

    CopySupportFiles(WithSlash(templateFolder), folder);

    // A cancel can arrive through each progress call; it stops the export before the file.
    if (cancelled_) return false;
    Progress(100, SafeFormat("Build : %s", {"index.html"}));
    if (cancelled_) return false;
    WriteHtmlFile(folder + "index.html", RepairOutputText(IndexPage(profile, lang, groups_)));
    written_.emplace_back("index.html");

    Progress(100, SafeFormat("Build : %s", {"nodes.js"}));
    if (cancelled_) return false;
    WriteHtmlFile(folder + "nodes.js", RepairOutputText(TreeScript(reports, groups_, lang)));
    return true;
}

void TExportHTML::CopySupportFiles(const std::string& templateFolder, const std::string& outputFolder) const {
    for (const std::string_view name : HtmlSupportFiles()) {
        const std::string source = templateFolder + std::string(name);
        std::string bytes;
        if (!FileExists(source) || !ReadWholeFile(source, bytes)) throw EExportHTML::CannotFind(source);
        WriteHtmlFile(outputFolder + std::string(name), bytes);
    }
}

std::string TExportHTML::IndexPage(const TProfile& profile, const TReportTxt& lang, const TReportSet& groups) {
    std::string firstPage;
    for (const TRecSectionProperty& row : SectionTable()) {
        if (row.IsGroupRow() && groups.Contains(row.ID)) {
            firstPage = row.Key + ".html";
            break;
        }
    }
    std::string out;
    AppendLine(out, {"<html>"});
    AppendLine(out, {"<head>"});
    // The pages are UTF-8 whatever charset the language file was written in.
    AppendLine(out, {R"(<meta http-equiv="Content-Type" content="text/html; charset=)", "utf-8", "\">"});
    AppendLine(out, {"<title>", SafeFormat(lang.ExportHTML.DocTitle, {HtmlEscape(profile.Name)}), "</title>"});
    AppendLine(out, {R"(<meta name="Generator" content="Brindle Analyzer">)"});
    AppendLine(out, {"</head>"});
    AppendLine(out, {R"(<frameset rows="*" cols="175,*">)"});
    AppendLine(out, {R"(<frame src="left.html" name="treeframe" scrolling="auto" marginwidth="0" marginheight="0">)"});
    AppendLine(out, {"<frame src=\"", HtmlEscape(firstPage),
                     R"(" name="basefrm" scrolling="auto" marginwidth="0" marginheight="0">)"});
    AppendLine(out, {"</frameset>"});
    AppendLine(out, {"<noframes>"});
    AppendLine(out, {"<body>"});
    AppendLine(out, {"</body>"});
    AppendLine(out, {"</noframes>"});
    AppendLine(out, {"</html>"});
    return out;
}

std::string TExportHTML::TreeScript(const TReportSet& reports, const TReportSet& groups, const TReportTxt& lang) {
    std::string out;
    AppendLine(out, {"USETEXTLINKS = 1;"});
    AppendLine(out, {"STARTALLOPEN = 0;"});
    AppendLine(out, {"ICONPATH = '';"});
    for (const std::string_view icon : kIconNames) AppendLine(out, {icon, " = ICONPATH + \"", icon, ".gif\";"});
    AppendLine(out, {"foldersTree = gFld(\"", JsEscape(lang.ExportHTML.TreeReports), "\", \"\");"});
    for (const TRecSectionProperty& row : SectionTable()) {
        if (!row.IsGroupRow() || !groups.Contains(row.ID)) continue;
        const std::string key = JsEscape(row.Key);
        AppendLine(out, {"n_", row.Key, " = insFld(foldersTree, gFld(\"", JsEscape(GroupTitle(row.ID, lang)), "\", \"",
                         key, ".html\"));"});
    }
    for (const TRecSectionProperty& row : SectionTable()) {
        if (row.IsGroupRow() || !reports.Contains(row.ID)) continue;
        const std::string groupKey = GroupKey(row.ParentID);
        AppendLine(out, {"insDoc(n_", groupKey, ", gLnk(\"R\", \"", JsEscape(ReportTitle(row.ID, lang)), "\", \"",
                         JsEscape(groupKey), ".html#", JsEscape(row.Key), "\"));"});
    }
    return out;
}

}  // namespace brindle
