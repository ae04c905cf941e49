#include "engine/GlobalVar_u.h"

#include <stdexcept>

#include "core/Options_u.h"
#include "core/Profiles_u.h"
#include "core/ReportTxt_u.h"
#include "engine/LogConvert_u.h"

namespace brindle {

TLogConvert* GlobalLogConvert = nullptr;
TProfiles* GlobalProfiles = nullptr;
TOptions* GlobalOptions = nullptr;
TLstReportTxt* GlobalReportTxts = nullptr;

TGlobalObjects::TGlobalObjects() {
    if (GlobalLogConvert) throw std::logic_error("The program objects exist already.");
    logConvert_ = std::make_unique<TLogConvert>();
    profiles_ = std::make_unique<TProfiles>();
    options_ = std::make_unique<TOptions>();
    reportTxts_ = std::make_unique<TLstReportTxt>();
    // Published only once all four exist, so a failed start leaves no dangling global.
    GlobalLogConvert = logConvert_.get();
    GlobalProfiles = profiles_.get();
    GlobalOptions = options_.get();
    GlobalReportTxts = reportTxts_.get();
}

TGlobalObjects::~TGlobalObjects() {
    GlobalReportTxts = nullptr;
    reportTxts_.reset();
    GlobalOptions = nullptr;
    options_.reset();
    GlobalProfiles = nullptr;
    profiles_.reset();
    GlobalLogConvert = nullptr;
    logConvert_.reset();
}

}  // namespace brindle
