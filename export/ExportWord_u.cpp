#include "export/ExportWord_u.h"

#include <filesystem>
#include <optional>

#include "core/CommonUtils_u.h"
#include "core/SafeFile_u.h"
#include "core/SafeFormat_u.h"
#include "engine/ReportContent_u.h"
#include "export/DocxWriter_u.h"
#include "export/ExportCSV_u.h"

namespace brindle {

namespace {

struct TWordTable {
    TReportID ID;
    std::string_view Descriptor;
};

// Widths are centimetres: most tables fill the 16 cm of an A4 text column.
constexpr std::string_view kTimeTable = "07L03.00R02.00R02.00R02.00R02.00R02.50R02.50";
constexpr std::string_view kHostTable = "05L06.00L04.00R02.00R02.00R02.00";
constexpr std::string_view kShareTable = "07L04.00R02.00R02.00R02.00R02.00R02.00R02.00";
constexpr std::string_view kRegionTable = "04L07.00R02.00R02.00R02.00";
constexpr std::string_view kFileTable = "05L07.00R02.25R02.25R02.25R02.25";
constexpr std::string_view kBandTable = "03L07.00R02.00R02.00";
constexpr std::string_view kKindTable = "04L06.00R02.00R02.00R02.00";
constexpr std::string_view kCountTable = "02L07.00R02.00";
constexpr std::string_view kPairTable = "03L07.00L07.00R02.00";

constexpr TWordTable kTables[] = {
    {10, "03L04.00L06.00L06.00"},
    {21, kTimeTable},
    {22, kTimeTable},
    {23, kTimeTable},
    {24, kTimeTable},
    {25, kTimeTable},
    {36, kHostTable},
    {37, kHostTable},
    {32, kHostTable},
    {31, kShareTable},
    {132, kShareTable},
    {133, kShareTable},
    {33, kShareTable},
    {34, kShareTable},
    {39, kShareTable},
    {134, kRegionTable},
    {135, kRegionTable},
    {136, kRegionTable},
    {137, kRegionTable},
    {35, kFileTable},
    {38, kBandTable},
    {131, kBandTable},
    {41, kFileTable},
    {42, kFileTable},
    {43, kFileTable},
    {44, kFileTable},
    {45, kFileTable},
    {46, kFileTable},
    {141, kFileTable},
    {142, kKindTable},
    {47, kKindTable},
    {48, kCountTable},
    {49, kCountTable},
    {51, kFileTable},
    {52, kFileTable},
    {53, kCountTable},
    {54, kCountTable},
    {55, kCountTable},
    {56, kPairTable},
    {57, kPairTable},
    {63, "03L02.00L07.00R02.00"},
    {61, kPairTable},
    {62, "05L01.50L03.00L05.00L05.00R01.50"},
};

constexpr int kStepCount = 11;

// Takes the intermediate file away on every way out of the export.
struct TRemoveOnExit {
    const std::string& Path;
    ~TRemoveOnExit() {
        std::error_code ec;
        std::filesystem::remove(Path, ec);
    }
};

std::string JoinCells(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += '\t';
        line += EscapeTaggedText(cells[i], true);
    }
    return line;
}

std::string Block(std::string_view name, std::string_view text) {
    return WordTag::Open(name) + EscapeTaggedText(text, false) + WordTag::Close(name);
}

}  // namespace

std::string_view WordTableDescriptor(int id) {
    for (const TWordTable& table : kTables)
        if (table.ID == id) return table.Descriptor;
    return {};
}

std::vector<std::string> WordColumnCaptions(int id, const TReportTxt& language) {
    const TRecColumnTxt& texts = language.Column;
    if (id == kGeneralReportID) return {texts.Category, texts.Item, texts.Value};
    const TReportRule* rule = FindReportRule(id);
    if (!rule) return {};
    // The Word tables take the short captions of the two long ones.
    std::vector<std::string> captions;
    for (std::size_t i = 0; i < rule->ColumnCount; ++i) {
        std::string TRecColumnTxt::*caption = rule->Captions[i];
        if (caption == &TRecColumnTxt::AvgVisitLen) caption = &TRecColumnTxt::AvgVisitLenShort;
        if (caption == &TRecColumnTxt::TimeLastAccess) caption = &TRecColumnTxt::TimeLastAccessShort;
        captions.push_back(texts.*caption);
    }
    return captions;
}

TExportWord::TExportWord(const TReportSource& source, const DisplayFormat& format) : source_(source), format_(format) {}

