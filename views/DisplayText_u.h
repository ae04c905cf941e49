#pragma once
// Texts on screen come from log bytes that are not always UTF-8 and may hold control
// characters; they are shown repaired the way the pages and exports write them.
#include <QString>
#include <string>
#include <string_view>

#include "core/TextRepair_u.h"

namespace brindle {

inline QString DisplayText(std::string_view text) {
    if (IsCleanOutputText(text)) return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const std::string repaired = RepairOutputText(text);
    return QString::fromUtf8(repaired.data(), static_cast<qsizetype>(repaired.size()));
}

}  // namespace brindle
