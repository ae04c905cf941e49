#pragma once
// PNG files of chart images: 8 bits per channel RGB, not interlaced, no transparent
// colour, one "Software" text chunk. Files are replaced atomically.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

class QImage;

namespace brindle {

// "Error Opening File <name>!" when the file cannot be created, "Error Writing PNG File!"
// for any failure after that. Either way the earlier file stays as it was.
class EPngWriter : public std::runtime_error {
public:
    explicit EPngWriter(const std::string& message, std::string reason = {})
        : std::runtime_error(message), reason_(std::move(reason)) {}
    // The system's reason ("No space left on device"); empty when none is known.
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

// The value of the "Software" text chunk.
inline constexpr const char* kPngSoftware = "Brindle Analyzer";

// Rgb holds Height rows of Width pixels, three bytes each, top row first.
void WritePngFile(const std::string& fileName, std::int32_t width, std::int32_t height,
                  std::span<const std::uint8_t> rgb);
// The image's pixels as RGB; a null image cannot be written.
void WritePngFile(const std::string& fileName, const QImage& image);

}  // namespace brindle
