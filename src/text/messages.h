// The game's message texts as Shift-JIS (code page 932) bytes, each with its Japanese beside it.
#pragma once

#include <cstddef>
#include <cstdint>

// One text the game prints.  "%d" in it is replaced by a number when it is
// printed; every other byte is written as it stands.
struct Message {
    const char *bytes; // the text, NUL-terminated
    int32_t length;    // its length in bytes, "%d" counted as two
    int32_t number_at; // where "%d" stands, or -1 in a text without one
};

// Makes the Message of a string literal of LENGTH bytes, while compiling: a
// literal of another length, or one with two "%d", does not compile, so the
// byte counts beside the texts below are checked.
template <int32_t LENGTH, size_t N> consteval Message message(const char (&text)[N])
{
    if (N - 1 != static_cast<size_t>(LENGTH))
        throw "the text is not LENGTH bytes long";
    Message m = {text, LENGTH, -1};
    for (int32_t i = 0; i + 1 < LENGTH; i++) {
        if (text[i] == '%' && text[i + 1] == 'd') {
            if (m.number_at >= 0)
                throw "a text holds at most one number";
            m.number_at = i;
        }
    }
    return m;
}

// clang-format off

// Every text of the dialogue lives here and nowhere else (the one line a
// failed read or write puts on standard error is the byte layer's, io.cpp).
// Bytes of 0x80 and above are written as octal escapes so that no escape can
// swallow the character after it.

// Main loop: end of the run, game over, wins and the unlock
// "ゲームを終了します。\n", 21 bytes
inline constexpr Message MSG_FAREWELL = message<21>("\203Q\201[\203\200\202\360\217I\227\271\202\265\202\334\202\267\201B\n");
// "ゲーム終了\n", 11 bytes
inline constexpr Message MSG_GAME_OVER = message<11>("\203Q\201[\203\200\217I\227\271\n");
// "プレイヤの勝ち\n", 15 bytes
inline constexpr Message MSG_PLAYER_WINS = message<15>("\203v\203\214\203C\203\204\202\314\217\237\202\277\n");
// "全ての素晴らしきプレイヤへ\n", 27 bytes
inline constexpr Message MSG_TO_ALL_PLAYERS = message<27>("\221S\202\304\202\314\221f\220\260\202\347\202\265\202\253\203v\203\214\203C\203\204\202\326\n");
// "Pray to Extra Stage!\n", 21 bytes
inline constexpr Message MSG_PRAY_EXTRA = message<21>("Pray to Extra Stage!\n");

