// Fuzz target for the MPEG frame scanner and the content probe.

#include "ContentProbe.h"
#include "MpegFrameScanner.h"

#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    std::istringstream probed(bytes);
    if (!ContentProbe::of(probed).ok() || probed.tellg() != 0)
        std::abort();

    std::istringstream in(bytes);
    MpegFrameScanner scanner(in);
    std::uint64_t end = 0;
    for (;;) {
        const auto frame = scanner.next();
        if (!frame.ok())
            std::abort();
        if (!frame.value())
            break;
        const MpegFrameScanner::Frame &found = *frame.value();
        // Frames follow each other, after any junk and tags, and lie within the input.
        if (found.offset < end + found.junkBefore || found.offset + found.bytes.size() > size)
            std::abort();
        if (std::string(reinterpret_cast<const char *>(found.bytes.data()), found.bytes.size())
            != bytes.substr(found.offset, found.bytes.size()))
            std::abort();
        if (found.header.frameBytes > 0 && found.header.frameBytes != found.bytes.size())
            std::abort();
        end = found.offset + found.bytes.size();
    }
    if (scanner.end().offset != end || end + scanner.end().trailingBytes > size)
        std::abort();
    return 0;
}
