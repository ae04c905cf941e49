#include "core/XMLProfiles_u.h"

#include <pugixml.hpp>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <new>
#include <optional>
#include <stdexcept>

#include "core/Profiles_u.h"
#include "core/SafeFile_u.h"
#include "core/TextRepair_u.h"
#include "core/XmlFile_u.h"

namespace brindle {
namespace xmlprofiles {

namespace {

// Every text goes into the file repaired: bytes that are not UTF-8 are read as Windows-1252,
// and characters XML 1.0 cannot carry are replaced.
std::string XmlSafeText(std::string_view text) { return RepairXmlText(text); }

// ---- Reading ------------------------------------------------------------------------------

// An element read as text holds elements: the file is not a profiles file.
struct TMalformedFile {
    std::string Element;
};

std::string ElementText(const pugi::xml_node& parent, const char* name) {
    std::string text;
    for (const pugi::xml_node& child : parent.child(name).children()) {
        if (child.type() == pugi::node_element) throw TMalformedFile{name};
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) text += child.value();
    }
    return text;
}

// A decimal 32-bit integer with an optional sign; surrounding blanks are allowed. Anything
// else (empty, not a number, out of range) is missing.
std::optional<std::int32_t> ParseInt(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
    if (text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() == '-') return std::nullopt;
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<std::int32_t> ElementInt(const pugi::xml_node& parent, const char* name) {
    return ParseInt(ElementText(parent, name));
}

std::optional<std::int32_t> AttrInt(const pugi::xml_node& node, const char* name) {
    return ParseInt(node.attribute(name).value());
}

std::string AttrText(const pugi::xml_node& node, const char* name) { return node.attribute(name).value(); }

// 8-bit fields keep the low eight bits of the integer read.
std::uint8_t Low8(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

// Attributes of the record elements, in writing order.
template <typename TRec>
struct TTextAttr {
    const char* Name;
    std::string TRec::*Field;
};

constexpr TTextAttr<TRecLogFileProperty> kLogFileTexts[] = {{"LogFileType", &TRecLogFileProperty::LogFileType},
                                                            {"LogFileURL", &TRecLogFileProperty::LogFileURL},
                                                            {"LoginUserName", &TRecLogFileProperty::LoginUserName},
                                                            {"LoginPassword", &TRecLogFileProperty::LoginPassword}};

constexpr TTextAttr<TRecFilterProperty> kFilterTexts[] = {{"Name", &TRecFilterProperty::Name},
                                                          {"Value1", &TRecFilterProperty::Value1},
                                                          {"Value2", &TRecFilterProperty::Value2}};

// The 32-bit values of a Report after its ID; a Report missing a required one is dropped,
// the others read as 0.
struct TReportAttr {
    const char* Name;
    std::int32_t TRecReportProperty::*Field;
    bool Required;
};

constexpr TReportAttr kReportInts[] = {{"Enable", &TRecReportProperty::Enable, true},
                                       {"EnableList", &TRecReportProperty::EnableList, false},
                                       {"EnableChart", &TRecReportProperty::EnableChart, false},
                                       {"EnableChartDaily", &TRecReportProperty::EnableChartDaily, false},
                                       {"NbItemsList", &TRecReportProperty::NbItemsList, true},
                                       {"NbItemsChart", &TRecReportProperty::NbItemsChart, true},
                                       {"NbItemsChartDaily", &TRecReportProperty::NbItemsChartDaily, false}};

template <typename TRec, std::size_t N>
void ReadTexts(const pugi::xml_node& node, const TTextAttr<TRec> (&attrs)[N], TRec& rec) {
    for (const auto& attr : attrs) rec.*attr.Field = AttrText(node, attr.Name);
}

TRecLogFileProperty ReadLogFile(const pugi::xml_node& node) {
    TRecLogFileProperty rec;
    ReadTexts(node, kLogFileTexts, rec);
    rec.LoginPort = AttrInt(node, "LoginPort").value_or(0);
    rec.PassiveMode = AttrInt(node, "PassiveMode").value_or(0);
    rec.Enable = AttrInt(node, "Enable").value_or(1);
    return rec;
}

// Empty when a value the record cannot do without is missing.
std::optional<TRecReportProperty> ReadReport(const pugi::xml_node& node) {
    const auto id = AttrInt(node, "ID");
    if (!id) return std::nullopt;
    TRecReportProperty rec;
    rec.ID = Low8(*id);
    for (const auto& attr : kReportInts) {
        const auto value = AttrInt(node, attr.Name);
        if (!value && attr.Required) return std::nullopt;
        rec.*attr.Field = value.value_or(0);
    }
    return rec;
}

std::optional<TRecFilterProperty> ReadFilter(const pugi::xml_node& node) {
    const auto filterType = AttrInt(node, "FilterType");
    const auto filterItem = AttrInt(node, "FilterItem");
    if (!filterType || !filterItem) return std::nullopt;
    TRecFilterProperty rec;
    rec.FilterType = Low8(*filterType);
    rec.FilterItem = Low8(*filterItem);
    ReadTexts(node, kFilterTexts, rec);
    return rec;
}

std::unique_ptr<TProfile> ReadProfile(const pugi::xml_node& node) {
    auto profile = std::make_unique<TProfile>();
    TProfile& p = *profile;
    p.Name = ElementText(node, "Name");
    for (const pugi::xml_node& item : node.child("LogFiles").children("LogFile")) p.LogFiles.Add(ReadLogFile(item));

    p.Obsolete110.LogFileType = ElementText(node, "LogFileType");
    p.Obsolete110.LogFileURL = ElementText(node, "LogFileURL");
    p.Obsolete110.LoginUserName = ElementText(node, "LoginUserName");
    p.Obsolete110.LoginPassword = ElementText(node, "LoginPassword");
    p.Obsolete110.LoginPort = ElementInt(node, "LoginPort").value_or(0);

    p.LogFileFormat = Low8(ElementInt(node, "LogFileFormat").value_or(0));
    p.DateFormat = Low8(ElementInt(node, "DateFormat").value_or(0));
    p.DomainName = ElementText(node, "DomainName");
    p.DefaultPage = ElementText(node, "DefaultPage");
    p.DNSLookup = ElementInt(node, "DNSLookup").value_or(0);
    p.AutoExport = ElementInt(node, "AutoExport").value_or(0);
    p.AutoExportType = Low8(ElementInt(node, "AutoExportType").value_or(0));
    p.AutoExportFile = ElementText(node, "AutoExportFile");
    p.AutoExportLanguageID = ElementText(node, "AutoExportLanguageID");
    p.Description = ElementText(node, "Description");
    p.OffsetSign = ElementInt(node, "OffsetSign").value_or(1);
    p.OffsetHour = ElementInt(node, "OffsetHour").value_or(0);
    p.OffsetMinute = ElementInt(node, "OffsetMinute").value_or(0);

    for (const pugi::xml_node& item : node.child("Reports").children("Report"))
        if (const auto rec = ReadReport(item)) p.Reports.Add(*rec);
    for (const pugi::xml_node& item : node.child("Filters").children("Filter"))
        if (const auto rec = ReadFilter(item)) p.Filters.Add(*rec);
    return profile;
}

// ---- Writing ------------------------------------------------------------------------------

std::string IntText(std::int32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void AddText(pugi::xml_node& parent, const char* name, std::string_view text) {
    pugi::xml_node element = parent.append_child(name);
    const std::string safe = XmlSafeText(text);
    if (!safe.empty()) element.append_child(pugi::node_pcdata).set_value(safe.c_str());
}

void AddInt(pugi::xml_node& parent, const char* name, std::int32_t value) { AddText(parent, name, IntText(value)); }

void SetText(pugi::xml_node& node, const char* name, std::string_view text) {
    node.append_attribute(name).set_value(XmlSafeText(text).c_str());
}

void SetInt(pugi::xml_node& node, const char* name, std::int32_t value) {
    node.append_attribute(name).set_value(IntText(value).c_str());
}

template <typename TRec, std::size_t N>
void SetTexts(pugi::xml_node& node, const TTextAttr<TRec> (&attrs)[N], const TRec& rec) {
    for (const auto& attr : attrs) SetText(node, attr.Name, rec.*attr.Field);
}

void WriteProfile(pugi::xml_node& list, const TProfile& p) {
    pugi::xml_node node = list.append_child("Profile");
    AddText(node, "Name", p.Name);
    if (!p.LogFiles.IsEmpty()) {
        pugi::xml_node items = node.append_child("LogFiles");
        for (const auto& rec : p.LogFiles) {
            pugi::xml_node item = items.append_child("LogFile");
            SetTexts(item, kLogFileTexts, rec);
            SetInt(item, "LoginPort", rec.LoginPort);
            SetInt(item, "PassiveMode", rec.PassiveMode);
            SetInt(item, "Enable", rec.Enable);
        }
    }
    AddInt(node, "LogFileFormat", p.LogFileFormat);
    AddInt(node, "DateFormat", p.DateFormat);
    AddText(node, "DomainName", p.DomainName);
    AddText(node, "DefaultPage", p.DefaultPage);
    AddInt(node, "DNSLookup", p.DNSLookup);
    AddInt(node, "AutoExport", p.AutoExport);
    AddInt(node, "AutoExportType", p.AutoExportType);
    AddText(node, "AutoExportFile", p.AutoExportFile);
    AddText(node, "AutoExportLanguageID", p.AutoExportLanguageID);
    AddText(node, "Description", p.Description);
    AddInt(node, "OffsetSign", p.OffsetSign);
    AddInt(node, "OffsetHour", p.OffsetHour);
    AddInt(node, "OffsetMinute", p.OffsetMinute);
    if (!p.Reports.IsEmpty()) {
        pugi::xml_node items = node.append_child("Reports");
        for (const auto& rec : p.Reports) {
            pugi::xml_node item = items.append_child("Report");
            SetInt(item, "ID", rec.ID);
            for (const auto& attr : kReportInts) SetInt(item, attr.Name, rec.*attr.Field);
        }
    }
    if (!p.Filters.IsEmpty()) {
        pugi::xml_node items = node.append_child("Filters");
        for (const auto& rec : p.Filters) {
            pugi::xml_node item = items.append_child("Filter");
            SetInt(item, "FilterType", rec.FilterType);
            SetInt(item, "FilterItem", rec.FilterItem);
            SetTexts(item, kFilterTexts, rec);
        }
    }
}

}  // namespace

bool ReadProfilesXml(std::string_view bytes, TProfiles& target, std::string* why) {
    try {
        pugi::xml_document doc;
        if (!ParseXmlFile(bytes, doc, why)) return false;

        const pugi::xml_node data = doc.document_element();  // whatever its name; may be absent
        TProfiles read;
        read.Description = AttrText(data, "Description");
        read.Ver = AttrText(data, "Ver");
        for (const pugi::xml_node& node : data.child("Profiles").children("Profile"))
            read.Profiles.Add(ReadProfile(node));
        target.Description = std::move(read.Description);
        target.Ver = std::move(read.Ver);
        target.Profiles = std::move(read.Profiles);
        return true;
    } catch (const TMalformedFile& e) {
        return FailWith(why, "The element '" + e.Element + "' holds elements where text was expected");
    } catch (const std::bad_alloc&) {
        return FailWith(why, "Not enough memory");
    }
}

std::string WriteProfilesXml(const TProfiles& profiles) {
    pugi::xml_document doc;
    AddXmlDeclaration(doc);
    pugi::xml_node data = doc.append_child("DATA");
    data.append_attribute("Description").set_value(std::string(kFileDescription).c_str());
    data.append_attribute("Ver").set_value(std::string(kFileVersion).c_str());
    pugi::xml_node list = data.append_child("Profiles");
    for (std::size_t i = 0; i < profiles.Profiles.Count(); ++i) WriteProfile(list, profiles.Profiles[i]);

    return XmlDocumentText(doc);
}

}  // namespace xmlprofiles

bool TProfiles::LoadFromFile(const std::string& fileName, std::string* why) {
    try {
        std::string bytes;
        errno = 0;
        if (!ReadWholeFile(fileName, bytes)) return FailWith(why, SystemReason());
        return xmlprofiles::ReadProfilesXml(bytes, *this, why);
    } catch (const std::exception& e) {
        return FailWith(why, e.what());
    }
}

bool TProfiles::SaveToFile(const std::string& fileName, std::string* why) const {
    try {
        TAtomicFile file;
        if (file.Open(fileName, 0600) && file.Write(xmlprofiles::WriteProfilesXml(*this)) && file.Commit()) return true;
        return FailWith(why, file.ErrorText());
    } catch (const std::exception& e) {
        return FailWith(why, e.what());
    }
}

}  // namespace brindle
