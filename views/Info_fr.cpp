#include "views/Info_fr.h"

#include <QTextBrowser>
#include <QVBoxLayout>

#include "views/HTML_fr.h"

namespace brindle {

namespace {

constexpr std::string_view kNoProfile =
    "You have not selected a valid profile to view.<p></p>You should go to Profiles and choose a profile to view.";
constexpr std::string_view kGroupSelected =
    "You have selected a report category, not a specific report.<p></p>You should expand the category to view a "
    "list of available reports.";

}  // namespace

TfrInfo::TfrInfo(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    wb = new QTextBrowser(this);
    wb->setObjectName("wb");
    layout->addWidget(wb);
}

void TfrInfo::ShowInfo(std::uint8_t message, const std::string& fileName) {
    message_ = message;
    fileName_ = fileName;
    WriteHtmlPage(fileName_, FillPage());
    ShowHtmlFile(*wb, fileName_);
    show();
}

std::string TfrInfo::FillPage() {
    if (ppRoot.Text().empty()) ppRoot.SetText(LoadPageTemplate("info_page.tpl"));
    return ppRoot.Fill([this](std::string_view tag) { return ppRootHTMLTag(tag); });
}

std::string TfrInfo::ppRootHTMLTag(std::string_view tag) const {
    if (SameTagName(tag, "STYLE_CSS")) return ReportStyleSheet();
    if (SameTagName(tag, "INFO")) return GetInfoText();
    return {};
}

std::string TfrInfo::GetInfoText() const {
    std::string_view text;
    if (message_ == 0) text = kNoProfile;
    if (message_ == 1) text = kGroupSelected;
    std::string out = "<p></p>\r\n";
    out += "<table width=\"90%\" border=\"0\" align=\"center\" cellpadding=\"2\" cellspacing=\"0\">\r\n";
    out += "<tr><td align=\"center\" class=\"Info\">\r\n";
    out += text;
    out += "\r\n</td></tr>\r\n</table>\r\n";
    return out;
}

}  // namespace brindle
