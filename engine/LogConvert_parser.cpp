#include "engine/LogConvert_parser.h"

#include <exception>

namespace brindle {

namespace {

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

TLogParser::TLogParser(const TTablePointers& tables, TLstRecLog* records) : Out(tables), Records(records) {
    KindLookup = [this](std::string_view ext) { return FileKindOf(ext); };
}

void TLogParser::Begin(const TProfile& profile, const TOptions& options) {
    RunProfile = &profile;
    RunOptions = &options;
    TimeOffset = TimeOffsetSeconds(profile.OffsetSign, profile.OffsetHour, profile.OffsetMinute);
    Switches.RemoveTxtQuestionRequestURL = options.RemoveTxtQuestionRequestURL != 0;
    Switches.RemoveTxtSharpRequestURL = options.RemoveTxtSharpRequestURL != 0;
    Switches.ConvertLowerCaseRequestURL = options.ConvertLowerCaseRequestURL != 0;
    Switches.RemoveTxtQuestionReferrerURL = options.RemoveTxtQuestionReferrerURL != 0;
    Switches.RemoveTxtSharpReferrerURL = options.RemoveTxtSharpReferrerURL != 0;
    Switches.ConvertLowerCaseReferrerURL = options.ConvertLowerCaseReferrerURL != 0;
    Switches.DefaultPage = profile.DefaultPage;
    FilterSet = TFilterSet(profile.Filters);
    if (!BrowserMatcher.IsFor(options.Browsers)) BrowserMatcher = TAgentMatcher(options.Browsers);
    if (!OSMatcher.IsFor(options.OSs)) OSMatcher = TAgentMatcher(options.OSs);
    if (!SpiderMatcher.IsFor(options.Spiders)) SpiderMatcher = TAgentMatcher(options.Spiders);
    // The memos answer from the options and profile of the run.
    ForgetMemos();
}

void TLogParser::ForgetMemos() {
    URIMemo.Clear();
    URIClasses.clear();
    AgentClasses.clear();
    ExtKindNames.Clear();
    ExtKinds.clear();
    OwnURIParts.Clear();
    ForgetRepeats();
}

void TLogParser::ForgetRepeats() {
    LastNCSATime.Valid = false;
    LastReferrer.Valid = false;
    LastAgent.Valid = false;
}

void TLogParser::StartPiece(TRecLog* slots, std::size_t count) {
    RecordSlots = {slots, slots, slots + count};
    SlotOverflow.clear();
    WideIndices.clear();
    // What the last line repeated is no use across a piece boundary.
    ForgetRepeats();
}

std::vector<TRecLog> TLogParser::TakeOverflow() {
    std::vector<TRecLog> taken;
    taken.swap(SlotOverflow);
    return taken;
}

std::vector<TWideIndex> TLogParser::TakeWideIndices() {
    std::vector<TWideIndex> taken;
    taken.swap(WideIndices);
    return taken;
}

bool ParseFilesInOrder(TLogParser& parser, const std::vector<std::string>& files, bool severalFiles, bool& validData,
                       std::int64_t& badLines) {
    for (const std::string& file : files) {
        if (parser.StopRequested()) return false;
        try {
            if (parser.ParseLogFile(file, badLines)) validData = true;
        } catch (const std::exception&) {
            if (!severalFiles) throw;
            parser.DoStatus(0, "Skipped : " + FileNameOf(file));
        }
    }
    return !parser.StopRequested();
}

}  // namespace brindle
