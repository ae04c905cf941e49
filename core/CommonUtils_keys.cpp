// English texts of menu shortcuts, whatever the language of the desktop.
#include "core/CommonUtils_u.h"

namespace brindle {

namespace {

std::string KeyName(int key, const TKeyNameFunc& keyName) {
    if (key == 0) return {};  // no key, whatever the modifiers
    switch (key) {
        case 8: return "BkSp";
        case 9: return "Tab";
        case 13: return "Enter";
        case 27: return "Esc";
        case 32: return "Space";
        case 33: return "PgUp";
        case 34: return "PgDn";
        case 35: return "End";
        case 36: return "Home";
        case 37: return "Left";
        case 38: return "Up";
        case 39: return "Right";
        case 40: return "Down";
        case 45: return "Ins";
        case 46: return "Del";
        default: break;
    }
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
    if (key >= 96 && key <= 105) return std::string(1, static_cast<char>('0' + key - 96));  // numeric pad
    if (key >= 112 && key <= 135) return "F" + FormatInt(key - 111);
    return keyName ? keyName(key) : std::string();
}

}  // namespace

std::string ShortCutToTextEn(std::uint16_t shortCut, const TKeyNameFunc& keyName) {
    const std::string name = KeyName(shortCut & 0xFF, keyName);
    if (name.empty()) return {};
    std::string text;
    if (shortCut & kShortCutShift) text += "Shift+";
    if (shortCut & kShortCutCtrl) text += "Ctrl+";
    if (shortCut & kShortCutAlt) text += "Alt+";
    return text + name;
}

}  // namespace brindle
