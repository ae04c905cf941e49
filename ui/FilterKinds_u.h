#pragma once
// The filter kinds 11..24 as the wizard shows them: one row per kind gives the behaviour of
// its page, its texts and the names of its controls, so that kinds that behave alike share
// one page class.
#include <QStringList>
#include <span>

#include "core/Options_u.h"

class QWidget;

namespace brindle {

class TUiServices;
class TfrFilter;

enum class TFilterPageBehaviour { Text, DateRange, Number, StatusRange, Name, Method };

struct TFilterKindPage {
    int Kind;
    TFilterPageBehaviour Behaviour;
    const char* Info;
    // Above the page's control; null where the page captions its own controls.
    const char* Caption = nullptr;
    // Null where the page names its own controls.
    const char* ControlName = nullptr;
    // Number: the entries, and the value stored for the first of them.
    QStringList (*Items)() = nullptr;
    int FirstValue = 0;
    // Name: the options' list that gives the names.
    const TLstUAType TOptions::*List = nullptr;
};

// Every kind, in kind order.
std::span<const TFilterKindPage> FilterKindPages();

// The page of a kind, owned by Parent; Options must outlive it.
TfrFilter* NewFilterKindPage(const TFilterKindPage& kind, const TOptions& options, TUiServices& ui, QWidget* parent);

}  // namespace brindle
