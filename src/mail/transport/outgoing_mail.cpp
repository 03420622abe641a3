#include "transport/gmime_support.h"

#include "transport/outgoing_mail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

#include "transport/mail_charset.h"
#include "transport/outgoing_words.h"

namespace {

// The longest line, without its CR LF, that a part may carry unencoded (RFC 5322 2.1.1).
constexpr qsizetype kLineBytes = 998;

QString withCrLf(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\r', u'\n');
    lines.replace(u'\n', QStringLiteral("\r\n"));
    return lines;
}

bool linesFit(QByteArrayView bytes) {
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end;
        if (end - start - (end > start && bytes[end - 1] == '\r' ? 1 : 0) > kLineBytes) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

// A header value as it goes: the text itself when plain, else encoded words.
QByteArray headerValue(const QString& text, qsizetype used) {
    if (isPlainHeaderText(text)) {
        return ' ' + text.toLatin1() + '\n';
    }
    return foldedValue(encodedWords(text), used);
}

void setRawHeader(GMimeObject* object, const char* name, const QByteArray& rawValue) {
    GMimeHeaderList* headers = g_mime_object_get_header_list(object);
    g_mime_header_list_set(headers, name, "", nullptr);
    g_mime_header_set_raw_value(g_mime_header_list_get_header(headers, name), rawValue.constData());
}

// The To value: each display name quoted or encoded as it needs, the lists' commas
// between mailboxes only.
QByteArray toValue(const QStringList& recipients) {
    QByteArrayList tokens;
    for (qsizetype i = 0; i < recipients.size(); ++i) {
        const QString name = displayNameOf(recipients[i]);
        const QByteArray address = bareAddress(recipients[i]);
        if (name.isEmpty() || isPlainHeaderText(name)) {
            tokens.append(mailboxText(name, QString::fromUtf8(address)).toUtf8());
        } else {
            tokens.append(encodedWords(name));
            tokens.append('<' + address + '>');
        }
        if (i + 1 < recipients.size()) {
            tokens.last() += ',';
        }
    }
    return foldedValue(tokens, 3);
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

// ISO-2022-JP goes as 7bit, what Japanese readers expect, while every line fits; a longer
// line goes in base64, which every reader decodes and no server refuses. Text beyond
// ISO-2022-JP goes as UTF-8 in base64.
GMimePart* textPart(const QString& body) {
    const QString text = withCrLf(body);
    if (const std::optional<QByteArray> jis = encodeIso2022Jp(text)) {
        GMimePart* part = partWithContent(
            "text", "plain", *jis,
            linesFit(*jis) ? GMIME_CONTENT_ENCODING_7BIT : GMIME_CONTENT_ENCODING_BASE64);
        g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "charset", "ISO-2022-JP");
        return part;
    }
    GMimePart* part =
        partWithContent("text", "plain", text.toUtf8(), GMIME_CONTENT_ENCODING_BASE64);
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "charset", "UTF-8");
    return part;
}

// The name in RFC 2231 (UTF-8) for current readers; older ones read the RFC 2047 form of
// Content-Type's name parameter.
void nameAttachment(GMimePart* part, const QByteArray& mimeType, const QByteArray& charset,
                    const QString& fileName) {
    QByteArray type = ' ' + mimeType;
    if (!charset.isEmpty()) {
        type += "; charset=" + charset;
    }
    type += ";\n name=";
    type += isPlainHeaderText(fileName) ? quotedString(fileName)
                                        : '"' + encodedWords(fileName).join("\n ") + '"';
    setRawHeader(GMIME_OBJECT(part), "Content-Type", type + '\n');

    QByteArray disposition = " attachment";
    if (isPlainHeaderText(fileName)) {
        disposition += ";\n filename=" + quotedString(fileName);
    } else {
        const QByteArrayList pieces = rfc2231Pieces(fileName);
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            disposition += ";\n filename*" +
                           (pieces.size() > 1 ? QByteArray::number(i) + '*' : QByteArray()) + '=' +
                           pieces[i];
        }
    }
    setRawHeader(GMIME_OBJECT(part), "Content-Disposition", disposition + '\n');
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
    const QByteArray content = file.readAll();
    const QByteArray mimeName = QMimeDatabase().mimeTypeForFile(path).name().toLatin1();
    const qsizetype slash = mimeName.indexOf('/');
    const QByteArray type = slash > 0 ? mimeName.first(slash) : QByteArray("application");
    const QByteArray subtype = slash > 0 ? mimeName.sliced(slash + 1) : QByteArray("octet-stream");
    GMimePart* part = partWithContent(type.constData(), subtype.constData(), content,
                                      GMIME_CONTENT_ENCODING_BASE64);
    nameAttachment(part, type + '/' + subtype,
                   type == "text" ? unlabelledTextCharset(content) : QByteArray(),
                   QFileInfo(path).fileName());
    return part;
}

}  // namespace

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
    setRawHeader(object, "To", toValue(mail.to));
    setRawHeader(object, "Subject", headerValue(mail.subject, 8));
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
