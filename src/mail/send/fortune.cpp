#include "send/fortune.h"

#include <array>
#include <chrono>
#include <random>

namespace {

constexpr char16_t kFooter[] =
    u"★★★　この占いは "
    u"Quillpost「メールソフト」がアトランダムにチョイスしたものです（だからこそ占い♪）　送信者にも"
    u"内容は判りませんので、あしからず・・・当たるも八卦、当たらぬも八卦。★★★";

// Index 1 is the first text; every text begins with its rank.
constexpr std::array<const char16_t*, kFortuneCount> kFortunes{
    u"大吉：万事に良し！　慎重さを忘れず、尚かつアクティブに行動すれば、これまで停滞していた問題が"
    u"次々と解決されて行きます。",
    u"大吉：思わぬ金運！！　浪費せず生きたお金の使い方を心がければ、これからも金運が上昇！",
    u"大吉：人間関係に好転あり。誤解から生じていた軋轢（あつれき）も解消し、お互いが良く見えるよう"
    u"になって行きます。",
    u"中吉：正しく可もなく不可もなし。凶事のなきことを素直に喜ぶべし。そうすれば尚運が開けます。",
    u"中吉：ほのぼの、小さな幸福感を味わえる一日。その満足を他人にも分け与えれば、明日は更に運気ア"
    u"ップ！",
    u"中吉：万事スムーズ。しかし油断をすればたちまちにして運気下降。恐れぬことも大事ではあるが、謙"
    u"虚さを忘れずに判断・行動をすべし。",
    u"中吉：両親からの教えを胸に刻んで行動すれば、意外なほどの好調に思わずニンマリ！　",
    u"中吉：ショッピングでのストレス発散が好転の契機となる。それでも浪費に注意。本当に必要な物に限"
    u"定すべし。",
    u"吉：あなたの人柄で救われる局面有り。友人を大切にすれば、思わぬ人と再会するでしょう。",
    u"吉：紛失していたにもかかわらず気づいてなかった品物が、突然手元に戻ってきます。忘れていたけど"
    u"、案外大切なもの・・・物とは限りません。",
    u"凶：鬼門「北東」注意！　部屋の北東に一掴みの盛り塩をし、お世話になった人たちに感謝の意を心に"
    u"強く念じれば、吉に転じます。",
    u"凶：言動慎むべし。最大の配慮がなければ、運気、万事下降するおそれ有り。",
};

// 2^24 values of a 24-bit draw; the highest multiple of 12 below it bounds the values that
// map onto the twelve texts equally often.
constexpr quint32 kDrawRange = 1u << 24;
constexpr quint32 kPerFortune = kDrawRange / kFortuneCount;
constexpr quint32 kAcceptedRange = kPerFortune * kFortuneCount;

}  // namespace

QString fortuneFooter() {
    return QString::fromUtf16(kFooter);
}

QString fortuneText(int index) {
    return QString::fromUtf16(kFortunes.at(index - 1));
}

QString withFortune(const QString& body, int index) {
    const QString lineBreak = QStringLiteral("\r\n");
    return body + lineBreak + lineBreak + fortuneFooter() + lineBreak + lineBreak +
           fortuneText(index);
}

int fortuneIndexFor(quint32 draw24) {
    if (draw24 >= kAcceptedRange) {
        return 0;
    }
    return static_cast<int>(draw24 / kPerFortune) + 1;
}

int drawFortuneIndex(const std::function<quint32()>& nextDraw24) {
    for (;;) {
        if (const int index = fortuneIndexFor(nextDraw24() % kDrawRange); index != 0) {
            return index;
        }
    }
}

int drawFortuneFromClock() {
    // Seeded anew for every draw, so each send's fortune depends only on its moment.
    std::mt19937 generator(static_cast<std::mt19937::result_type>(
        std::chrono::system_clock::now().time_since_epoch().count()));
    return drawFortuneIndex([&generator] { return static_cast<quint32>(generator() >> 8); });
}
