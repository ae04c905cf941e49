#include "export/ExportXML_u.h"
#include "core/XmlFile_u.h"

#include <pugixml.hpp>

#include <span>
#include <string_view>
#include <vector>

#include "core/CommonConsts_catalogue.h"
#include "core/CommonUtils_u.h"
#include "core/SafeFile_u.h"
#include "core/TextRepair_u.h"
#include "engine/ReportContent_u.h"
#include "export/ExportCSV_u.h"

namespace brindle {

namespace {

constexpr const char* kDescription = "BrindleAnylyzer Export";
constexpr const char* kVersion = "1.10";

// Names are the fixed ASCII names of the export tables; values may come from a log.
void SetAttribute(pugi::xml_node node, std::string_view name, std::string_view value) {
    node.append_attribute(std::string(name).c_str()).set_value(RepairOutputText(value).c_str());
}

void AddRow(pugi::xml_node parent, std::span<const std::string_view> names, std::span<const std::string> cells) {
    pugi::xml_node row = parent.append_child("ROW");
    for (std::size_t i = 0; i < names.size(); ++i) SetAttribute(row, names[i], i < cells.size() ? cells[i] : "");
}

void AddGeneral(pugi::xml_node report, const TReportSource& source, const DisplayFormat& format) {
    pugi::xml_node row;
    for (const TGeneralItem& item : GeneralReportItems(source, nullptr, format)) {
        if (item.IsCategory) {
            row = report.append_child(std::string(ExportCategoryName(item.Category)).c_str()).append_child("ROW");
            continue;
        }
        SetAttribute(row, ExportGeneralItemName(item.RowKey), item.Value);
    }
}

// Streams the saved document into the atomic file; the first failed write sticks.
class TAtomicFileWriter : public pugi::xml_writer {
public:
    explicit TAtomicFileWriter(TAtomicFile& file) : file_(file) {}
    void write(const void* data, std::size_t size) override {
        if (ok_) ok_ = file_.Write(std::string_view(static_cast<const char*>(data), size));
    }
    bool Ok() const { return ok_; }

private:
    TAtomicFile& file_;
    bool ok_ = true;
};

}  // namespace

TExportXML::TExportXML(const TReportSource& source, const DisplayFormat& format) : source_(source), format_(format) {}

bool TExportXML::Execute(const TReportSet& reports, const std::string& fileName) {
    cancelled_ = false;
    // Opened first, as the other exports do: a target that cannot be written is said before
    // the document is built, and the file is held while it is.
    TAtomicFile file;
    if (!file.Open(fileName, 0666, TempKind)) throw EExportFile::CannotWrite(file);
    pugi::xml_document doc;
    AddXmlDeclaration(doc);
    pugi::xml_node root = doc.append_child("DATA");
    SetAttribute(root, "Description", kDescription);
    SetAttribute(root, "Title", source_.Profile.Name);
    SetAttribute(root, "DateExport", FormatDateTimeText(Clock ? Clock() : NowLocal(), format_));
    SetAttribute(root, "Ver", kVersion);

    const bool finished = WalkExportReports(reports, fileName, cancelled_, this, OnProgress, [&](TReportID id) {
        std::string key;
        GetReportKey(id, false, key);
        pugi::xml_node report = root.append_child(key.c_str());
        if (id == kGeneralReportID) {
            AddGeneral(report, source_, format_);
            return;
        }
        const std::span<const std::string_view> names = ExportColumnNames(id);
        ForEachReportRow(source_, id, nullptr, format_, TReportConsumer::XMLExport,
                         [&](const TRecStat&, int, std::vector<std::string>& cells) { AddRow(report, names, cells); });
    });
    if (!finished) return false;

    TAtomicFileWriter writer(file);
    doc.save(writer, "  ", pugi::format_indent, pugi::encoding_utf8);
    if (!writer.Ok() || !file.Commit()) throw EExportFile::CannotWrite(file);
    return true;
}

}  // namespace brindle
