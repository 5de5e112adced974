// Keeps alsa-lib's own error printing off stderr on the calling thread: the wave layer and the
// MP3 library report failures through their result codes instead. Header only, so the MP3
// library (which links nothing of the program) can use it too.
#pragma once

#include <cstdarg>

// alsa-lib 1.2 declares snd_lib_error_set_local outside its extern "C" block; reading the header
// inside one gives the function its C name.
extern "C" {
#include <alsa/error.h>
}
#include <alsa/asoundlib.h>

namespace zarel::wave {

inline void ignoreAlsaMessage(const char *, int, const char *, int, const char *, va_list) { }

// Installs a handler that drops alsa-lib's messages for its lifetime. The handler is per
// thread, so other ALSA users of the process keep theirs.
class QuietAlsa
{
public:
    QuietAlsa()
        : m_previous(snd_lib_error_set_local(&ignoreAlsaMessage))
    { }
    ~QuietAlsa() { snd_lib_error_set_local(m_previous); }
    QuietAlsa(const QuietAlsa &) = delete;
    QuietAlsa &operator=(const QuietAlsa &) = delete;

private:
    snd_local_error_handler_t m_previous;
};

} // namespace zarel::wave
