#pragma once
// Errors of an analysis run, and the verdict of reading one log line.
#include <stdexcept>
#include <string>

namespace brindle {

// An analysis error; its message is shown to the user unchanged.
class ELogConvert : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a field mapper made of one line. A malformed line is the common case in a
// broken log, so it is a return value rather than an exception: throwing costs
// about a microsecond per line, a log of bad lines would parse at a crawl.
enum class TLineResult : int {
    Bad = -1,  // malformed: counted as a bad line
    NoHit = 0,  // a directive or otherwise no hit; not counted
    Hit = 1,
};

}  // namespace brindle
