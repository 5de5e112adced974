// The method-window test fixture: dictionary, word list, sounds and pictures.
#include "methodtestsupport.h"

#include "dictionary/codepage1254.h"
#include "mpegtestsupport.h"
#include "sound/tmpegplayer.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QTest>

using zarel::test::baseEntry;
using zarel::test::userEntry;

namespace {

zarel::WriterEntry base(const std::string &utf8, const std::string &meaning)
{
    const std::string word = zarel::cp1254::fromUtf8(utf8);
    return baseEntry(word, word + ": " + zarel::cp1254::fromUtf8(meaning));
}

} // namespace

bool MethodTest::startDictionary(bool sounds, double seconds, const std::string &config)
{
    writeDictionary({
        { 1, { base("book", "kitap"), base("bookcase", "kitaplık") } },
        { 2, { base("car", "araba"), base("card", "kart") } },
        { 17, { base("run", "koşmak"), userEntry("rung", "rung: basamak") } },
        { 28, { base("cadde", "street"), base("carpmak", "to hit") } },
        { 38, { base("kitap", "book") } },
    });
    zarel::test::writeFile(file("Dictionary.cfg"), config);
    bool made = true;
    if (sounds) {
        m_tone = zarel::test::makeToneMp3(m_dir.path(), "tone", seconds, 22050, 1, 32);
        made = !m_tone.empty();
        for (const char *target :
             { "wave/2/1.mp3", "wave/3/1.mp3", "wave/3/2.mp3", "wave/18/1.mp3" }) {
            if (!made)
                break;
            std::filesystem::create_directories(std::filesystem::path(file(target)).parent_path());
            std::filesystem::copy_file(m_tone, file(target));
        }
    }
    TForm1 &form = startForm();
    form.MPEG1->PathToDLL = MPEGDLL_DIR;
    form.MPEG1->setTimerFreq(50);
    // At real pace on the sound server a pronunciation is still playing when a test looks at
    // the buttons right after a click; the pcmfile device may have ended it by then.
    form.MPEG1->OutFilename = file("out.pcm");
    form.MPEG1->setOutputDevice(zarel::test::soundServerAnswers() ? TOutputDevice::wavemapper
                                                                  : TOutputDevice::pcmfile);
    return made;
}

void MethodTest::setList(const QStringList &marked)
{
    m_form->setMarkedEntries(marked);
}

bool MethodTest::waitForSoundEnd(int milliseconds)
{
    return QTest::qWaitFor([this] { return !m_form->MPEG1->LibraryLoaded(); }, milliseconds);
}

void MethodTest::playSlowly(double seconds)
{
    const std::string bytes = zarel::test::readFile(m_tone);
    m_slowStream.assign(bytes.begin(), bytes.end());
    TMPEGPlayer *player = m_form->MPEG1;
    // Reads of 64 bytes, each after a pause, spread the stream over about `seconds`.
    const auto reads = std::max<size_t>(1, m_slowStream.size() / 64);
    const auto pause = std::chrono::microseconds(static_cast<long>(seconds * 1e6 / reads));
    player->FromStream = true;
    player->OnOpenStream = [this](bool &nonseekable, void *&) {
        nonseekable = true;
        m_slowPosition = 0;
    };
    player->OnReadStream
        = [this, pause](void *, void *buffer, int32_t toRead, int32_t &read, bool &result) {
              const size_t left = m_slowStream.size() - m_slowPosition;
              const size_t n = std::min<size_t>({ left, size_t(std::max(toRead, 0)), 64 });
              if (m_slowPosition > 1024)
                  std::this_thread::sleep_for(pause);
              std::memcpy(buffer, m_slowStream.data() + m_slowPosition, n);
              m_slowPosition += n;
              read = static_cast<int32_t>(n);
              result = true;
          };
}

void MethodTest::writeBmp(const std::string &path, QColor color)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(color);
    image.save(QString::fromStdString(path), "BMP");
}

QColor MethodTest::iconColour(const QIcon &icon)
{
    const QPixmap pixmap = icon.pixmap(QSize(4, 4));
    if (pixmap.isNull())
        return {};
    const QImage image = pixmap.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}
