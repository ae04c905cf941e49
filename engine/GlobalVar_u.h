#pragma once
// The four objects that exist once for the whole run: the analysis engine (the owner of the
// current result), the profile list, the options and the report languages. main() creates
// them before the application object and frees them after the last window, in reverse
// order; the window and the dialogs are handed references to them.
#include <memory>

namespace brindle {

class TLogConvert;
class TProfiles;
class TOptions;
class TLstReportTxt;

// Set while a TGlobalObjects lives, null otherwise.
extern TLogConvert* GlobalLogConvert;
extern TProfiles* GlobalProfiles;
extern TOptions* GlobalOptions;
extern TLstReportTxt* GlobalReportTxts;

// Owns the four objects: created empty in the order engine, profiles, options, languages;
// freed languages, options, profiles, engine. Only one may exist at a time.
class TGlobalObjects {
public:
    TGlobalObjects();
    ~TGlobalObjects();
    TGlobalObjects(const TGlobalObjects&) = delete;
    TGlobalObjects& operator=(const TGlobalObjects&) = delete;

private:
    std::unique_ptr<TLogConvert> logConvert_;
    std::unique_ptr<TProfiles> profiles_;
    std::unique_ptr<TOptions> options_;
    std::unique_ptr<TLstReportTxt> reportTxts_;
};

}  // namespace brindle
