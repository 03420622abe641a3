#include "unlha_result_words.h"

// Only the module's result codes are shared with it, no code.
#include "../lha/unlha_result.h"

QString unlhaResultInWords(qint32 result) {
    switch (result) {
        case kUnlhaBadCommandLine:
            return QStringLiteral(
                "解凍の指示を読み取れませんでした。書庫やフォルダの名前に「\"」があれば取り除いて、"
                "もう一度ドロップしてください。");
        case kUnlhaCannotOpen:
            return QStringLiteral(
                "書庫ファイルを開けませんでした。ファイルがまだあるか、"
                "読めるかを確かめてください。");
        case kUnlhaNotAnArchive:
            return QStringLiteral(
                "LHA形式（.lzh）の書庫ではありません。ほかの形式の書庫は、その形式に合った"
                "ソフトで開いてください。");
        case kUnlhaCorrupt:
            return QStringLiteral(
                "書庫が壊れているか、途中までしかありません。もう一度ダウンロードするか、"
                "送り主に送り直してもらってください。");
        case kUnlhaUnsupportedMethod:
            return QStringLiteral(
                "この書庫は対応していない圧縮方式で作られています。送り主に -lh5- などの"
                "方式で作り直してもらってください。");
        case kUnlhaCannotWrite:
            return QStringLiteral(
                "解凍先のフォルダを作れないか、書き込めません。同じ名前のファイルがないか、"
                "フォルダに書き込めるか、ディスクに空きがあるかを確かめてください。");
        case kUnlhaUnsafeEntry:
            return QStringLiteral(
                "解凍先のフォルダの外へ書き出そうとする名前が書庫にあったため、何も解凍しません"
                "でした。危険な書庫のおそれがあります。送り主に確かめてください。");
        case kUnlhaUnsafeTarget:
            return QStringLiteral(
                "解凍先のフォルダが、書庫と同じフォルダにある自分のフォルダではないため、何も"
                "解凍しませんでした。同じ名前のリンクやほかの人のフォルダがあれば、書庫の名前を"
                "変えてからもう一度ドロップしてください。");
        default:
            return QStringLiteral(
                "解凍できませんでした。書庫が正しいか、解凍先のフォルダに書き込めるかを"
                "確かめてください。");
    }
}
