// vrel-lobby-picture OUT.jpg: the lobby window's picture as drawn by the art code, written as a
// baseline JPEG. The program carries the result (lobby.jpg beside this file); run it again after
// changing the drawing.

#include "resources/art/art.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <jpeglib.h>

namespace {

constexpr int kQuality = 92;

bool writeJpeg(const QImage &picture, const char *path)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    FILE *out = std::fopen(path, "wb");
    if (!out)
        return false;
    jpeg_compress_struct cinfo {};
    jpeg_error_mgr errors {};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = JDIMENSION(rgb.width());
    cinfo.image_height = JDIMENSION(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, kQuality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(out) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vrel-lobby-picture OUT.jpg\n");
        return 2;
    }
    // Drawing needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QImage picture = art::lobbyPicture(1.0).toImage();
    if (!writeJpeg(picture, argv[1])) {
        std::fprintf(stderr, "vrel-lobby-picture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
