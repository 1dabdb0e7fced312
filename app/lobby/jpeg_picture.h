#pragma once

#include <QByteArray>
#include <QImage>

// A JPEG decoded with libjpeg. Bytes that are not a whole, sound JPEG (libjpeg pads a truncated
// or damaged one and only warns; that counts as damaged here), or a picture larger than 4096
// pixels either way, give a null image.
QImage decodeJpeg(const QByteArray &bytes);
