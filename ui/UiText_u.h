#pragma once
// Texts of the dialogs keep their CR LF line ends as written; widgets want "\n".
#include <QString>
#include <string>
#include <string_view>

namespace brindle {

inline QString UiText(std::string_view text) {
    QString result = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return result;
}

inline std::string StdText(const QString& text) { return text.toStdString(); }

}  // namespace brindle
