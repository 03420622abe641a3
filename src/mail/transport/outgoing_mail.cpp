#include "transport/gmime_support.h"

#include "transport/outgoing_mail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

#include "transport/mail_charset.h"

namespace {

// Characters per encoded word, short enough that every word stays within 75 characters.
constexpr qsizetype kWordChars = 12;

bool isAscii(QStringView text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            return false;
        }
    }
    return true;
}

QString withCrLf(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\r', u'\n');
    lines.replace(u'\n', QStringLiteral("\r\n"));
    return lines;
}

// Pieces of at most kWordChars characters, never splitting a surrogate pair.
QStringList wordPieces(const QString& text) {
    QStringList pieces;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = std::min(text.size(), start + kWordChars);
        if (end < text.size() && text[end].isLowSurrogate()) {
            ++end;
        }
        pieces.append(text.sliced(start, end - start));
        start = end;
    }
    return pieces;
}

// An RFC 2047 value in GMime's raw form (leading space, folded, ending in a newline).
QByteArray encodedHeaderValue(const QString& text) {
    if (isAscii(text)) {
        return ' ' + text.toLatin1() + '\n';
    }
    QByteArray raw;
    const bool iso2022 = encodeIso2022Jp(text).has_value();
    for (const QString& piece : wordPieces(text)) {
        const QByteArray bytes = iso2022 ? *encodeIso2022Jp(piece) : piece.toUtf8();
        raw += (iso2022 ? " =?ISO-2022-JP?B?" : " =?UTF-8?B?") + bytes.toBase64() + "?=\n";
    }
    return raw;
}

void setRawHeader(GMimeObject* object, const char* name, const QByteArray& rawValue) {
    GMimeHeaderList* headers = g_mime_object_get_header_list(object);
    g_mime_header_list_set(headers, name, "", nullptr);
    g_mime_header_set_raw_value(g_mime_header_list_get_header(headers, name), rawValue.constData());
}

GMimePart* partWithContent(const char* type, const char* subtype, const QByteArray& bytes,
                           GMimeContentEncoding encoding) {
    GMimePart* part = g_mime_part_new_with_type(type, subtype);
    GObjectPtr<GMimeStream> stream(
        g_mime_stream_mem_new_with_buffer(bytes.constData(), static_cast<size_t>(bytes.size())));
    GObjectPtr<GMimeDataWrapper> content(
        g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(part, content.get());
    g_mime_part_set_content_encoding(part, encoding);
    return part;
}

GMimePart* textPart(const QString& body) {
    const QString text = withCrLf(body);
    if (const std::optional<QByteArray> jis = encodeIso2022Jp(text)) {
        GMimePart* part = partWithContent("text", "plain", *jis, GMIME_CONTENT_ENCODING_7BIT);
        g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "charset", "ISO-2022-JP");
        return part;
    }
    GMimePart* part =
        partWithContent("text", "plain", text.toUtf8(), GMIME_CONTENT_ENCODING_BASE64);
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "charset", "UTF-8");
    return part;
}

std::optional<GMimePart*> attachmentPart(const QString& path, QString& error) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral(
                    "添付ファイルを読めないため、送信できません。ファイルがあるかを"
                    "確かめて、添付し直してください。\n%1 (%2)")
                    .arg(QDir::toNativeSeparators(path),
                         QFileInfo::exists(path) ? file.errorString()
                                                 : QStringLiteral("ファイルがありません"));
        return std::nullopt;
    }
    const QByteArray mimeName = QMimeDatabase().mimeTypeForFile(path).name().toLatin1();
    const qsizetype slash = mimeName.indexOf('/');
    const QByteArray type = slash > 0 ? mimeName.first(slash) : QByteArray("application");
    const QByteArray subtype = slash > 0 ? mimeName.sliced(slash + 1) : QByteArray("octet-stream");
    GMimePart* part = partWithContent(type.constData(), subtype.constData(), file.readAll(),
                                      GMIME_CONTENT_ENCODING_BASE64);
    g_mime_part_set_filename(part, QFileInfo(path).fileName().toUtf8().constData());
    return part;
}

}  // namespace

QStringList splitRecipients(const QString& list) {
    QStringList recipients;
    for (const QString& piece : list.split(u',')) {
        if (!piece.trimmed().isEmpty()) {
            recipients.append(piece.trimmed());
        }
    }
    return recipients;
}

QByteArray bareAddress(const QString& recipient) {
    const qsizetype open = recipient.lastIndexOf(u'<');
    const qsizetype close = recipient.lastIndexOf(u'>');
    const QString address =
        open >= 0 && close > open ? recipient.sliced(open + 1, close - open - 1) : recipient;
    return address.trimmed().toUtf8();
}

QStringList splitAttachmentPaths(const QString& list) {
    if (list.trimmed().isEmpty()) {
        return {};
    }
    if (QFileInfo(list.trimmed()).isFile()) {
        return {list.trimmed()};
    }
    QStringList paths;
    for (const QString& piece : list.split(u',')) {
        if (!piece.trimmed().isEmpty()) {
            paths.append(piece.trimmed());
        }
    }
    return paths;
}

std::optional<QByteArray> buildOutgoingMail(const OutgoingMail& mail, QString& error) {
    useGMime();
    GObjectPtr<GMimeMessage> message(g_mime_message_new(TRUE));
    GMimeObject* object = GMIME_OBJECT(message.get());
    const QByteArray sender = bareAddress(mail.from);
    g_mime_message_add_mailbox(message.get(), GMIME_ADDRESS_TYPE_FROM, nullptr, sender.constData());
    for (const QString& recipient : mail.to) {
        const qsizetype open = recipient.lastIndexOf(u'<');
        const QByteArray name = open > 0 ? recipient.first(open).trimmed().toUtf8() : QByteArray();
        g_mime_message_add_mailbox(message.get(), GMIME_ADDRESS_TYPE_TO,
                                   name.isEmpty() ? nullptr : name.constData(),
                                   bareAddress(recipient).constData());
    }
    setRawHeader(object, "Subject", encodedHeaderValue(mail.subject));
    GDateTime* now = g_date_time_new_now_local();
    g_mime_message_set_date(message.get(), now);
    g_date_time_unref(now);
    const qsizetype at = sender.lastIndexOf('@');
    const QByteArray domain = at >= 0 ? sender.sliced(at + 1) : QByteArray("localhost");
    char* messageId = g_mime_utils_generate_message_id(domain.constData());
    g_mime_message_set_message_id(message.get(), messageId);
    g_free(messageId);

    GObjectPtr<GMimePart> text(textPart(mail.body));
    if (mail.attachmentPaths.isEmpty()) {
        g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(text.get()));
    } else {
        GObjectPtr<GMimeMultipart> mixed(g_mime_multipart_new_with_subtype("mixed"));
        g_mime_multipart_add(mixed.get(), GMIME_OBJECT(text.get()));
        for (const QString& path : mail.attachmentPaths) {
            const std::optional<GMimePart*> part = attachmentPart(path, error);
            if (!part) {
                return std::nullopt;
            }
            const GObjectPtr<GMimePart> owned(*part);
            g_mime_multipart_add(mixed.get(), GMIME_OBJECT(owned.get()));
        }
        g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(mixed.get()));
    }

    GMimeFormatOptions* format = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(format, GMIME_NEWLINE_FORMAT_DOS);
    GObjectPtr<GMimeStream> out(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(object, format, out.get());
    g_mime_format_options_free(format);
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return QByteArray(reinterpret_cast<const char*>(bytes->data), bytes->len);
}
