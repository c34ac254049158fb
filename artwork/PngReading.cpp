// How the framework's PNG decoder reads the pictures.
//
// The framework creates its own libpng reader for every decode and offers no way to
// configure it, so the program is linked with --wrap for the three calls below, and
// the framework's reader passes through here on its way. The program's own decoder
// (PngDecoder.cpp) sets its reading function with the real call.

#include <juce_core/juce_core.h>

#include <csetjmp>
#include <png.h>

extern "C"
{
    png_structp __real_png_create_read_struct (png_const_charp version, png_voidp errorData, png_error_ptr onError,
                                               png_error_ptr onWarning);
    void __real_png_set_error_fn (png_structrp reader, png_voidp errorData, png_error_ptr onError, png_error_ptr onWarning);
    void __real_png_set_read_fn (png_structrp reader, png_voidp stream, png_rw_ptr read);

    png_structp __wrap_png_create_read_struct (png_const_charp version, png_voidp errorData, png_error_ptr onError,
                                               png_error_ptr onWarning)
    {
        auto* reader = __real_png_create_read_struct (version, errorData, onError, onWarning);

        // zlib's Adler-32 of the inflated pixels is a fifth of the decoding time. What
        // remains still refuses damaged data: libpng's CRC-32 of every chunk, compressed
        // pixels included, and zlib's own checks of the stream's structure.
        if (reader != nullptr)
            png_set_option (reader, PNG_IGNORE_ADLER32, PNG_OPTION_ON);

        return reader;
    }

    // The framework's error handler was written for its own copy of libpng: with the
    // system's, it returns, and libpng then jumps into a frame that has ended, so any
    // damaged picture would crash the program. The framework hands over, as the error
    // data, the jump buffer its decoder waits on; the handler below jumps there, and the
    // decoder returns an invalid image as it was meant to.
    [[noreturn]] static void returnToDecoder (png_structp reader, png_const_charp)
    {
        std::longjmp (*static_cast<std::jmp_buf*> (png_get_error_ptr (reader)), 1);
    }

    void __wrap_png_set_error_fn (png_structrp reader, png_voidp errorData, png_error_ptr onError, png_error_ptr onWarning)
    {
        __real_png_set_error_fn (reader, errorData, errorData != nullptr ? returnToDecoder : onError, onWarning);
    }

    // The framework's reading function ignores how many bytes its stream gave. At the end of
    // a cut picture libpng then reads its own stale buffer again and again: a chunk header
    // that claims half a megabyte, read once more after every CRC warning, without end.
    // This one stops the picture at the first short read.
    static void readWhole (png_structp reader, png_bytep into, png_size_t count)
    {
        auto& stream = *static_cast<juce::InputStream*> (png_get_io_ptr (reader));
        while (count > 0)
        {
            const auto piece = static_cast<int> (std::min<png_size_t> (count, 1 << 20));
            if (stream.read (into, piece) != piece)
                png_error (reader, "the picture ends early");
            into += piece;
            count -= static_cast<png_size_t> (piece);
        }
    }

    void __wrap_png_set_read_fn (png_structrp reader, png_voidp stream, png_rw_ptr read)
    {
        __real_png_set_read_fn (reader, stream, read != nullptr ? readWhole : nullptr);
    }
}

