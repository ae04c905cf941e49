#include "ui/FilterKinds_u.h"

#include <array>

#include "core/CommonConsts_tables.h"
#include "core/CommonUtils_u.h"
#include "ui/Filter01_fr.h"
#include "ui/FilterPages_fr.h"
#include "ui/UiText_u.h"

namespace brindle {

namespace {

QStringList DayOfWeekItems() {
    QStringList items;
    for (const auto& row : LongDayNameTable()) items << UiText(row.Text);
    return items;
}

QStringList HourItems() {
    QStringList items;
    for (int h = 0; h < 24; ++h)
        items << QString::fromStdString(FormatInt(h, 2) + ":00-" + FormatInt(h + 1, 2) + ":00");
    return items;
}

QStringList DayOfMonthItems() {
    QStringList items;
    for (int d = 1; d <= 31; ++d) items << QString::number(d);
    return items;
}

QStringList MonthItems() {
    QStringList items;
    for (const auto& row : LongMonthNameTable()) items << UiText(row.Text);
    return items;
}

using enum TFilterPageBehaviour;

const std::array<TFilterKindPage, kFilterKindCount> kKindPages = {{
    {.Kind = 11,
     .Behaviour = Text,
     .Info = "Filter log file information by the visitor's domain name or\r\nIP address. You can use wildcards. "
             "Click the 'Help' button\r\nfor more information and some examples.",
     .Caption = "User address",
     .ControlName = "edUserAddress"},
    {.Kind = 12,
     .Behaviour = Text,
     .Info = "Filter log file information by the requested file. You can use\r\nwildcards. Click the 'Help' button "
             "for more information and\r\nsome examples.",
     .Caption = "Requested file",
     .ControlName = "edRequestFile"},
    {.Kind = 13,
     .Behaviour = DateRange,
     .Info = "Filter log file information by the date/time of request. If the\r\nrequest is between the beginning "
             "and ending date/time\r\n(including), the filter will apply."},
    {.Kind = 14,
     .Behaviour = Number,
     .Info = "Filter log file information by the day of week the request\r\nwas received.",
     .Caption = "Day of week",
     .ControlName = "cbDay",
     .Items = DayOfWeekItems,
     .FirstValue = 1},
    {.Kind = 15,
     .Behaviour = Number,
     .Info = "Filter log file information by the hour of day the request\r\nwas received.",
     .Caption = "Hour of day",
     .ControlName = "cbHod",
     .Items = HourItems,
     .FirstValue = 0},
    {.Kind = 16,
     .Behaviour = Number,
     .Info = "Filter log file information by the day of month the request\r\nwas received.",
     .Caption = "Day of month",
     .ControlName = "cbDom",
     .Items = DayOfMonthItems,
     .FirstValue = 1},
    {.Kind = 17,
     .Behaviour = Number,
     .Info = "Filter log file information by the month the request\r\nwas received.",
     .Caption = "Month",
     .ControlName = "cbMonth",
     .Items = MonthItems,
     .FirstValue = 1},
    {.Kind = 18,
     .Behaviour = StatusRange,
     .Info = "Filter log file information by the status code returned by\r\nthe web server. To include or exclude "
             "just one status code,\r\nspecify the same values for the lower and upper ranges.",
     .Caption = "Return code from"},
    {.Kind = 19,
     .Behaviour = Text,
     .Info = "Filter log file information by the referring URL. You can use\r\nwildcards. Click the 'Help' button "
             "for more information and\r\nsome examples.",
     .Caption = "Referring URL",
     .ControlName = "edReferURL"},
    {.Kind = 20,
     .Behaviour = Name,
     .Info = "Filter log file information by the visitor's OS.",
     .Caption = "Operating Systems",
     .ControlName = "cbOS",
     .List = &TOptions::OSs},
    {.Kind = 21,
     .Behaviour = Name,
     .Info = "Filter log file information by the visitor's browser.",
     .Caption = "Browsers",
     .ControlName = "cbBrowser",
     .List = &TOptions::Browsers},
    {.Kind = 22,
     .Behaviour = Name,
     .Info = "Filter log file information by spiders.",
     .Caption = "Spiders",
     .ControlName = "cbSpider",
     .List = &TOptions::Spiders},
    {.Kind = 23,
     .Behaviour = Method,
     .Info = "Filter log file information by the type of request. Requests\r\ncan be GET, HEAD or POST.",
     .Caption = "Type of request"},
    {.Kind = 24,
     .Behaviour = Text,
     .Info = "Filter log file information by the virtual domain name (only\r\nthe IIS log file formats store this "
             "information). You can\r\nuse wildcards.",
     .Caption = "Server identifier",
     .ControlName = "edVirtualDomain"},
}};

}  // namespace

std::span<const TFilterKindPage> FilterKindPages() { return kKindPages; }

TfrFilter* NewFilterKindPage(const TFilterKindPage& kind, const TOptions& options, TUiServices& ui, QWidget* parent) {
    switch (kind.Behaviour) {
        case Text: return new TfrFilterText(ui, kind, parent);
        case DateRange: return new TfrFilter13(ui, kind, parent);
        case Number: return new TfrFilterNumber(ui, kind, parent);
        case StatusRange: return new TfrFilter18(ui, kind, parent);
        case Name: return new TfrFilterName(ui, kind, options, parent);
        case Method: return new TfrFilter23(ui, kind, parent);
    }
    return nullptr;
}

}  // namespace brindle
