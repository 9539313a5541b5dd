// Tests that every message text holds the intended Japanese in code page 932 (their lengths are checked as
// they compile).

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "text/messages.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

struct MessageCase {
    const Message &message;
    const char *utf8;
};

const MessageCase MESSAGES[] = {
    {MSG_FAREWELL, "ゲームを終了します。\n"},
    {MSG_GAME_OVER, "ゲーム終了\n"},
    {MSG_PLAYER_WINS, "プレイヤの勝ち\n"},
    {MSG_TO_ALL_PLAYERS, "全ての素晴らしきプレイヤへ\n"},
    {MSG_PRAY_EXTRA, "Pray to Extra Stage!\n"},
    {MSG_MENU_TITLE, "難易度を選択してください。%dで終了\n"},
    {MSG_MENU_PRACTICE, "practice:%d "},
    {MSG_MENU_EASY, "easy:%d "},
    {MSG_MENU_NORMAL, "normal:%d "},
    {MSG_MENU_HARD, "hard:%d "},
    {MSG_MENU_EXTRA, "extra:%d "},
    {MSG_NEWLINE, "\n"},
    {MSG_LEVEL_PROMPT, "難易度:"},
    {MSG_LEVEL_ERROR, "その難易度は出来ません。もう一度数字を入力してください。\n"},
    {MSG_ASK_DIGITS, "何桁で遊びますか(最大%d桁):"},
    {MSG_ASK_TURNS, "何回まで入力できるようにしますか(最大%d回):"},
    {MSG_RANGE_ERROR, "1～%dの間でお願いします。\n"},
    {MSG_SUMMARY_PRACTICE, "難易度  :practice\n"},
    {MSG_SUMMARY_EASY, "難易度  :easy\n"},
    {MSG_SUMMARY_NORMAL, "難易度  :normal\n"},
    {MSG_SUMMARY_HARD, "難易度  :hard\n"},
    {MSG_SUMMARY_LUNATIC, "難易度  :lunatic\n"},
    {MSG_SUMMARY_EXTRA, "難易度  :extra\n"},
    {MSG_DIGIT_COUNT, "桁数    :%d\n"},
    {MSG_TURN_LIMIT, "制限回数:%d\n"},
    {MSG_SETTINGS_DONE, "以上の設定でゲームを始めます。\n"},
    {MSG_ENTER_DIGITS, "%dつの数字を入力してください。\n"},
    {MSG_DIGIT_PROMPT, "%dつ目の数字:"},
    {MSG_DIGIT_ERROR, "0～9の間の整数でお願いします。\n"},
    {MSG_HIT, "HIT  :%d\n"},
    {MSG_BLOW, "BLOW :%d\n"},
    {MSG_TURN_NUMBER, "%d回目:"},
    {MSG_ONE_DIGIT, "%d"},
    {MSG_SPACE, " "},
    {MSG_HISTORY_HIT, "HIT:%d "},
    {MSG_HISTORY_BLOW, "BLOW:%d "},
    {MSG_ANSWER_HEAD, "正解は"},
    {MSG_ANSWER_TAIL, "でした。\n"},
};

TEST(Messages, TheFullWidthTildeIsTheCp932Pair)
{
    EXPECT_EQ(std::string(MSG_RANGE_ERROR.bytes, 3), "1\x81\x60");
    EXPECT_EQ(std::string(MSG_DIGIT_ERROR.bytes, 3), "0\x81\x60");
}

#ifndef _WIN32
// Decodes each text as code page 932 and compares it with its Japanese.
TEST(Messages, DecodeToTheirJapanese)
{
    iconv_t cd = iconv_open("UTF-8", "CP932");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (const MessageCase &m : MESSAGES) {
        char out[256];
        char *in = const_cast<char *>(m.message.bytes);
        size_t in_left = std::strlen(m.message.bytes);
        char *o = out;
        size_t out_left = sizeof out;
        ASSERT_NE(iconv(cd, &in, &in_left, &o, &out_left), static_cast<size_t>(-1)) << m.utf8;
        EXPECT_EQ(std::string(out, sizeof out - out_left), m.utf8);
    }
    iconv_close(cd);
}
#else
// Decodes each text as code page 932, as the console writer does, and
// compares it with its Japanese.
TEST(Messages, DecodeToTheirJapanese)
{
    for (const MessageCase &m : MESSAGES) {
        wchar_t wide[128];
        char out[256];
        int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, m.message.bytes, -1, wide, 128);
        ASSERT_GT(n, 0) << m.utf8;
        int len = WideCharToMultiByte(CP_UTF8, 0, wide, n, out, sizeof out, nullptr, nullptr);
        ASSERT_GT(len, 0) << m.utf8;
        EXPECT_STREQ(out, m.utf8);
    }
}
#endif

} // namespace
