#include "local_file_browser.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QStringDecoder>
#include <QTextBoundaryFinder>

#include "failure_detail.h"
#include "file_viewing.h"
#include "guard_texts.h"
#include "regular_file.h"

namespace {

// Finding where to break a line inside a word takes time that grows with the square of the
// word's length: one of a million letters holds the viewer for many minutes. Texts with a
// word longer than this are broken anywhere instead.
constexpr qsizetype kLongestWord = 1000;

bool hasLongWord(const QString& text) {
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    qsizetype last = 0;
    for (qsizetype at = breaks.toNextBoundary(); at >= 0; at = breaks.toNextBoundary()) {
        if (at - last > kLongestWord) {
            return true;
        }
        last = at;
    }
    return false;
}

QString paragraph(const QString& text) {
    return QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

// Shown in place of a page that is not loaded: what happened and what to do, then the
// detail.
QString refusalPage(QStringView what, const QString& detail) {
    return paragraph(what.toString()) + paragraph(detail);
}

// The bytes a data: URL carries ("data:[type][;base64],payload").
QByteArray dataUrlPayload(const QUrl& url) {
    const QByteArray path = url.path(QUrl::FullyEncoded).toLatin1();
    const qsizetype comma = path.indexOf(',');
    if (comma < 0) {
        return {};
    }
    const QByteArray payload = QByteArray::fromPercentEncoding(path.sliced(comma + 1));
    return path.first(comma).toLower().endsWith(";base64") ? QByteArray::fromBase64(payload)
                                                           : payload;
}

// Stands for a picture that is not shown. Never a null picture: for one of those the
// viewer would load the named file itself.
QImage refusedPicture() {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::lightGray);
    return image;
}

}  // namespace

QVariant LocalFileBrowser::loadResource(int type, const QUrl& name) {
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    if (type == QTextDocument::HtmlResource || type == QTextDocument::MarkdownResource) {
        budget_ = kPageBudget;
        return loadPage(url);
    }
    const std::optional<QByteArray> bytes = loadBytes(url);
    if (type == QTextDocument::ImageResource) {
        return bytes ? picture(*bytes) : refusedPicture();
    }
    // A refusal is an empty value, never a null one: on a null value the document would
    // read the file itself.
    return bytes ? *bytes : QByteArray();
}

QVariant LocalFileBrowser::loadPage(const QUrl& url) {
    if (!url.isLocalFile()) {
        return refusalPage(guard_text::kRemoteNotShown, url.toString());
    }
    const QString path = url.toLocalFile();
    RegularFile file(path);
    FileHead head;
    if (!file.isOpen() || !file.readHead(kShownTextLimit, head)) {
        return refusalPage(guard_text::kCannotView, fileAndReason(path, file.failure()));
    }
    budget_ -= head.bytes.size();
    if (!head.cut) {
        // Bytes: the browser decodes them after the page's own character set.
        return head.bytes;
    }
    QStringDecoder decoder = QStringDecoder::decoderForHtml(head.bytes);
    if (!decoder.isValid()) {
        decoder = QStringDecoder(QStringDecoder::Utf8);
    }
    return paragraph(cutNotice()) + QString(decoder(head.bytes));
}

std::optional<QByteArray> LocalFileBrowser::loadBytes(const QUrl& url) {
    if (budget_ <= 0) {
        return std::nullopt;
    }
    QByteArray bytes;
    if (url.scheme() == u"data") {
        bytes = dataUrlPayload(url);
    } else if (url.isLocalFile()) {
        RegularFile file(url.toLocalFile());
        FileHead head;
        if (!file.isOpen() || !file.readHead(qMin(kPictureLimit, budget_), head) || head.cut) {
            return std::nullopt;
        }
        bytes = head.bytes;
    } else {
        return std::nullopt;
    }
    if (bytes.size() > budget_) {
        return std::nullopt;
    }
    budget_ -= bytes.size();
    return bytes;
}

QVariant LocalFileBrowser::picture(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The header tells the size before anything is decoded.
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() * 4 > budget_) {
        return refusedPicture();
    }
    const QImage image = reader.read();
    if (image.isNull() || image.sizeInBytes() > budget_) {
        return refusedPicture();
    }
    budget_ -= image.sizeInBytes();
    return image;
}

void LocalFileBrowser::showPlainText(const QString& text) {
    // Emptied first: a change of mode lays out again what is shown.
    clear();
    setWordWrapMode(hasLongWord(text) ? QTextOption::WrapAnywhere
                                      : QTextOption::WrapAtWordBoundaryOrAnywhere);
    setPlainText(text);
}

void LocalFileBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    // A page's words are known only once it is parsed, and parsing lays it out at once.
    setWordWrapMode(QTextOption::WrapAnywhere);
    QTextBrowser::doSetSource(name, type);
    if (!hasLongWord(document()->toPlainText())) {
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    }
}
