#pragma once
// The information page shown in place of a report: when no profile is current (message 0)
// or when a report group is selected (message 1).
#include <QWidget>
#include <cstdint>
#include <string>
#include <string_view>

#include "views/HTMLUtils_u.h"

class QTextBrowser;

namespace brindle {

class TfrInfo : public QWidget {
    Q_OBJECT

public:
    explicit TfrInfo(QWidget* parent = nullptr);

    // Writes the page of Message to FileName and shows it. A file that cannot be written
    // raises EExportHTML and the viewer stays as it was.
    void ShowInfo(std::uint8_t message, const std::string& fileName);

    // The text of the INFO tag for the current message.
    std::string GetInfoText() const;

    QTextBrowser* wb = nullptr;  // the embedded viewer

private:
    // The filled page of the current message, without the final line end.
    std::string FillPage();
    std::string ppRootHTMLTag(std::string_view tag) const;

    std::uint8_t message_ = 0;
    std::string fileName_;
    TTemplateFiller ppRoot;
};

}  // namespace brindle
