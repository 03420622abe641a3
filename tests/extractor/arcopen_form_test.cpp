#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QScreen>
#include <QTest>
#include <QUrl>

#include <memory>

#include "extractor_fixtures.h"
#include "form1.h"
#include "next_modal.h"
#include "qt_desktop.h"
#include "scripted_desktop.h"
#include "temp_app_folder.h"

namespace {

std::unique_ptr<QMimeData> filesDrop(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    data->setUrls(urls);
    return data;
}

// Arcopen's folder with the module beside it, and a download folder to drop from.
class ArcopenForm : public ::testing::Test {
  protected:
    void SetUp() override {
        QFile::copy(QStringLiteral(LHA_MODULE_PATH),
                    arcopen_.file(QFileInfo(QStringLiteral(LHA_MODULE_PATH)).fileName()));
        QDir().mkpath(arcopen_.file(QStringLiteral("dl")));
        form_ = std::make_unique<Form1>(arcopen_.path(), desktop_);
        ASSERT_TRUE(form_->Form_Load());
        form_->show();
    }

    QString place(const QString& archive, const QString& name) {
        return placeArchive(arcopen_, testArchive(archive), QStringLiteral("dl/") + name);
    }
    QString dl(const QString& relative) const {
        return arcopen_.file(QStringLiteral("dl/") + relative);
    }

    TempAppFolder arcopen_;
    ScriptedDesktop desktop_;
    std::unique_ptr<Form1> form_;
};

}  // namespace

TEST(ArcopenWindow, IsOfFixedSizeAndFitsTheCharacterIntoThePictureWhenThereIsOne) {
    TempAppFolder folder;
    ScriptedDesktop desktop;
    {
        Form1 bare(folder.path(), desktop);
        EXPECT_EQ(bare.minimumSize(), bare.maximumSize());
        EXPECT_TRUE(bare.Image1->pixmap().isNull());
    }
    QImage wide(400, 200, QImage::Format_RGB32);
    wide.fill(Qt::yellow);
    wide.save(folder.file(QStringLiteral("arcopen.gif")), "PNG");
    Form1 form(folder.path(), desktop);
    ASSERT_FALSE(form.Image1->pixmap().isNull());
    EXPECT_EQ(form.Image1->pixmap().width(), form.Image1->width());
    EXPECT_EQ(form.Image1->pixmap().height(), form.Image1->width() / 2);
}

TEST(ArcopenWindow, EndsWithAMessageWhenTheModuleIsMissing) {
    TempAppFolder folder;
    ScriptedDesktop desktop;
    Form1 form(folder.path(), desktop);
    EXPECT_FALSE(form.Form_Load());
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].text, u"Unlha32.DLLが見つかりません!!");
    EXPECT_EQ(desktop.messages[0].title, u"Error");
    EXPECT_EQ(desktop.messages[0].icon, Desktop::Icon::Critical);
    EXPECT_EQ(desktop.messages[0].buttons, Desktop::Buttons::Ok);
}

