#include "views/HTML_fr.h"

#include <QStringList>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <filesystem>

#include "core/CommonConsts_catalogue.h"
#include "core/CommonUtils_u.h"
#include "core/ReportTxt_u.h"
#include "core/SafeFormat_u.h"
#include "engine/ReportContent_u.h"
#include "views/Chart_fr.h"
#include "views/PngWriter_u.h"

namespace brindle {

namespace {

constexpr std::string_view kCRLF = "\r\n";
constexpr const char* kVersionText = "2.30";
constexpr std::int32_t kChartWidth = 600;
constexpr std::int32_t kChartHeight = 350;

constexpr std::array<std::uint8_t, 12> kChartOnly = {21, 22, 23, 24, 25, 32, 38, 131, 134, 135, 136, 137};
constexpr std::array<std::uint8_t, 24> kChartAndDaily = {31, 132, 133, 33, 34, 35, 39, 41, 42, 43, 44, 45,
                                                         46, 141, 142, 47, 48, 49, 51, 52, 53, 54, 55, 63};

// Reports whose first cell is a path on the analysed site, linked through its domain.
constexpr std::array<std::uint8_t, 9> kSiteLinkReports = {41, 42, 43, 44, 45, 46, 141, 48, 49};
constexpr std::uint8_t kByRefDomain = 51;
constexpr std::uint8_t kByRefPage = 52;
constexpr std::uint8_t kByErr404 = 61;
constexpr std::uint8_t kByErrMisc = 62;
constexpr std::uint8_t kByErrType = 63;

template <std::size_t N>
bool Holds(const std::array<std::uint8_t, N>& ids, int id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Cell alignment of each column as the page shows it (after the error reports' URL and
// referrer have been joined).
std::vector<std::uint8_t> CellAlignments(int id, std::size_t columns) {
    std::vector<std::uint8_t> aligns(columns, haRight);
    if (columns == 0) return aligns;
    aligns[0] = haLeft;
    const auto left = [&](std::size_t column) {
        if (column < columns) aligns[column] = haLeft;
    };
    switch (id) {
        case 32:  // Country of ByDomain, ByRecent, ByHost
        case 36:
        case 37:
        case 56:  // Phrase / Keyword of the engine-and-phrase reports
        case 57: left(1); break;
        case kByErrMisc:  // code right, description and URL left
            aligns[0] = haRight;
            left(1);
            left(2);
            break;
        case kByErrType: left(1); break;
        default: break;
    }
    return aligns;
}

std::string ChartTitle(const TReportTxt& lang, const std::string& key) {
    std::string title;
    ForEachLanguageText(lang, [&](std::string_view section, const std::string& textKey, const std::string& text) {
        if (section == "Chart" && textKey == key) title = text;
    });
    return title;
}

std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (const std::string_view line : lines) {
        out += line;
        out += kCRLF;
    }
    return out;
}

}  // namespace

bool ReportHasChart(int id) { return Holds(kChartOnly, id) || Holds(kChartAndDaily, id); }
bool ReportHasDailyChart(int id) { return Holds(kChartAndDaily, id); }

std::string ChartImageName(std::string_view key, bool daily) {
    std::string name;
    for (const char c : key) name += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    name += daily ? "_daily.png" : ".png";
    return name;
}

namespace {

// The page's style sheet with its element names in lower case: a default sheet matches
// them case-sensitively, unlike a style block in the page.
QString ViewerStyleSheet() {
    QStringList lines = QString::fromStdString(ReportStyleSheet()).split("\r\n");
    for (QString& line : lines) {
        if (line.contains(':') || line == "{" || line == "}") continue;
        const qsizetype dot = line.indexOf('.');
        line = line.left(dot).toLower() + (dot < 0 ? QString() : line.mid(dot));
    }
    return lines.join('\n');
}

}  // namespace

void ShowHtmlFile(QTextBrowser& viewer, const std::string& fileName) {
    // Clearing drops the document with the images it cached: chart names repeat from page
    // to page, and the viewer would otherwise show the previous report's charts.
    viewer.setSource(QUrl());
    viewer.clear();
    viewer.document()->clear();
    // The viewer skips a style block wrapped in "<!--" "-->", which the pages keep for old
    // browsers: it gets the same sheet as its default instead.
    viewer.document()->setDefaultStyleSheet(ViewerStyleSheet());
    viewer.setSource(QUrl::fromLocalFile(QString::fromStdString(fileName)));
}

TfrHTML::TfrHTML(QWidget* parent, DisplayFormat format) : QWidget(parent), format_(std::move(format)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    wb = new QTextBrowser(this);
    wb->setObjectName("wb");
    wb->setOpenExternalLinks(true);
    layout->addWidget(wb);
}

TfrHTML::~TfrHTML() = default;

void TfrHTML::DoProgress(int percent, const std::string& text) {
    if (OnProgress) OnProgress(this, percent, text);
}

void TfrHTML::BuildPage(TReportSource& source, const TProfile& profile, std::uint8_t groupId,
                        const TReportSet& reportSet, const TReportTxt& lang, const std::string& fileName,
                        std::uint8_t mode) {
    source_.emplace(TReportSource{source.Stats, profile, source.AnalysisTime, source.Options});
    groupId_ = groupId;
    reportSet_ = reportSet;
    lang_ = &lang;
    fileName_ = fileName;
    mode_ = mode;
    cancelled_ = false;
    frChart1 = std::make_unique<TfrChart>(source.Stats, format_);
    // On screen the charts follow the screen's scale; exported images stay as they are.
    if (mode_ == 0) frChart1->PixelRatio = wb->devicePixelRatioF();
    if (ppRoot.Text().empty()) ppRoot.SetText(LoadPageTemplate("report_page.tpl"));
    if (ppSection.Text().empty()) ppSection.SetText(LoadPageTemplate("report_section.tpl"));

    if (mode_ == 1) {
        progressText_ = SafeFormat("Build : %s", {std::filesystem::path(fileName_).filename().string()});
        DoProgress(0, progressText_);
    }
    const std::string page = ppRoot.Fill([this](std::string_view tag) { return PageTag(tag); });
    if (cancelled_) return;
    WriteHtmlPage(fileName_, page);
    if (mode_ == 0) {
        ShowHtmlFile(*wb, fileName_);
        show();
    }
}

std::string TfrHTML::PageTag(std::string_view tag) {
    if (SameTagName(tag, "TITLE")) return SafeFormat(lang_->ExportHTML.DocTitle, {HtmlEscape(source_->Profile.Name)});
    if (SameTagName(tag, "STYLE_CSS")) return ReportStyleSheet();
    if (SameTagName(tag, "HEADER")) return mode_ == 1 ? Header() : std::string();
    if (SameTagName(tag, "SECTION")) return Sections();
    if (SameTagName(tag, "FOOTER")) return mode_ == 1 ? Footer() : std::string();
    return {};
}

std::string TfrHTML::Header() const {
    TRecSectionProperty group;
    if (!GetReportEntry(groupId_, true, lang_, group)) return {};
    const TRecExportHTML& texts = lang_->ExportHTML;
    const TStatistics& stats = source_->Stats;
    const std::string line1 = SafeFormat(texts.DocHeaderLine1, {HtmlEscape(source_->Profile.Name), group.Title});
    const std::string line2Left =
        SafeFormat(texts.DocHeaderLine2Left,
                   {FormatDateTimeText(stats.FirstHitTime, format_), FormatDateTimeText(stats.LastHitTime, format_)});
    const std::string line2Right =
        SafeFormat(texts.DocHeaderLine2Right, {FormatDateTimeText(source_->AnalysisTime, format_)});
    return Lines({
        R"(<table width="100%" border="0" align="center" cellpadding="10" cellspacing="0">)",
        R"(<tr><td height="45" align="center" class="DocHeader1" nowrap>)",
        line1,
        "</td></tr>",
        "</table>",
        R"(<table width="90%" border="0" align="center" cellpadding="10" cellspacing="0">)",
        R"(<tr><td align="left" class="DocHeader2" nowrap>)",
        line2Left,
        R"(</td><td align="right" class="DocHeader2" nowrap>)",
        line2Right,
        "</td></tr>",
        "</table>",
        R"(<table width="90%" border="0" align="center" cellpadding="0" cellspacing="0">)",
        R"(<tr><td class="DocHeader3"><img src="null1x1.gif" width="1" height="1"></td></tr>)",
        "</table>",
    });
}

std::string TfrHTML::Footer() const {
    return Lines({
        "<hr><p></p>",
        R"(<table width="90%" border="0" align="center" cellpadding="2" cellspacing="0">)",
        R"(<tr><td align="center" class="DocFooter">)",
        SafeFormat(lang_->ExportHTML.DocFooter, {kVersionText}),
        "</td></tr>",
        "</table>",
        "<p></p>",
    });
}

std::string TfrHTML::Sections() {
    const TSectionProperties& rows = SectionTable();
    if (mode_ != 1) {
        for (const TRecSectionProperty& row : rows)
            if (reportSet_.Contains(row.ID) && !row.IsGroupRow()) return FillSection(row.ID);
        return {};
    }
    const auto onPage = [&](const TRecSectionProperty& row) {
        return reportSet_.Contains(row.ID) && !row.IsGroupRow() && row.ParentID == groupId_;
    };
    const std::int64_t total = std::count_if(rows.begin(), rows.end(), onPage);
    std::int64_t done = 0;
    std::string out;
    for (const TRecSectionProperty& row : rows) {
        if (cancelled_) break;
        if (!onPage(row)) continue;
        out += FillSection(row.ID);
        ++done;
        DoProgress(static_cast<int>(done * 100 / total), progressText_);
    }
    return out;
}

std::string TfrHTML::FillSection(std::uint8_t id) {
    currentReportId_ = id;
    currentReport_ = TRecReportProperty{};
    source_->Profile.Reports.Find(id, currentReport_, true);
    return ppSection.Fill([this](std::string_view tag) { return SectionTag(tag); });
}

std::string TfrHTML::SectionTag(std::string_view tag) {
    if (tag == "SECTION_HEADER") {
        TRecSectionProperty entry;
        if (!GetReportEntry(currentReportId_, false, lang_, entry)) return {};
        const bool showComment = mode_ == 0 || source_->Options.Export.HTMLDescription != 0;
        return MakeSectionHeader(entry.Key, entry.Title, entry.Comment, showComment);
    }
    if (tag == "SECTION_CONTENT") return SectionContent();
    return {};
}

std::string TfrHTML::SectionContent() {
    const int id = currentReportId_;
    const TReportRule* rule = FindReportRule(id);
    if (id != kGeneralReportID && !rule) return {};
    std::string out;
    if (ReportHasDailyChart(id) && currentReport_.EnableChartDaily == 1) out += ChartImage(true);
    if (ReportHasChart(id) && currentReport_.EnableChart == 1) out += ChartImage(false);
    if (id == kGeneralReportID)
        out += GeneralTable();
    else if (currentReport_.EnableList == 1)
        out += DataTable(*rule);
    return out;
}

std::string TfrHTML::ChartImage(bool daily) {
    std::string key;
    GetReportKey(currentReportId_, false, key);
    const std::string name = ChartImageName(key, daily);
    const std::string path = (std::filesystem::path(fileName_).parent_path() / name).string();
    try {
        frChart1->SaveChartAsPng(source_->Profile, currentReportId_, *lang_, path, kChartWidth, kChartHeight,
                                 daily ? 1 : 0);
    } catch (const EPngWriter& e) {
        throw EExportHTML::CannotCreate(path, e.Reason());
    }
    const std::string alt = ChartTitle(*lang_, key + (daily ? "DailyTitle" : "Title"));
    std::string out = "<center><img src=\"" + name + "\" width=\"" + std::to_string(kChartWidth) + "\" height=\"" +
                      std::to_string(kChartHeight) + "\" border=\"1\" alt=\"" + HtmlEscape(alt) + "\"></center><br>";
    out += kCRLF;
    out += "<p></p>";
    out += kCRLF;
    return out;
}

std::string TfrHTML::DataTable(const TReportRule& rule) {
    const int id = rule.ID;
    THTMLTable table;
    TRecSectionProperty entry;
    if (GetReportEntry(id, false, lang_, entry)) table.Title = entry.Title;

    std::vector<std::string> captions = ReportColumnCaptions(rule, lang_);
    // The error reports show the URL and its referrer in one column.
    const std::size_t joined = id == kByErr404 ? 0 : id == kByErrMisc ? 2 : captions.size();
    if (joined + 1 < captions.size()) {
        captions[joined] += " / " + captions[joined + 1];
        captions.erase(captions.begin() + static_cast<std::ptrdiff_t>(joined) + 1);
    }
    const std::vector<std::uint8_t> aligns = CellAlignments(id, captions.size());
    for (std::size_t i = 0; i < captions.size(); ++i) {
        THTMLTableColumn& column = table.Columns.AddColumn();
        column.Caption = captions[i];
        column.HeaderAlign = haCenter;
        column.CellAlign = aligns[i];
    }

    std::string out = table.GetTableBegin() + table.GetTitleRow() + table.GetHeaderRow();
    std::uint8_t odd = 1;
    ForEachReportRow(*source_, id, lang_, format_, TReportConsumer::HtmlPage,
                     [&](const TRecStat&, int, std::vector<std::string>& cells) {
                         FillTableRow(table, cells);
                         out += table.GetDataRow(odd);
                         odd = odd == 1 ? 0 : 1;
                     });
    out += table.GetTableEnd();
    return out;
}

void TfrHTML::FillTableRow(THTMLTable& table, std::vector<std::string>& cells) const {
    const int id = currentReportId_;
    const TRecMiscTxt& misc = lang_->Misc;
    std::vector<std::string> texts;
    texts.reserve(cells.size());
    for (const std::string& cell : cells) texts.push_back(HtmlEscape(cell));

    if (!cells.empty() && Holds(kSiteLinkReports, id)) {
        // Only a path joins the site's name: "@other.example/" would make the link point there.
        if (cells[0].starts_with('/'))
            texts[0] = HtmlLink("http://" + source_->Profile.DomainName + cells[0], cells[0]);
    } else if (!cells.empty() && (id == kByRefDomain || id == kByRefPage)) {
        if (cells[0] != misc.ReferrerNoneDirect) texts[0] = HtmlLink(cells[0], cells[0]);
    } else if (id == kByErr404 || id == kByErrMisc) {
        const std::size_t url = id == kByErr404 ? 0 : 2;
        if (url + 2 < cells.size()) {
            const std::string& referrer = cells[url + 1];
            const std::string referrerText =
                referrer == misc.ReferrerNone ? HtmlEscape(referrer) : HtmlLink(referrer, referrer);
            texts[url] += "<br>" + referrerText;
            texts.erase(texts.begin() + static_cast<std::ptrdiff_t>(url) + 1);
        }
    }
    // A row never fills more columns than the table has.
    for (std::size_t i = 0; i < table.Columns.Count(); ++i)
        table.Columns.GetColumn(i).Text = i < texts.size() ? std::move(texts[i]) : std::string();
}

std::string TfrHTML::GeneralTable() const {
    THTMLTable table;
    TRecSectionProperty entry;
    if (GetReportEntry(kGeneralReportID, false, lang_, entry)) table.Title = entry.Title;
    for (int i = 0; i < 2; ++i) table.Columns.AddColumn();  // aligned left, header and cells

    std::string out = table.GetTableBegin() + table.GetTitleRow();
    for (const TGeneralItem& item : GeneralReportItems(*source_, lang_, format_)) {
        if (item.IsCategory) {
            table.Columns.GetColumn(0).Caption = item.Caption;
            table.Columns.GetColumn(1).Caption = "&nbsp;";
            out += table.GetHeaderRow();
            continue;
        }
        table.Columns.GetColumn(0).Text = item.Caption;
        table.Columns.GetColumn(1).Text = item.Value;
        out += table.GetDataRow(1);
    }
    out += table.GetTableEnd();
    return out;
}

}  // namespace brindle
