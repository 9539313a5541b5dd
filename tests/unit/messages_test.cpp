// Tests that every message text holds the intended Japanese in code page 932, at its known length.

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
    const char *bytes;
    const char *utf8;
    size_t length; // in Shift-JIS bytes
};

const MessageCase MESSAGES[] = {
    {MSG_FAREWELL, "ゲームを終了します。\n", 21},
    {MSG_GAME_OVER, "ゲーム終了\n", 11},
    {MSG_PLAYER_WINS, "プレイヤの勝ち\n", 15},
    {MSG_TO_ALL_PLAYERS, "全ての素晴らしきプレイヤへ\n", 27},
    {MSG_PRAY_EXTRA, "Pray to Extra Stage!\n", 21},
    {MSG_MENU_TITLE, "難易度を選択してください。%dで終了\n", 35},
    {MSG_MENU_PRACTICE, "practice:%d ", 12},
    {MSG_MENU_EASY, "easy:%d ", 8},
    {MSG_MENU_NORMAL, "normal:%d ", 10},
    {MSG_MENU_HARD, "hard:%d ", 8},
    {MSG_MENU_EXTRA, "extra:%d ", 9},
    {MSG_NEWLINE, "\n", 1},
    {MSG_LEVEL_PROMPT, "難易度:", 7},
    {MSG_LEVEL_ERROR, "その難易度は出来ません。もう一度数字を入力してください。\n", 57},
    {MSG_ASK_DIGITS, "何桁で遊びますか(最大%d桁):", 27},
    {MSG_ASK_TURNS, "何回まで入力できるようにしますか(最大%d回):", 43},
    {MSG_RANGE_ERROR, "1～%dの間でお願いします。\n", 26},
    {MSG_SUMMARY_PRACTICE, "難易度  :practice\n", 18},
    {MSG_SUMMARY_EASY, "難易度  :easy\n", 14},
    {MSG_SUMMARY_NORMAL, "難易度  :normal\n", 16},
    {MSG_SUMMARY_HARD, "難易度  :hard\n", 14},
    {MSG_SUMMARY_LUNATIC, "難易度  :lunatic\n", 17},
    {MSG_SUMMARY_EXTRA, "難易度  :extra\n", 15},
    {MSG_DIGIT_COUNT, "桁数    :%d\n", 12},
    {MSG_TURN_LIMIT, "制限回数:%d\n", 12},
    {MSG_SETTINGS_DONE, "以上の設定でゲームを始めます。\n", 31},
    {MSG_ENTER_DIGITS, "%dつの数字を入力してください。\n", 31},
    {MSG_DIGIT_PROMPT, "%dつ目の数字:", 13},
    {MSG_DIGIT_ERROR, "0～9の間の整数でお願いします。\n", 31},
    {MSG_HIT, "HIT  :%d\n", 9},
    {MSG_BLOW, "BLOW :%d\n", 9},
    {MSG_TURN_NUMBER, "%d回目:", 7},
    {MSG_ONE_DIGIT, "%d", 2},
    {MSG_SPACE, " ", 1},
    {MSG_HISTORY_HIT, "HIT:%d ", 7},
    {MSG_HISTORY_BLOW, "BLOW:%d ", 8},
    {MSG_ANSWER_HEAD, "正解は", 6},
    {MSG_ANSWER_TAIL, "でした。\n", 9},
};

TEST(Messages, HaveTheirLengthInShiftJisBytes)
{
    for (const MessageCase &m : MESSAGES)
        EXPECT_EQ(std::strlen(m.bytes), m.length) << m.utf8;
}

TEST(Messages, TheFullWidthTildeIsTheCp932Pair)
{
    EXPECT_EQ(std::string(MSG_RANGE_ERROR, 3), "1\x81\x60");
    EXPECT_EQ(std::string(MSG_DIGIT_ERROR, 3), "0\x81\x60");
}

#ifndef _WIN32
// Decodes each text as code page 932 and compares it with its Japanese.
TEST(Messages, DecodeToTheirJapanese)
{
    iconv_t cd = iconv_open("UTF-8", "CP932");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (const MessageCase &m : MESSAGES) {
        char out[256];
        char *in = const_cast<char *>(m.bytes);
        size_t in_left = std::strlen(m.bytes);
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
        int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, m.bytes, -1, wide, 128);
        ASSERT_GT(n, 0) << m.utf8;
        int len = WideCharToMultiByte(CP_UTF8, 0, wide, n, out, sizeof out, nullptr, nullptr);
        ASSERT_GT(len, 0) << m.utf8;
        EXPECT_STREQ(out, m.utf8);
    }
}
#endif

} // namespace
