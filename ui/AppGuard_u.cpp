#include "ui/AppGuard_u.h"

#include "engine/DNSCache_u.h"
#include "engine/ELogConvert.h"
#include "export/ExportCSV_u.h"
#include "export/ExportWord_u.h"
#include "ui/UiServices.h"
#include "views/HTMLUtils_u.h"

namespace brindle {

std::string GuardMessage(const std::exception_ptr& error) {
    try {
        if (error) std::rethrow_exception(error);
    } catch (const ELogConvert& e) {
        return e.what();
    } catch (const EDNSLookup& e) {
        return e.what();
    } catch (const EExportHTML& e) {
        return e.what();
    } catch (const EExportWord& e) {
        return e.what();
    } catch (const EExportFile& e) {
        return e.what();
    } catch (...) {
    }
    return std::string(kUnknownError);
}

bool RunGuarded(TUiServices& ui, const std::function<void()>& action) {
    std::exception_ptr error;
    try {
        action();
        return true;
    } catch (...) {
        error = std::current_exception();
    }
    // Shown outside the handler: the box runs an event loop of its own.
    try {
        ui.ShowError(GuardMessage(error));
    } catch (...) {
    }
    return false;
}

}  // namespace brindle
