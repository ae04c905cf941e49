// The views, dialogs and exporters the main window reaches through its hooks.
#include "ui/MainHooks.h"

namespace brindle {

TMainHooks MakeMainHooks(TOptions& options, const TLstReportTxt& languages, TUiServices& ui) {
    TMainHooks hooks;
    return hooks;
}

}  // namespace brindle
