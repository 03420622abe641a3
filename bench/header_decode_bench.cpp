// Header decoding benchmark: decodes a header of about one megabyte (or the size in KB
// given as the first argument) in hostile and ordinary shapes, alone as a subject and in
// a whole mail as its Subject and as its From, beside a plain ASCII header of the same
// size in the same run. Every shape should take well under a second.
#include <QByteArray>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "bench_timing.h"
#include "transport/header_text.h"
#include "transport/mail_decoding.h"

namespace {

QByteArray repeatedTo(const QByteArray& unit, qsizetype size) {
    return unit.repeated(std::max<qsizetype>(1, size / unit.size()));
}

struct Shape {
    const char* name;
    QByteArray subject;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qsizetype size = (argc > 1 ? std::atoi(argv[1]) : 1024) * qsizetype{1024};
    const QByteArray jisWord =
        "=?ISO-2022-JP?B?" + QByteArray::fromHex("1b2442244b1b2842").toBase64() + "?= ";
    const Shape shapes[] = {
        {"plain ASCII (baseline)", repeatedTo("plain words ", size)},
        {"\"=?a b?x?y \" repeated", repeatedTo("=?a b?x?y ", size) + "?="},
        {"\"=?\" repeated", repeatedTo("=?", size)},
        {"\"=?x?b?\" repeated", repeatedTo("=?x?b?", size) + "?="},
        {"one unterminated word", "=?utf-8?b?" + repeatedTo("QUJD", size)},
        {"100k tiny UTF-8 words", QByteArray("=?utf-8?q?a?= ").repeated(100000)},
        {"100k tiny ISO-2022-JP words", jisWord.repeated(100000)},
        {"100k words, charsets alternate",
         QByteArray("=?utf-8?q?a?= =?shift_jis?q?b?= ").repeated(50000)},
        {"100k words, unknown charsets",
         QByteArray("=?x-one?q?a?= =?x-two?q?b?= ").repeated(50000)},
    };
    std::printf("%-34s %10s %10s %12s %12s\n", "header shape", "bytes", "subject s", "mail s",
                "as From s");
    for (const Shape& shape : shapes) {
        const double headerMs = bestOfMs(1, [&] { decodeHeaderText(shape.subject); });
        const QByteArray mail = "From: a@example.jp\r\nSubject: " + shape.subject +
                                "\r\nContent-Type: text/plain\r\n\r\nbody\r\n";
        const double mailMs = bestOfMs(1, [&] { decodeMail(mail); });
        const QByteArray fromMail =
            "From: " + shape.subject + " <a@example.jp>\r\nSubject: hi\r\n\r\nbody\r\n";
        const double fromMs = bestOfMs(1, [&] { decodeMail(fromMail); });
        std::printf("%-34s %10lld %10.3f %12.3f %12.3f\n", shape.name,
                    static_cast<long long>(shape.subject.size()), headerMs / 1000, mailMs / 1000,
                    fromMs / 1000);
    }
    return 0;
}