bool TExportWord::Execute(const TReportSet& reports, const TReportTxt& language, const std::string& templateFile,
                          const std::string& outputFile, const std::string& intermediateFile) {
    cancelled_ = false;
    language_ = &language;
    steps_ = 0;
    progressText_ = SafeFormat("Build : %s", {std::filesystem::path(outputFile).filename().string()});
    if (OnProgress) OnProgress(this, 0, progressText_);
    const TRemoveOnExit removeIntermediate{intermediateFile};

    if (!WriteTaggedText(reports, intermediateFile) || StepCancelled()) return false;

    const std::optional<std::string> styles = LoadWordTemplateStyles(templateFile);
    if (!styles) throw EExportWord(SafeFormat("Unable to locate the Word template \"%s\".", {templateFile}));
    if (StepCancelled()) return false;

    std::string tagged;
    if (!ReadWholeFile(intermediateFile, tagged))
        throw EExportFile("Cannot read the file \"" + intermediateFile + "\".");
    TWordDocument document;
    document.InsertText(tagged);
    if (StepCancelled()) return false;
    for (const TWordPass pass : kWordPasses) {
        document.Run(pass);
        if (StepCancelled()) return false;
    }

    const TRecExportOptions& options = source_.Options.Export;
    const TDocxProperties properties{language.ExportWord.ReportFor + " " + source_.Profile.Name, options.MSWordAuthor,
                                     options.MSWordCompany};
    TAtomicFile output;
    if (!output.Open(outputFile, 0666, TempKind) || !SaveDocx(document, *styles, properties, output))
        throw EExportFile::CannotWrite(output);
    if (StepCancelled()) return false;
    std::error_code ec;
    std::filesystem::remove(intermediateFile, ec);
    // The last step comes before the document replaces the target, so that a cancel that
    // arrives with it still leaves the earlier file.
    if (StepCancelled()) return false;
    if (!output.Commit()) throw EExportFile::CannotWrite(output);
    return true;
}

bool TExportWord::StepCancelled() {
    ++steps_;
    if (OnProgress) OnProgress(this, steps_ * 100 / kStepCount, progressText_);
    return cancelled_;
}

bool TExportWord::WriteTaggedText(const TReportSet& reports, const std::string& intermediateFile) {
    TAtomicFile file;
    if (!file.Open(intermediateFile, 0666, TempKind)) throw EExportFile::CannotWrite(file);
    const auto flush = [&] {
        if (!file.Write(text_)) throw EExportFile::CannotWrite(file);
        text_.clear();
    };
    text_.clear();
    WriteHeader();
    flush();
    bool first = true;
    for (const TReportID id : ExportedReportIDs(reports)) {
        if (cancelled_) return false;
        WriteReport(id, first);
        flush();
        first = false;
    }
    if (!file.Commit()) throw EExportFile::CannotWrite(file);
    return true;
}

void TExportWord::WriteLine(std::string_view line) {
    text_ += line;
    text_ += WordTag::LineBreak;
}

void TExportWord::WriteHeader() {
    const TRecExportWord& texts = language_->ExportWord;
    const TRecExportOptions& options = source_.Options.Export;
    const std::string lb(WordTag::LineBreak);
    const std::string time = FormatDateTimeText(Clock ? Clock() : NowLocal(), format_);
    WriteLine(lb + lb + lb + WordTag::Open(WordTag::ReportTitle) + EscapeTaggedText(texts.ReportFor, false) + lb +
              EscapeTaggedText(source_.Profile.Name, false) + WordTag::Close(WordTag::ReportTitle));
    WriteLine(lb + lb + lb + WordTag::Open(WordTag::ReportBuild) + EscapeTaggedText(texts.Prepared, false) + lb +
              EscapeTaggedText(options.MSWordAuthor, false) + lb + EscapeTaggedText(options.MSWordCompany, false) + lb +
              EscapeTaggedText(time, false) + WordTag::Close(WordTag::ReportBuild));
    WriteLine(WordTag::PageBreak);
    WriteLine(Block(WordTag::ContentsTitle, texts.TableContents) + lb + lb + std::string(WordTag::TableOfContents));
    WriteLine(WordTag::PageBreak);
}

void TExportWord::WriteReport(TReportID id, bool first) {
    const TRecExportOptions& options = source_.Options.Export;
    TRecSectionProperty entry;
    // A language without a title for the report gets its table alone.
    if (GetReportEntry(id, false, language_, entry) && !entry.Title.empty()) {
        if (!first && options.MSWordPageBreak != 0) WriteLine(WordTag::PageBreak);
        WriteLine(Block(WordTag::SectionTitle, entry.Title));
        if (options.MSWordDescription != 0) WriteLine(Block(WordTag::SectionComment, entry.Comment));
    }
    WriteLine(WordTag::Open(WordTag::TableDescriptor) + std::string(WordTableDescriptor(id)) +
              WordTag::Close(WordTag::TableDescriptor));
    WriteLine(WordTag::Open(WordTag::Table));
    WriteTable(id);
    WriteLine(WordTag::Close(WordTag::Table));
}

void TExportWord::WriteTable(TReportID id) {
    WriteLine(JoinCells(WordColumnCaptions(id, *language_)));
    if (id != kGeneralReportID) {
        ForEachReportRow(source_, id, language_, format_, TReportConsumer::WordExport,
                         [&](const TRecStat&, int, std::vector<std::string>& cells) { WriteLine(JoinCells(cells)); });
        return;
    }
    std::string category;
    for (const TGeneralItem& item : GeneralReportItems(source_, language_, format_)) {
        if (item.IsCategory) {
            category = item.Caption;
            continue;
        }
        WriteLine(JoinCells({category, item.Caption, item.Value}));
        category.clear();
    }
}

}  // namespace brindle
