// The pictures and feedback sounds that the data builder makes for an installation: drawn with
// QPainter and encoded as JPEG or BMP, and synthesised as 16-bit mono WAV.
#pragma once

#include "platform/result.h"

#include <string>
#include <vector>

namespace zarel::dicttool {

struct MediaFile
{
    std::string name; // relative to the installation folder: "about.jpg", "rtf/eng.rtf"
    std::string bytes;
};

// Appends the pictures: the direction logos logo_en_tr.jpg and logo_tr_en.jpg (90 x 58), the
// window backgrounds about.jpg and aboutprog.jpg (406 x 194), the button strip strip.jpg
// (400 x 44) and the tileable texture.jpg (256 x 256); the 24 x 24 glyphs Start1.bmp, Start2.bmp
// (the blink phases of the start button), Stop2.bmp and Record1.bmp, and the 43 x 34 answer
// pictures a.bmp (right) and b.bmp (wrong). The glyphs and answer pictures have a plain
// background whose colour is that of their bottom-left pixel. Needs a QGuiApplication for the
// fonts; one is made on the offscreen platform for the call when no application runs.
// BadInput when a non-graphical application runs, WriteError when an encoder fails.
Status makePictures(std::vector<MediaFile> &files);

// Sample rate of the feedback sounds.
inline constexpr int kFeedbackSampleRate = 22050;

// da.wav (right: a short rising chime) and ne.wav (wrong: a short falling low tone), each a
// canonical 44-byte-header PCM WAV, 16-bit mono at kFeedbackSampleRate.
std::vector<MediaFile> feedbackSounds();

} // namespace zarel::dicttool
