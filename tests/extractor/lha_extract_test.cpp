#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <clocale>
#include <string>

#include <unistd.h>

#include "extractor_fixtures.h"
#include "run_unlha.h"
#include "temp_app_folder.h"
#include "unlha_result.h"

namespace {

class LhaExtract : public ::testing::Test {
  protected:
    // Extracts `source` (copied into the temporary folder) into "out"; the result code.
    qint32 extract(const QString& source, const QString& switches = QStringLiteral("-d1 -y1")) {
        const QString archive = placeArchive(folder_, source, QStringLiteral("archive.lzh"));
        outcome_ = runUnlha(extractCommand(archive, target(), switches));
        return outcome_.code;
    }
    // Extracts `source` into an emptied "out", expecting success; what came out.
    QStringList extractAfresh(const QString& source) {
        QDir(target()).removeRecursively();
        EXPECT_EQ(extract(source), kUnlhaSuccess) << outcome_.detail.toStdString();
        return tree();
    }
    QString target() const { return folder_.file(QStringLiteral("out")); }
    QByteArray read(const QString& relative) const {
        return folder_.read(QStringLiteral("out/") + relative);
    }
    QStringList tree() const { return treeOf(target()); }

    TempAppFolder folder_;
    UnlhaOutcome outcome_{kUnlhaSuccess, {}};
};

QByteArray sha256(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

const QStringList kStoredTree = {QStringLiteral("readme.txt"), QStringLiteral("sub/"),
                                 QStringLiteral("sub/deeper/"),
                                 QStringLiteral("sub/deeper/inner.txt")};

}  // namespace

TEST_F(LhaExtract, StoredEntriesOfEveryHeaderLevelComeOutWithTheirFolders) {
    for (const char* level : {"0", "1"}) {
        SCOPED_TRACE(level);
        EXPECT_EQ(extractAfresh(testArchive(QStringLiteral("stored_level%1.lzh").arg(level))),
                  kStoredTree);
        EXPECT_EQ(read(QStringLiteral("readme.txt")), "hello from the archive\r\n");
        EXPECT_EQ(read(QStringLiteral("sub/deeper/inner.txt")), "inner file\r\n");
    }
    EXPECT_EQ(extractAfresh(testArchive(QStringLiteral("stored_level2.lzh"))),
              QStringList{QStringLiteral("empty/")} + kStoredTree);
    // The entry's time is kept: 2001-02-03 04:05:06 UTC.
    EXPECT_EQ(QFileInfo(target() + QStringLiteral("/readme.txt")).lastModified().toSecsSinceEpoch(),
              981173106);
}

TEST_F(LhaExtract, CompressedEntriesOfEveryHeaderLevelAndMethodDecode) {
    for (const char* level : {"0", "1", "2"}) {
        SCOPED_TRACE(level);
        EXPECT_EQ(extractAfresh(testArchive(QStringLiteral("lh5_level%1.lzh").arg(level))),
                  (QStringList{"docs/", "docs/notes/", "docs/notes/todo.txt", "story.txt"}));
        EXPECT_EQ(read(QStringLiteral("docs/notes/todo.txt")),
                  QByteArray("buy milk\n").repeated(50));
        const QByteArray story = read(QStringLiteral("story.txt"));
        EXPECT_EQ(story.size(), 21490);
        EXPECT_TRUE(story.startsWith("line 0: the quick brown fox"));
    }
    // libarchive's samples: -lh5- at header levels 0 to 3, -lh6-, -lh7-, junk after the end.
    for (const char* sample :
         {"header0", "header1", "header2", "header3", "lh6", "lh7", "withjunk"}) {
        SCOPED_TRACE(sample);
        // Links are never made: dir2's two links stay out.
        EXPECT_EQ(
            extractAfresh(peerArchive(QStringLiteral("test_read_format_lha_%1.lzh").arg(sample))),
            (QStringList{"dir/", "dir2/", "file1", "file2"}));
        EXPECT_EQ(sha256(read(QStringLiteral("file1"))),
                  "d0c504f06bbd64d183524eb35e5482ee5d966d456b905a24147165b2904d301b");
        EXPECT_EQ(sha256(read(QStringLiteral("file2"))),
                  "60f47caf717b06cf21b3bbb7775e49269a1b5cd6b94bba62da29a2ecb048ccf2");
    }
}

TEST_F(LhaExtract, JapaneseNamesComeOutRightWhateverTheProcessLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    for (const char* locale : {previous.c_str(), "C"}) {
        SCOPED_TRACE(locale);
        std::setlocale(LC_ALL, locale);
        // Bare Shift_JIS names at levels 2 and 0, with 表 and ソ whose second byte is 0x5C.
        for (const char* name : {"sjis_names.lzh", "sjis_names_level0.lzh"}) {
            SCOPED_TRACE(name);
            EXPECT_EQ(extractAfresh(testArchive(QString::fromLatin1(name))),
                      (QStringList{"漢字.txt", "表/", "表/ソ.txt"}));
            EXPECT_EQ(read(QStringLiteral("漢字.txt")),
                      QByteArray("\x8a\xbf\x8e\x9a\x82\xa9\x82\xc8"));
        }
        // A code-page header (made by LHA32) and UTF-16 name headers.
        EXPECT_EQ(
            extractAfresh(peerArchive(QStringLiteral("test_read_format_lha_filename_cp932.lzh"))),
            (QStringList{"漢字.txt", "表.txt"}));
        EXPECT_EQ(
            extractAfresh(peerArchive(QStringLiteral("test_read_format_lha_filename_utf16.lzh"))),
            (QStringList{"ÜÖÄüöä/", "ÜÖÄüöä/äöüÄÖÜ.txt", "ÜÖÄüöä/テスト.txt", "äöüÄÖÜ.txt",
                         "テスト/", "テスト/äöüÄÖÜ.txt"}));
    }
    std::setlocale(LC_ALL, previous.c_str());
}

TEST_F(LhaExtract, EmptyArchiveGivesAnEmptyFolder) {
    EXPECT_TRUE(extractAfresh(testArchive(QStringLiteral("empty.lzh"))).isEmpty());
    EXPECT_TRUE(QFileInfo(target()).isDir());
}

TEST_F(LhaExtract, AZeroByteFileIsTheSameEmptyArchiveAsALoneEndMark) {
    folder_.write(QStringLiteral("zero.lzh"), QByteArray());
    EXPECT_EQ(runUnlha(extractCommand(folder_.file(QStringLiteral("zero.lzh")), target())).code,
              kUnlhaSuccess);
    EXPECT_TRUE(QFileInfo(target()).isDir());
    EXPECT_TRUE(tree().isEmpty());
}

TEST_F(LhaExtract, AFailedArchiveLeavesNoEmptyFolderItMade) {
    for (const char* name : {"truncated_header.lzh", "truncated_data.lzh", "crc_error.lzh",
                             "unsupported_method.lzh", "not_an_archive.lzh"}) {
        SCOPED_TRACE(name);
        QDir(target()).removeRecursively();
        EXPECT_NE(extract(testArchive(QString::fromLatin1(name))), kUnlhaSuccess);
        const QStringList left = tree();
        if (left.isEmpty()) {
            EXPECT_FALSE(QFileInfo::exists(target()));
        }
        for (const QString& entry : left) {
            if (entry.endsWith(u'/')) {
                EXPECT_FALSE(treeOf(target() + u'/' + entry).isEmpty()) << entry.toStdString();
            }
        }
    }
    // A folder that was there before stays, empty or not.
    QDir().mkpath(target());
    EXPECT_EQ(extract(testArchive(QStringLiteral("unsupported_method.lzh"))),
              kUnlhaUnsupportedMethod);
    EXPECT_TRUE(QFileInfo(target()).isDir());
}

TEST_F(LhaExtract, BrokenArchivesFailWithTheirCodeAndLeaveNoPartFile) {
    struct Case {
        const char* name;
        qint32 code;
    };
    const Case cases[] = {
        {"not_an_archive.lzh", kUnlhaNotAnArchive},
        {"tar_named.lzh", kUnlhaNotAnArchive},
        {"truncated_header.lzh", kUnlhaCorrupt},
        {"truncated_data.lzh", kUnlhaCorrupt},
        {"crc_error.lzh", kUnlhaCorrupt},
        {"unsupported_method.lzh", kUnlhaUnsupportedMethod},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(target()).removeRecursively();
        EXPECT_EQ(extract(testArchive(QString::fromLatin1(c.name))), c.code);
        for (const QString& entry : tree()) {
            // Only whole files: a file whose data failed never appears, not even in part.
            EXPECT_TRUE(entry == u"readme.txt" || entry.endsWith(u'/')) << entry.toStdString();
        }
    }
    // A CRC error on an existing file leaves the old file as it was.
    QDir(target()).removeRecursively();
    QDir().mkpath(target());
    folder_.write(QStringLiteral("out/readme.txt"), "keep me");
    EXPECT_EQ(extract(testArchive(QStringLiteral("crc_error.lzh"))), kUnlhaCorrupt);
    EXPECT_EQ(read(QStringLiteral("readme.txt")), "keep me");
    EXPECT_EQ(tree(), QStringList{QStringLiteral("readme.txt")});
    // libarchive's damaged samples: a header of absurd size, a link without its target.
    for (const char* sample : {"oversize_header", "symlink_missing_target"}) {
        SCOPED_TRACE(sample);
        EXPECT_EQ(extract(peerArchive(QStringLiteral("test_read_format_lha_%1.lzh").arg(sample))),
                  kUnlhaCorrupt);
    }
}

TEST_F(LhaExtract, HostileEntriesFailTheArchiveAndWriteNothing) {
    for (const char* name :
         {"hostile_parent.lzh", "hostile_parent_slash.lzh", "hostile_absolute.lzh",
          "hostile_drive.lzh", "hostile_drive_relative.lzh", "hostile_link.lzh"}) {
        SCOPED_TRACE(name);
        QDir(target()).removeRecursively();
        EXPECT_EQ(extract(testArchive(QString::fromLatin1(name))), kUnlhaUnsafeEntry);
        EXPECT_TRUE(tree().isEmpty()) << tree().join(u' ').toStdString();
        EXPECT_FALSE(QFile::exists(folder_.file(QStringLiteral("escaped.txt"))));
    }
    EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/arcopen-absolute-escape.txt")));
    EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/escaped.txt")));
}

TEST_F(LhaExtract, LinkAlreadyInTheTargetFolderIsNotFollowed) {
    QDir().mkpath(folder_.file(QStringLiteral("elsewhere")));
    QDir().mkpath(target());
    QFile::link(folder_.file(QStringLiteral("elsewhere")), target() + QStringLiteral("/sub"));
    EXPECT_EQ(extract(testArchive(QStringLiteral("stored_level0.lzh"))), kUnlhaUnsafeEntry);
    EXPECT_TRUE(treeOf(folder_.file(QStringLiteral("elsewhere"))).isEmpty());
    EXPECT_FALSE(QFile::exists(target() + QStringLiteral("/readme.txt")));

    // A link where a file goes is not written through either.
    QFile::remove(target() + QStringLiteral("/sub"));
    folder_.write(QStringLiteral("victim.txt"), "untouched");
    QFile::link(folder_.file(QStringLiteral("victim.txt")),
                target() + QStringLiteral("/readme.txt"));
    EXPECT_EQ(extract(testArchive(QStringLiteral("stored_level0.lzh"))), kUnlhaUnsafeEntry);
    EXPECT_EQ(folder_.read(QStringLiteral("victim.txt")), "untouched");
}

TEST_F(LhaExtract, SwitchesDecideOverwritingAndCreatingTheTarget) {
    QDir().mkpath(target());
    folder_.write(QStringLiteral("out/readme.txt"), "old");
    EXPECT_EQ(extract(testArchive(QStringLiteral("stored_level0.lzh")), QStringLiteral("-d1")),
              kUnlhaCannotWrite);
    EXPECT_EQ(tree(), QStringList{QStringLiteral("readme.txt")});
    EXPECT_EQ(read(QStringLiteral("readme.txt")), "old");
    EXPECT_EQ(extract(testArchive(QStringLiteral("stored_level0.lzh")), QStringLiteral("-d1 -y1")),
              kUnlhaSuccess);
    EXPECT_EQ(read(QStringLiteral("readme.txt")), "hello from the archive\r\n");

    QDir(target()).removeRecursively();
    EXPECT_EQ(extract(testArchive(QStringLiteral("stored_level0.lzh")), QStringLiteral("-y1")),
              kUnlhaCannotWrite);
    EXPECT_FALSE(QFileInfo::exists(target()));
}

TEST_F(LhaExtract, AMissingArchiveAndAnUnknownCommandAreReported) {
    EXPECT_EQ(runUnlha(extractCommand(folder_.file(QStringLiteral("missing.lzh")), target())).code,
              kUnlhaCannotOpen);
    EXPECT_EQ(runUnlha("e \"a.lzh\" \"b\"\\").code, kUnlhaBadCommandLine);
}

TEST_F(LhaExtract, PatternsSelectEntries) {
    const QString archive = placeArchive(folder_, testArchive(QStringLiteral("stored_level0.lzh")),
                                         QStringLiteral("a.lzh"));
    const QByteArray line =
        "x -d1 \"" + archive.toUtf8() + "\" \"" + target().toUtf8() + "\"\\ inner.*";
    ASSERT_EQ(runUnlha(line).code, kUnlhaSuccess);
    EXPECT_EQ(tree(), (QStringList{"sub/", "sub/deeper/", "sub/deeper/inner.txt"}));
}

TEST_F(LhaExtract, OnlyANewOrOwnFolderBelowTheArchivesFolderIsATarget) {
    QDir().mkpath(folder_.file(QStringLiteral("dl/real")));
    const QString archive = placeArchive(folder_, testArchive(QStringLiteral("stored_level0.lzh")),
                                         QStringLiteral("dl/archive.lzh"));
    folder_.write(QStringLiteral("dl/readme.txt"), "mine");
    folder_.write(QStringLiteral("readme.txt"), "mine");
    QDir().mkpath(folder_.file(QStringLiteral("elsewhere")));
    QFile::link(folder_.file(QStringLiteral("elsewhere")), folder_.file(QStringLiteral("dl/link")));
    const QStringList before = treeOf(folder_.path());
    const QString dl = folder_.file(QStringLiteral("dl"));
    for (const QString& target :
         {dl, dl + QStringLiteral("/."), dl + QStringLiteral("/.."),
          dl + QStringLiteral("/real/../.."), dl + QStringLiteral("\\.."),
          dl + QStringLiteral("/../elsewhere"), folder_.file(QStringLiteral("elsewhere")),
          dl + QStringLiteral("/link"), dl + QStringLiteral("/link/new")}) {
        SCOPED_TRACE(target.toStdString());
        EXPECT_EQ(runUnlha(extractCommand(archive, target)).code, kUnlhaUnsafeTarget);
        EXPECT_EQ(treeOf(folder_.path()), before);
        EXPECT_EQ(folder_.read(QStringLiteral("dl/readme.txt")), "mine");
        EXPECT_EQ(folder_.read(QStringLiteral("readme.txt")), "mine");
    }
    for (const QString& target :
         {dl + QStringLiteral("/real"), dl + QStringLiteral("/new/deeper")}) {
        SCOPED_TRACE(target.toStdString());
        EXPECT_EQ(runUnlha(extractCommand(archive, target)).code, kUnlhaSuccess);
        EXPECT_EQ(treeOf(target), kStoredTree);
    }
}

TEST_F(LhaExtract, AFolderOfAnotherUserIsNotATarget) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a folder to another user";
    }
    const QString archive = placeArchive(folder_, testArchive(QStringLiteral("stored_level0.lzh")),
                                         QStringLiteral("archive.lzh"));
    QDir().mkpath(target());
    ASSERT_EQ(::chown(QFile::encodeName(target()).constData(), 4242, 4242), 0);
    EXPECT_EQ(runUnlha(extractCommand(archive, target())).code, kUnlhaUnsafeTarget);
    EXPECT_TRUE(tree().isEmpty());
}
