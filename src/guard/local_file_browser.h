#pragma once

#include <QByteArray>
#include <QTextBrowser>
#include <QUrl>
#include <QVariant>

#include <optional>

// The embedded viewer of pages and text. A page and what it names (pictures, style sheets,
// linked pages) are loaded only from regular local files or from the page itself (data:
// URLs): nothing from the network, no FIFO, device or endless file, each below a size
// limit, and no more per page, read or decoded, than a budget, so a hostile page can
// neither stall the window nor exhaust its memory. A text with a word too long to lay out
// in good time is broken anywhere.
class LocalFileBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    // All that one page may load: its own text, the files it names and its decoded pictures.
    static constexpr qint64 kPageBudget = qint64(256) << 20;

    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override;
    // Shows `text` as it is, laid out without stalling on very long words.
    void showPlainText(const QString& text);

  protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

  private:
    QVariant loadPage(const QUrl& url);
    std::optional<QByteArray> loadBytes(const QUrl& url);
    QVariant picture(const QByteArray& bytes);

    qint64 budget_ = kPageBudget;
};
