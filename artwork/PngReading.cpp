// How the framework's PNG decoder reads the pictures.
//
// The framework creates its own libpng reader for every decode and offers no way to
// configure it, so the program is linked with --wrap for the two calls below, and
// the framework's reader passes through here on its way.

#include <csetjmp>
#include <png.h>

extern "C"
{
    png_structp __real_png_create_read_struct (png_const_charp version, png_voidp errorData, png_error_ptr onError,
                                               png_error_ptr onWarning);
    void __real_png_set_error_fn (png_structrp reader, png_voidp errorData, png_error_ptr onError, png_error_ptr onWarning);

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
}