// The box is the desktop's own, over the window that is already shown in the middle of the
// screen, not over a window still waiting for the window manager to place it.
TEST(ArcopenWindow, TheMissingModuleBoxStandsOverTheShownWindow) {
    TempAppFolder folder;
    QtDesktop desktop;
    Form1 form(folder.path(), desktop);
    bool shownUnder = false;
    QWidget* owner = nullptr;
    QPoint boxCentre;
    whenModalShows([&](QWidget* box) {
        shownUnder = form.isVisible();
        owner = box->parentWidget();
        boxCentre = box->frameGeometry().center();
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_FALSE(form.Form_Load());
    EXPECT_TRUE(shownUnder);
    EXPECT_EQ(owner, &form);
    // Within a frame's width of the middle.
    EXPECT_LE((form.frameGeometry().center() - form.screen()->availableGeometry().center())
                  .manhattanLength(),
              8);
    EXPECT_TRUE(form.frameGeometry().contains(boxCentre)) << boxCentre.x() << "," << boxCentre.y();
}

TEST_F(ArcopenForm, ExtractsEachDroppedArchiveBesideItAndCloses) {
    const QString file = place(QStringLiteral("stored_level0.lzh"), QStringLiteral("file.lzh"));
    const QString dotted = place(QStringLiteral("sjis_names.lzh"), QStringLiteral("a.b.lzh"));
    form_->Image1_OLEDragDrop(*filesDrop({file, dotted}));
    EXPECT_TRUE(desktop_.messages.isEmpty());
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(treeOf(dl(QStringLiteral("file"))),
              (QStringList{"readme.txt", "sub/", "sub/deeper/", "sub/deeper/inner.txt"}));
    EXPECT_EQ(treeOf(dl(QStringLiteral("a.b"))), (QStringList{"漢字.txt", "表/", "表/ソ.txt"}));
}

TEST_F(ArcopenForm, ReportsEveryFailedArchiveAndStaysOpen) {
    const QString bad = place(QStringLiteral("not_an_archive.lzh"), QStringLiteral("bad.lzh"));
    const QString good = place(QStringLiteral("lh5_level2.lzh"), QStringLiteral("good.lzh"));
    const QString hostile = place(QStringLiteral("hostile_parent.lzh"), QStringLiteral("evil.lzh"));
    form_->Label1_OLEDragDrop(*filesDrop({bad, good, hostile}));
    ASSERT_EQ(desktop_.messages.size(), 1);
    // Per failed archive: what happened and what to do after its path, then the code.
    EXPECT_EQ(desktop_.messages[0].text,
              QStringLiteral("「%1」LHA形式（.lzh）の書庫ではありません。ほかの形式の書庫は、"
                             "その形式に合ったソフトで開いてください。\n"
                             "解凍に失敗しました。Error Code:0x3\n"
                             "「%2」解凍先のフォルダの外へ書き出そうとする名前が書庫にあったため、"
                             "何も解凍しませんでした。危険な書庫のおそれがあります。"
                             "送り主に確かめてください。\n"
                             "解凍に失敗しました。Error Code:0x7")
                  .arg(bad, hostile));
    EXPECT_EQ(desktop_.messages[0].title, u"Failed");
    EXPECT_EQ(desktop_.messages[0].icon, Desktop::Icon::Critical);
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(form_->Label2->text(), u"");
    EXPECT_TRUE(QFile::exists(dl(QStringLiteral("good/story.txt"))));
    EXPECT_FALSE(QFile::exists(dl(QStringLiteral("escaped.txt"))));
    EXPECT_FALSE(QFile::exists(arcopen_.file(QStringLiteral("escaped.txt"))));
}

TEST_F(ArcopenForm, OneFailedArchiveGetsThePlainFailureText) {
    const QString bad = place(QStringLiteral("unsupported_method.lzh"), QStringLiteral("old.lzh"));
    form_->Form_OLEDragDrop(*filesDrop({bad}));
    EXPECT_EQ(desktop_.messageTexts(),
              QStringList{u"この書庫は対応していない圧縮方式で作られています。送り主に -lh5- "
                          u"などの方式で作り直してもらってください。\n"
                          u"解凍に失敗しました。Error Code:0x5"_qs});
    EXPECT_TRUE(form_->isVisible());
}

TEST_F(ArcopenForm, PathsBeyondCodePage932AreExtracted) {
    QDir().mkpath(dl(QStringLiteral("文件\U0001F600")));
    const QString file = place(QStringLiteral("stored_level0.lzh"),
                               QStringLiteral("文件\U0001F600/测试\U0001F600.lzh"));
    form_->Form_OLEDragDrop(*filesDrop({file}));
    EXPECT_TRUE(desktop_.messages.isEmpty());
    EXPECT_TRUE(QFile::exists(dl(QStringLiteral("文件\U0001F600/测试\U0001F600/readme.txt"))));
}

TEST_F(ArcopenForm, AFailedArchiveLeavesNoFolderBehind) {
    const QString bad = place(QStringLiteral("unsupported_method.lzh"), QStringLiteral("old.lzh"));
    form_->Form_OLEDragDrop(*filesDrop({bad}));
    EXPECT_EQ(desktop_.messages.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(dl(QStringLiteral("old"))));
}

TEST_F(ArcopenForm, EmptyArchivesOfNoBytesOrJustTheEndMarkAreOneOutcome) {
    const QString marked = place(QStringLiteral("empty.lzh"), QStringLiteral("marked.lzh"));
    arcopen_.write(QStringLiteral("dl/zero.lzh"), QByteArray());
    form_->Form_OLEDragDrop(*filesDrop({marked, dl(QStringLiteral("zero.lzh"))}));
    EXPECT_TRUE(desktop_.messages.isEmpty());
    EXPECT_FALSE(form_->isVisible());
    EXPECT_TRUE(QFileInfo(dl(QStringLiteral("marked"))).isDir());
    EXPECT_TRUE(QFileInfo(dl(QStringLiteral("zero"))).isDir());
}

TEST_F(ArcopenForm, ADropWithoutFilesDoesNothing) {
    QMimeData text;
    text.setText(QStringLiteral("file.lzh"));
    form_->Form_OLEDragDrop(text);
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.com/file.lzh"))});
    form_->Image1_OLEDragDrop(web);
    EXPECT_TRUE(desktop_.messages.isEmpty());
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(form_->Label2->text(), u"  ");
}

TEST_F(ArcopenForm, TheFormThePictureAndTheInstructionTakeDrops) {
    EXPECT_TRUE(form_->acceptDrops() && form_->Image1->acceptDrops());
    const QString file = place(QStringLiteral("lh5_level1.lzh"), QStringLiteral("file.lzh"));
    const std::unique_ptr<QMimeData> data = filesDrop({file});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(form_->Label1, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form_->Label1, &drop);
    EXPECT_TRUE(QFile::exists(dl(QStringLiteral("file/docs/notes/todo.txt"))));
    EXPECT_FALSE(form_->isVisible());
}

TEST_F(ArcopenForm, AnArchiveNamedWithoutADotCannotBecomeItsOwnFolder) {
    const QString file = place(QStringLiteral("stored_level0.lzh"), QStringLiteral("nodot"));
    form_->Form_OLEDragDrop(*filesDrop({file}));
    ASSERT_EQ(desktop_.messages.size(), 1);
    const QStringList lines = desktop_.messages[0].text.split(u'\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].contains(u"同じ名前のファイルがないか"));
    EXPECT_EQ(lines[1], u"解凍に失敗しました。Error Code:0x6");
    // The folder that could not be made is named.
    EXPECT_EQ(lines[2], file);
    // The archive itself is left as it was.
    EXPECT_EQ(QFileInfo(file).size(),
              QFileInfo(testArchive(QStringLiteral("stored_level0.lzh"))).size());
}

TEST_F(ArcopenForm, ArchivesNamedDotsAloneAreRefusedAndTheRestExtracted) {
    arcopen_.write(QStringLiteral("dl/readme.txt"), "mine");
    arcopen_.write(QStringLiteral("readme.txt"), "mine");
    const QStringList hostile = {
        place(QStringLiteral("stored_level0.lzh"), QStringLiteral(".lzh")),
        place(QStringLiteral("stored_level0.lzh"), QStringLiteral("..lzh")),
        place(QStringLiteral("stored_level0.lzh"), QStringLiteral("...lzh"))};
    const QString good = place(QStringLiteral("lh5_level1.lzh"), QStringLiteral("good.lzh"));
    const std::unique_ptr<QMimeData> data = filesDrop(hostile + QStringList{good});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(form_->Image1, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form_->Image1, &drop);

    const QString refused = QStringLiteral(
        "「%1」書庫の名前からは解凍先のフォルダを作れないため、解凍しませんでした。書庫の名前を"
        "「書庫.lzh」のように変えてから、もう一度ドロップしてください。\n解凍先: %2");
    ASSERT_EQ(desktop_.messages.size(), 1);
    EXPECT_EQ(desktop_.messages[0].text,
              QStringList({refused.arg(hostile[0], dl({})), refused.arg(hostile[1], dl(u"."_qs)),
                           refused.arg(hostile[2], dl(u".."_qs))})
                  .join(u'\n'));
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(arcopen_.read(QStringLiteral("dl/readme.txt")), "mine");
    EXPECT_EQ(arcopen_.read(QStringLiteral("readme.txt")), "mine");
    EXPECT_FALSE(QFile::exists(dl(QStringLiteral("sub"))));
    EXPECT_TRUE(QFile::exists(dl(QStringLiteral("good/story.txt"))));

    // Alone, the refusal is the two lines without the path before them.
    desktop_.messages.clear();
    form_->Form_OLEDragDrop(*filesDrop({hostile[2]}));
    EXPECT_EQ(desktop_.messageTexts(),
              QStringList{refused.arg(hostile[2], dl(u".."_qs)).sliced(hostile[2].size() + 2)});
}

TEST_F(ArcopenForm, ATargetThatIsALinkIsRefusedByTheModule) {
    QDir().mkpath(arcopen_.file(QStringLiteral("elsewhere")));
    QFile::link(arcopen_.file(QStringLiteral("elsewhere")), dl(QStringLiteral("file")));
    form_->Form_OLEDragDrop(
        *filesDrop({place(QStringLiteral("stored_level0.lzh"), QStringLiteral("file.lzh"))}));
    EXPECT_EQ(
        desktop_.messageTexts(),
        QStringList{u"解凍先のフォルダが、書庫と同じフォルダにある自分のフォルダではないため、"
                    u"何も解凍しませんでした。同じ名前のリンクやほかの人のフォルダがあれば、"
                    u"書庫の名前を変えてからもう一度ドロップしてください。\n"
                    u"解凍に失敗しました。Error Code:0x8"_qs});
    EXPECT_TRUE(treeOf(arcopen_.file(QStringLiteral("elsewhere"))).isEmpty());
}