// Level menu, practice questions and settings summary
// "難易度を選択してください。%dで終了\n", 35 bytes
inline constexpr Message MSG_MENU_TITLE = message<35>("\223\357\210\325\223x\202\360\221I\221\360\202\265\202\304\202\255\202\276\202\263\202\242\201B%d\202\305\217I\227\271\n");
// "practice:%d ", 12 bytes
inline constexpr Message MSG_MENU_PRACTICE = message<12>("practice:%d ");
// "easy:%d ", 8 bytes
inline constexpr Message MSG_MENU_EASY = message<8>("easy:%d ");
// "normal:%d ", 10 bytes
inline constexpr Message MSG_MENU_NORMAL = message<10>("normal:%d ");
// "hard:%d ", 8 bytes
inline constexpr Message MSG_MENU_HARD = message<8>("hard:%d ");
// "extra:%d ", 9 bytes
inline constexpr Message MSG_MENU_EXTRA = message<9>("extra:%d ");
// "\n", 1 byte
inline constexpr Message MSG_NEWLINE = message<1>("\n");
// "難易度:", 7 bytes
inline constexpr Message MSG_LEVEL_PROMPT = message<7>("\223\357\210\325\223x:");
// "その難易度は出来ません。もう一度数字を入力してください。\n", 57 bytes
inline constexpr Message MSG_LEVEL_ERROR = message<57>("\202\273\202\314\223\357\210\325\223x\202\315\217o\227\210\202\334\202\271\202\361\201B\202\340\202\244\210\352\223x\220\224\216\232\202\360\223\374\227\315\202\265\202\304\202\255\202\276\202\263\202\242\201B\n");
// "何桁で遊びますか(最大%d桁):", 27 bytes
inline constexpr Message MSG_ASK_DIGITS = message<27>("\211\275\214\205\202\305\227V\202\321\202\334\202\267\202\251(\215\305\221\345%d\214\205):");
// "何回まで入力できるようにしますか(最大%d回):", 43 bytes
inline constexpr Message MSG_ASK_TURNS = message<43>("\211\275\211\361\202\334\202\305\223\374\227\315\202\305\202\253\202\351\202\346\202\244\202\311\202\265\202\334\202\267\202\251(\215\305\221\345%d\211\361):");
// "1～%dの間でお願いします。\n", 26 bytes
inline constexpr Message MSG_RANGE_ERROR = message<26>("1\201`%d\202\314\212\324\202\305\202\250\212\350\202\242\202\265\202\334\202\267\201B\n");
// "難易度  :practice\n", 18 bytes
inline constexpr Message MSG_SUMMARY_PRACTICE = message<18>("\223\357\210\325\223x  :practice\n");
// "難易度  :easy\n", 14 bytes
inline constexpr Message MSG_SUMMARY_EASY = message<14>("\223\357\210\325\223x  :easy\n");
// "難易度  :normal\n", 16 bytes
inline constexpr Message MSG_SUMMARY_NORMAL = message<16>("\223\357\210\325\223x  :normal\n");
// "難易度  :hard\n", 14 bytes
inline constexpr Message MSG_SUMMARY_HARD = message<14>("\223\357\210\325\223x  :hard\n");
// "難易度  :lunatic\n", 17 bytes
inline constexpr Message MSG_SUMMARY_LUNATIC = message<17>("\223\357\210\325\223x  :lunatic\n");
// "難易度  :extra\n", 15 bytes
inline constexpr Message MSG_SUMMARY_EXTRA = message<15>("\223\357\210\325\223x  :extra\n");
// "桁数    :%d\n", 12 bytes
inline constexpr Message MSG_DIGIT_COUNT = message<12>("\214\205\220\224    :%d\n");
// "制限回数:%d\n", 12 bytes
inline constexpr Message MSG_TURN_LIMIT = message<12>("\220\247\214\300\211\361\220\224:%d\n");
// "以上の設定でゲームを始めます。\n", 31 bytes
inline constexpr Message MSG_SETTINGS_DONE = message<31>("\210\310\217\343\202\314\220\335\222\350\202\305\203Q\201[\203\200\202\360\216n\202\337\202\334\202\267\201B\n");

// Guess entry, judgement, history and answer
// "%dつの数字を入力してください。\n", 31 bytes
inline constexpr Message MSG_ENTER_DIGITS = message<31>("%d\202\302\202\314\220\224\216\232\202\360\223\374\227\315\202\265\202\304\202\255\202\276\202\263\202\242\201B\n");
// "%dつ目の数字:", 13 bytes
inline constexpr Message MSG_DIGIT_PROMPT = message<13>("%d\202\302\226\332\202\314\220\224\216\232:");
// "0～9の間の整数でお願いします。\n", 31 bytes
inline constexpr Message MSG_DIGIT_ERROR = message<31>("0\201`9\202\314\212\324\202\314\220\256\220\224\202\305\202\250\212\350\202\242\202\265\202\334\202\267\201B\n");
// "HIT  :%d\n", 9 bytes
inline constexpr Message MSG_HIT = message<9>("HIT  :%d\n");
// "BLOW :%d\n", 9 bytes
inline constexpr Message MSG_BLOW = message<9>("BLOW :%d\n");
// "%d回目:", 7 bytes
inline constexpr Message MSG_TURN_NUMBER = message<7>("%d\211\361\226\332:");
// "%d", 2 bytes
inline constexpr Message MSG_ONE_DIGIT = message<2>("%d");
// " ", 1 byte
inline constexpr Message MSG_SPACE = message<1>(" ");
// "HIT:%d ", 7 bytes
inline constexpr Message MSG_HISTORY_HIT = message<7>("HIT:%d ");
// "BLOW:%d ", 8 bytes
inline constexpr Message MSG_HISTORY_BLOW = message<8>("BLOW:%d ");
// "正解は", 6 bytes
inline constexpr Message MSG_ANSWER_HEAD = message<6>("\220\263\211\360\202\315");
// "でした。\n", 9 bytes
inline constexpr Message MSG_ANSWER_TAIL = message<9>("\202\305\202\265\202\275\201B\n");

// clang-format on
