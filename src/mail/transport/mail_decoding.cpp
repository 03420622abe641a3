#include "transport/gmime_support.h"

#include "transport/mail_decoding.h"

#include <QMimeDatabase>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include "cp932.h"
#include "transport/header_params.h"
#include "transport/header_text.h"
#include "transport/mail_charset.h"
#include "transport/mail_date.h"
#include "transport/uuencoded_blocks.h"

namespace {

// Text as the buffers hand it on: no NUL, which would cut everything after it, and
// CR LF line ends.
QString finishedText(QString text) {
    text.remove(QChar(u'\0'));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

QString rawText(QByteArrayView bytes) {
    QString text = decodeCp932(bytes);
    text.replace(QChar(u'\0'), QChar(u' '));
    return text;
}

// Where a link leads, for a reader of plain text: nothing for a jump within the page or a
// script, and nothing when the text already says it.
QString linkTarget(const QString& href, const QString& shown) {
    const QString target = href.trimmed();
    if (target.isEmpty() || target.startsWith(u'#') ||
        target.startsWith(QStringLiteral("javascript:"), Qt::CaseInsensitive)) {
        return {};
    }
    const QString said = shown.trimmed();
    if (said == target || QStringLiteral("mailto:") + said == target) {
        return {};
    }
    return target;
}

// A document that never loads what a mail's HTML names: a hostile mail can point at any
// local file.
class TextOnlyDocument : public QTextDocument {
  protected:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

// The text of an HTML part with each link's address after it ("お店のページ <https://…>"),
// which plain text would otherwise lose.
QString htmlToText(const QString& html) {
    TextOnlyDocument document;
    document.setHtml(html);
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            text += u'\n';
        }
        QString anchorText;
        QString anchorHref;
        const auto endAnchor = [&] {
            if (const QString target = linkTarget(anchorHref, anchorText); !target.isEmpty()) {
                text += QStringLiteral(" <") + target + u'>';
            }
            anchorText.clear();
            anchorHref.clear();
        };
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QString href = format.isAnchor() ? format.anchorHref() : QString();
            if (href != anchorHref) {
                endAnchor();
                anchorHref = href;
            }
            QString piece = fragment.text();
            piece.remove(QChar::ObjectReplacementCharacter);
            text += piece;
            anchorText += piece;
        }
        endAnchor();
    }
    text.replace(QChar(0x00A0), QChar(u' '));
    text.replace(QChar(QChar::LineSeparator), QChar(u'\n'));
    text.replace(QChar(QChar::ParagraphSeparator), QChar(u'\n'));
    return text;
}

ParameterField rawField(GMimeObject* object, const char* name) {
    GMimeHeader* header =
        g_mime_header_list_get_header(g_mime_object_get_header_list(object), name);
    const char* raw = header ? g_mime_header_get_raw_value(header) : nullptr;
    return parseParameterField(raw ? QByteArrayView(raw) : QByteArrayView());
}

QByteArray decodedContent(GMimePart* part) {
    GMimeDataWrapper* wrapper = g_mime_part_get_content(part);
    if (!wrapper) {
        return {};
    }
    GObjectPtr<GMimeStream> out(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(wrapper, out.get());
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return QByteArray(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

QByteArray serialized(GMimeObject* object) {
    char* text = g_mime_object_to_string(object, nullptr);
    QByteArray bytes(text);
    g_free(text);
    return bytes;
}

QString unnamedAttachmentName(const QByteArray& mediaType) {
    const QString suffix =
        QMimeDatabase().mimeTypeForName(QString::fromLatin1(mediaType)).preferredSuffix();
    return suffix.isEmpty() ? QStringLiteral("attachment") : QStringLiteral("attachment.") + suffix;
}

// Walks the MIME tree in order, keeping the first plain and HTML texts and every part
// that is meant as a file.
class PartWalk {
  public:
    QString plain;
    QString html;
    QList<MailAttachment> attachments;

    void visit(GMimeObject* object) {
        if (GMIME_IS_MULTIPART(object)) {
            GMimeMultipart* multipart = GMIME_MULTIPART(object);
            for (int i = 0; i < g_mime_multipart_get_count(multipart); ++i) {
                visit(g_mime_multipart_get_part(multipart, i));
            }
            return;
        }
        const ParameterField type = rawField(object, "Content-Type");
        const ParameterField disposition = rawField(object, "Content-Disposition");
        QString name = disposition.parameter("filename");
        if (name.isEmpty()) {
            name = type.parameter("name");
        }
        const bool isFile = !name.isEmpty() || disposition.value == "attachment";
        if (GMIME_IS_MESSAGE_PART(object)) {
            GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
            if (!inner) {
                return;
            }
            if (isFile) {
                attachments.append({name.isEmpty() ? QStringLiteral("message.eml") : name,
                                    serialized(GMIME_OBJECT(inner))});
            } else if (GMimeObject* innerPart = g_mime_message_get_mime_part(inner)) {
                visit(innerPart);
            }
            return;
        }
        if (!GMIME_IS_PART(object)) {
            return;
        }
        const QByteArray content = decodedContent(GMIME_PART(object));
        if (isFile) {
            attachments.append(
                {name.isEmpty() ? unnamedAttachmentName(type.value) : name, content});
            return;
        }
        GMimeContentType* contentType = g_mime_object_get_content_type(object);
        const QByteArray charset = type.parameter("charset").toLatin1();
        if (g_mime_content_type_is_type(contentType, "text", "plain") && plain.isNull()) {
            plain = decodeMailText(content, charset);
        } else if (g_mime_content_type_is_type(contentType, "text", "html") && html.isNull()) {
            html = decodeMailText(content, charset);
        }
    }
};

}  // namespace

QString rawBodyText(QByteArrayView mail) {
    return rawText(bodyAfterHeader(mail));
}

DecodedMail decodeMail(QByteArrayView mail) {
    useGMime();
    DecodedMail decoded;
    const QByteArray header = headerBlock(mail);
    decoded.summary.subject = finishedText(decodeHeaderText(headerField(header, "Subject")));
    decoded.summary.date = finishedText(localMailDate(headerField(header, "Date")));
    decoded.summary.from = finishedText(decodeSender(headerField(header, "From")));
    // GMime refuses a null buffer, which an empty view may hold.
    GObjectPtr<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(
        mail.isEmpty() ? "" : mail.data(), static_cast<size_t>(mail.size())));
    GObjectPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    GObjectPtr<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
    GMimeObject* top = message ? g_mime_message_get_mime_part(message.get()) : nullptr;
    if (!top) {
        decoded.summary.body = finishedText(decodeUnlabelledText(bodyAfterHeader(mail)));
        return decoded;
    }
    if (GMIME_IS_MESSAGE_PARTIAL(top)) {
        GMimeMessagePartial* partial = GMIME_MESSAGE_PARTIAL(top);
        const char* id = g_mime_message_partial_get_id(partial);
        decoded.partial =
            PartialMailInfo{QByteArray(id ? id : ""), g_mime_message_partial_get_number(partial),
                            std::max(0, g_mime_message_partial_get_total(partial))};
        decoded.summary.body.clear();
        return decoded;
    }
    PartWalk walk;
    walk.visit(top);
    const QString text = !walk.plain.isNull() ? walk.plain : htmlToText(walk.html);
    UuencodedExtraction uuencoded = extractUuencoded(text);
    decoded.attachments = walk.attachments + uuencoded.files;
    decoded.summary.body = finishedText(uuencoded.text);
    return decoded;
}
