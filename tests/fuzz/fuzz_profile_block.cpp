// The binary profile block of analysis documents: the first byte picks the version, the rest
// is the block. A block that reads must write back to one that reads the same.
#include <cstdlib>

#include "FuzzInput.h"
#include "core/BinaryStream_u.h"
#include "core/Profiles_u.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    if (size == 0) return 0;
    const std::uint32_t version = (data[0] & 1) ? kProfileBlockVersion21 : kProfileBlockVersion20;
    const std::string_view block = fuzz::AsText(data + 1, size - 1);
    TBinaryReader reader(block);
    TProfile profile;
    if (!profile.ReadFromStream(reader, version)) return 0;
    TBinaryWriter writer;
    if (!profile.WriteToStream(writer)) return 0;
    TBinaryReader again(writer.Data());
    TProfile copy;
    if (!copy.ReadFromStream(again, kProfileBlockVersion21)) std::abort();
    TBinaryWriter rewriter;
    if (!copy.WriteToStream(rewriter) || rewriter.Data() != writer.Data()) std::abort();
    return 0;
}
