#include "cp932.h"

#include <QList>

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace {

constexpr char kCp932[] = "CP932";
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr char kUtf16[] = "UTF-16LE";
#else
constexpr char kUtf16[] = "UTF-16BE";
#endif

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using Iconv = std::unique_ptr<void, IconvCloser>;

Iconv openIconv(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        qFatal("iconv lacks the %s to %s conversion", from, to);
    }
    return Iconv(cd);
}

// `kept`, reset, opened on first need. Each thread keeps its converters open: glibc loads
// a code page's module when a converter opens and unloads it again soon after the last
// one closes, which costs more than converting a whole mail.
iconv_t reset(Iconv& kept, const char* to, const char* from) {
    if (!kept) {
        kept = openIconv(to, from);
    }
    const auto cd = static_cast<iconv_t>(kept.get());
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return cd;
}

// From glibc's own wide characters the conversion is a single step, which makes each
// restart after an unencodable character cheap.
iconv_t encoder() {
    thread_local Iconv kept;
    return reset(kept, kCp932, "WCHAR_T");
}

iconv_t decoder() {
    thread_local Iconv kept;
    return reset(kept, kUtf16, kCp932);
}

bool isAscii(QStringView text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

QByteArray encodeCp932(QStringView text) {
    if (isAscii(text)) {
        return text.toLatin1();
    }
    static_assert(sizeof(wchar_t) == 4, "WCHAR_T is taken as UCS-4");
    QList<uint> codePoints = text.toUcs4();
    const iconv_t cd = encoder();
    auto* in = reinterpret_cast<char*>(codePoints.data());
    size_t inLeft = static_cast<size_t>(codePoints.size()) * 4;
    QByteArray out(codePoints.size() * 2, Qt::Uninitialized);
    char* outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            const qsizetype used = outPtr - out.data();
            out.resize(out.size() * 2 + 2);
            outPtr = out.data() + used;
            outLeft = static_cast<size_t>(out.size() - used);
            continue;
        }
        // Not in the code page (a lone surrogate arrives as U+FFFD): one "?" stands for
        // the character. Every character needs at most two bytes, so "?" always fits.
        in += 4;
        inLeft -= 4;
        *outPtr++ = '?';
        --outLeft;
    }
    out.truncate(outPtr - out.data());
    return out;
}

QString decodeCp932(QByteArrayView bytes) {
    // Record fields end in long runs of space padding: only the part up to the last byte
    // outside ASCII, and the one after it (a trail byte may look like ASCII), needs the
    // converter, which maps ASCII to itself. Searched from the end, so a long text costs
    // no scan of its own.
    qsizetype convertedEnd = bytes.size();
    while (convertedEnd > 0 && static_cast<unsigned char>(bytes[convertedEnd - 1]) < 0x80) {
        --convertedEnd;
    }
    if (convertedEnd > 0) {
        convertedEnd = qMin(bytes.size(), convertedEnd + 1);
    }
    if (convertedEnd == 0) {
        return QString::fromLatin1(bytes);
    }
    if (convertedEnd < bytes.size()) {
        return decodeCp932(bytes.first(convertedEnd)) +
               QString::fromLatin1(bytes.sliced(convertedEnd));
    }
    const iconv_t cd = decoder();
    auto* in = const_cast<char*>(bytes.data());
    size_t inLeft = static_cast<size_t>(bytes.size());
    // Every byte yields at most one UTF-16 unit.
    QString out(bytes.size(), Qt::Uninitialized);
    auto* outPtr = reinterpret_cast<char*>(out.data());
    size_t outLeft = static_cast<size_t>(out.size()) * 2;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)) {
            break;
        }
        // An invalid or truncated sequence: replace its first byte and go on after it.
        ++in;
        --inLeft;
        *reinterpret_cast<QChar*>(outPtr) = QChar::ReplacementCharacter;
        outPtr += 2;
        outLeft -= 2;
    }
    out.truncate((outPtr - reinterpret_cast<char*>(out.data())) / 2);
    return out;
}

QByteArray fitCp932Field(QStringView text, int width) {
    QByteArray bytes = encodeCp932(text);
    if (bytes.size() > width) {
        qsizetype kept = 0;
        while (kept < width) {
            const qsizetype next =
                kept + (isCp932LeadByte(static_cast<unsigned char>(bytes[kept])) ? 2 : 1);
            if (next > width) {
                break;
            }
            kept = next;
        }
        bytes.truncate(kept);
    }
    return bytes.leftJustified(width, ' ');
}
