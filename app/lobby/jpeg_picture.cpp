#include "app/lobby/jpeg_picture.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

constexpr JDIMENSION kMaxSide = 4096;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

// libjpeg's errors end the decoding; its messages (warnings included) are counted, not printed.
[[noreturn]] void leave(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(cinfo->err)->escape, 1);
}

void keepQuiet(j_common_ptr)
{
}

// Everything the decoding changes lives outside the function that calls setjmp, so nothing is
// left in doubt when libjpeg jumps back.
struct Decoding {
    jpeg_decompress_struct cinfo {};
    ErrorManager errors {};
    QImage image;
};

bool decode(Decoding &d, const QByteArray &bytes)
{
    if (setjmp(d.errors.escape))
        return false;
    jpeg_create_decompress(&d.cinfo);
    jpeg_mem_src(&d.cinfo, reinterpret_cast<const unsigned char *>(bytes.constData()), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&d.cinfo, TRUE) != JPEG_HEADER_OK)
        return false;
    if (d.cinfo.image_width > kMaxSide || d.cinfo.image_height > kMaxSide)
        return false;
    d.cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d.cinfo);
    if (d.cinfo.output_components != 3)
        return false;
    d.image = QImage(int(d.cinfo.output_width), int(d.cinfo.output_height), QImage::Format_RGB888);
    if (d.image.isNull())
        return false;
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        JSAMPROW row = d.image.scanLine(int(d.cinfo.output_scanline));
        jpeg_read_scanlines(&d.cinfo, &row, 1);
    }
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    Decoding d;
    d.cinfo.err = jpeg_std_error(&d.errors.base);
    d.errors.base.error_exit = leave;
    d.errors.base.output_message = keepQuiet;
    const bool whole = decode(d, bytes);
    jpeg_destroy_decompress(&d.cinfo);
    if (!whole || d.errors.base.num_warnings > 0)
        return {};
    return d.image;
}
