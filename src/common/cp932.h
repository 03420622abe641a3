#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 932 (Windows Shift-JIS, with the NEC and IBM extensions), the encoding of
// every record field and settings file. glibc's "CP932" table is the exact Windows one.

// Characters the code page lacks become "?" (one per character, surrogate pairs included).
QByteArray encodeCp932(QStringView text);

// Bytes that are not valid code page 932 become U+FFFD.
QString decodeCp932(QByteArrayView bytes);

// decodeCp932 with one converter kept open, for readers that decode field after field:
// opening the converter costs more than decoding a short field.
class Cp932Decoder {
  public:
    Cp932Decoder();
    ~Cp932Decoder();
    Cp932Decoder(const Cp932Decoder&) = delete;
    Cp932Decoder& operator=(const Cp932Decoder&) = delete;

    QString decode(QByteArrayView bytes);

  private:
    void* converter_ = nullptr;
};

// True for the first byte of a double-byte character.
inline bool isCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Exactly `width` bytes: the encoded text cut at `width` bytes but never inside a
// double-byte character (a freed byte becomes a space), then padded with spaces.
QByteArray fitCp932Field(QStringView text, int width);
