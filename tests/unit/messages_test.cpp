// Tests that every message text holds the intended Japanese in code page 932 (their lengths are checked as
// they compile).

#include <gtest/gtest.h>

#include <string>

#include "memory_io.h"
#include "text/messages.h"

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

// Each text is its Japanese in code page 932, the full-width tilde of the
// range messages its pair 0x81 0x60.
TEST(Messages, AreTheirJapaneseInCodePage932)
{
    for (const MessageCase &m : MESSAGES)
        EXPECT_EQ(std::string(m.message.bytes, static_cast<size_t>(m.message.length)), sjis(m.utf8))
            << m.utf8;
    EXPECT_EQ(std::string(MSG_RANGE_ERROR.bytes, 3), "1\x81\x60");
    EXPECT_EQ(std::string(MSG_DIGIT_ERROR.bytes, 3), "0\x81\x60");
}

} // namespace
