// Picture decoding on damaged data: the program's own decoder and the framework's PNG
// reader, as the program sets it up, must give an invalid image, never a crash or a hang.

#include "artwork/PngDecoder.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto own = PngDecoder::decode (data, size);
    const auto framework = PngDecoder::framework (data, size);
    for (const auto& image : { own, framework })
        if (image.isValid() && (image.getWidth() <= 0 || image.getHeight() <= 0))
            std::abort();
    return 0;
}
