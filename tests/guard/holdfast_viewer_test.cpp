#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTcpServer>
#include <QTest>
#include <QTextCursor>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_viewing.h"
#include "guard_fixture.h"
#include "guard_texts.h"

using namespace guard_text;
using namespace std::chrono_literals;

namespace {

// Opens the other end of a FIFO whenever something waits on it, so that a reader that
// blocks is released (and seen) instead of hanging the test.
class FifoRescue {
  public:
    explicit FifoRescue(const QString& path) : path_(QFile::encodeName(path)) {
        ::mkfifo(path_.constData(), 0600);
        thread_ = std::thread([this] {
            while (!stop_) {
                const int fd = ::open(path_.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ::close(fd);
                    rescued_ = true;
                }
                std::this_thread::sleep_for(10ms);
            }
        });
    }
    ~FifoRescue() {
        stop_ = true;
        thread_.join();
    }
    bool rescued() const { return rescued_; }

  private:
    QByteArray path_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> rescued_{false};
    std::thread thread_;
};

QByteArray png(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

class HoldfastViewer : public GuardTest {
  protected:
    HoldfastViewer() { form.show(); }
    // Clicks `name` in the file list with the mouse.
    void clickFile(const QString& name) {
        form.File1->setPath(app.attachmentFolder());
        const auto items = form.File1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        QTest::mouseClick(form.File1->viewport(), Qt::LeftButton, {},
                          form.File1->visualItemRect(items.first()).center());
    }
    // Clicks the link whose text is `label` in the viewer.
    void clickLink(const QString& label) {
        QTextCursor cursor = form.WebBrowser1->document()->find(label);
        ASSERT_FALSE(cursor.isNull()) << label.toStdString();
        cursor.setPosition(cursor.selectionStart() + 1);
        QTest::mouseClick(form.WebBrowser1->viewport(), Qt::LeftButton, {},
                          form.WebBrowser1->cursorRect(cursor).center());
    }
    // The picture the shown page got for `src`, once laid out.
    QImage pictureFor(const QString& src) {
        form.WebBrowser1->document()->size();
        return form.WebBrowser1->document()
            ->resource(QTextDocument::ImageResource, QUrl(src))
            .value<QImage>();
    }
    void link(const QString& target, const QString& name) const {
        QFile::link(target, attachment(name));
    }
    QString shown() const { return form.WebBrowser1->toPlainText(); }
};

}  // namespace

TEST_F(HoldfastViewer, APageGetsOnlyRegularLocalFilesAndWhatItHoldsItself) {
    const FifoRescue fifo(attachment(QStringLiteral("pipe")));
    QTcpServer web;
    ASSERT_TRUE(web.listen(QHostAddress::LocalHost));
    const QString remote = QStringLiteral("http://127.0.0.1:%1/x.png").arg(web.serverPort());
    QDir(app.attachmentFolder()).mkdir(QStringLiteral("folder"));
    attach(QStringLiteral("ok.png"), png(40, 30));
    const QString inPage = QStringLiteral("data:image/png;base64,") + png(20, 10).toBase64();
    const QStringList refused = {QStringLiteral("/dev/zero"), QStringLiteral("file:///dev/zero"),
                                 QStringLiteral("pipe"),      attachment(QStringLiteral("pipe")),
                                 QStringLiteral("folder"),    remote};
    QByteArray page =
        "<p><a href=\"pipe\">pipeline</a> <a href=\"" + remote.toUtf8() + "\">website</a></p>";
    for (const QString& src : refused + QStringList{QStringLiteral("ok.png"), inPage}) {
        page += "<img src=\"" + src.toUtf8() + "\">";
    }
    attach(QStringLiteral("page.html"), page);
    clickFile(QStringLiteral("page.html"));

    EXPECT_EQ(pictureFor(QStringLiteral("ok.png")).size(), QSize(40, 30));
    EXPECT_EQ(pictureFor(inPage).size(), QSize(20, 10));
    for (const QString& src : refused) {
        EXPECT_EQ(pictureFor(src).size(), QSize(16, 16)) << src.toStdString();
    }
    // A followed link shows why its page is not shown instead.
    clickLink(QStringLiteral("pipeline"));
    EXPECT_EQ(shown(), kCannotView.toString() + QStringLiteral("\n") +
                           attachment(QStringLiteral("pipe")) +
                           QStringLiteral(" (名前付きパイプ (FIFO))"));
    clickFile(QStringLiteral("page.html"));
    clickLink(QStringLiteral("website"));
    EXPECT_EQ(shown(), kRemoteNotShown.toString() + QStringLiteral("\n") + remote);
    EXPECT_FALSE(fifo.rescued());
    EXPECT_FALSE(web.waitForNewConnection(100));
}

TEST_F(HoldfastViewer, AChosenFileThatIsNotRegularIsRefusedWithTheReason) {
    const FifoRescue fifo(app.file(QStringLiteral("fifo")));
    struct Case {
        const char16_t* name;
        QString target;
        const char16_t* reason;
    };
    const Case cases[] = {
        {u"zero.jpg", QStringLiteral("/dev/zero"), u"デバイス"},
        {u"pipe.html", app.file(QStringLiteral("fifo")), u"名前付きパイプ (FIFO)"},
        {u"pipe.txt", app.file(QStringLiteral("fifo")), u"名前付きパイプ (FIFO)"},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromUtf16(c.name);
        SCOPED_TRACE(name.toStdString());
        link(c.target, name);
        clickFile(name);
        EXPECT_EQ(lastMessage(), kCannotView.toString() + QStringLiteral("\n") + attachment(name) +
                                     QStringLiteral(" (%1)").arg(QString::fromUtf16(c.reason)));
        EXPECT_EQ(desktop.messages.last().icon, Desktop::Icon::Critical);
    }
    EXPECT_FALSE(fifo.rescued());
    EXPECT_TRUE(desktop.choiceTexts.isEmpty());
    EXPECT_TRUE(form.Image1->pixmap().isNull());
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(HoldfastViewer, LongTextsAndPagesShowTheirBeginningUnderANote) {
    // Three-byte characters: the limit falls inside one, which must not turn the text into
    // code page 932. A text or page of one endless word is laid out in good time too.
    const QByteArray a = QStringLiteral("あ").toUtf8();
    const qsizetype whole = kShownTextLimit / a.size();
    attach(QStringLiteral("fits.txt"), QByteArray(kShownTextLimit, 'x'));
    attach(QStringLiteral("long.txt"), a.repeated(whole + 1));
    attach(QStringLiteral("huge.txt"), a.repeated(kPictureLimit / a.size() + 1));
    attach(QStringLiteral("long.html"),
           "<p>start</p><p>" + QByteArray(kShownTextLimit, 'x') + "</p><p>END</p>");
    link(QStringLiteral("/proc/self/status"), QStringLiteral("status.txt"));

    QElapsedTimer timer;
    timer.start();
    clickFile(QStringLiteral("fits.txt"));
    EXPECT_EQ(shown(), QString(kShownTextLimit, u'x'));
    for (const char* name : {"long.txt", "huge.txt"}) {
        SCOPED_TRACE(name);
        clickFile(QString::fromLatin1(name));
        EXPECT_EQ(shown(), cutNotice() + QStringLiteral("\n\n") + QString(whole, u'あ'));
    }
    clickFile(QStringLiteral("long.html"));
    EXPECT_TRUE(shown().startsWith(cutNotice() + QStringLiteral("\nstart\n")));
    EXPECT_FALSE(shown().contains(QStringLiteral("END")));
    EXPECT_LT(timer.elapsed(), 30000);
    // A file of /proc has the size 0 and still its content.
    clickFile(QStringLiteral("status.txt"));
    EXPECT_TRUE(shown().startsWith(QStringLiteral("Name:"))) << shown().left(40).toStdString();
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(HoldfastViewer, ManyNamesForOnePictureStayWithinThePageBudget) {
    const int side = 2048;
    const qint64 decoded = qint64(side) * side * 4;
    const int names = 2 * static_cast<int>(LocalFileBrowser::kPageBudget / decoded);
    attach(QStringLiteral("big.png"), png(side, side));
    QByteArray page;
    for (int i = 0; i < names; ++i) {
        page += "<img src=\"big.png?" + QByteArray::number(i) + "\">";
    }
    attach(QStringLiteral("many.html"), page);
    clickFile(QStringLiteral("many.html"));
    int loaded = 0;
    for (int i = 0; i < names; ++i) {
        loaded += pictureFor(QStringLiteral("big.png?%1").arg(i)).width() == side ? 1 : 0;
    }
    EXPECT_GT(loaded, 0);
    EXPECT_LE(loaded * decoded, LocalFileBrowser::kPageBudget);
}
