// The real game on a pseudo-terminal: its texts arrive in the terminal's
// encoding while a pipe gets the Shift-JIS bytes, and a player who reads the
// screen wins every level within its turns.

#include <gtest/gtest.h>

#include <iconv.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "breaker.h"

namespace {

constexpr int WAIT_MS = 20000; // the longest wait for any output

std::vector<char *> c_strings(std::vector<std::string> &strings)
{
    std::vector<char *> list;
    list.reserve(strings.size() + 1);
    for (std::string &s : strings)
        list.push_back(s.data());
    list.push_back(nullptr);
    return list;
}

// The game (or `program`), started with exactly `env` as its environment,
// its standard streams on the slave side of a new pseudo-terminal.
class Terminal {
  public:
    explicit Terminal(std::vector<std::string> env, bool echo = true, const char *program = HITBLOW_BINARY)
    {
        std::vector<std::string> argv_strings = {program};
        std::vector<char *> argv = c_strings(argv_strings);
        std::vector<char *> envp = c_strings(env);
        pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
        if (pid_ < 0)
            throw std::runtime_error("forkpty failed");
        if (pid_ == 0) {
            termios modes;
            tcgetattr(0, &modes);
            if (!echo)
                modes.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            tcsetattr(0, TCSANOW, &modes);
            signal(SIGPIPE, SIG_DFL);
            execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
    }

    ~Terminal()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(master_);
    }

    // Waits until `text` appears after the part already taken, takes all up
    // to its end and returns that.  Throws when it does not come in time.
    std::string expect(const std::string &text)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WAIT_MS);
        size_t found;
        while ((found = screen_.find(text, taken_)) == std::string::npos) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !read_more(static_cast<int>(left.count())))
                throw std::runtime_error("waited in vain for \"" + text + "\"; the screen ends with:\n" +
                                         screen_.substr(screen_.size() > 600 ? screen_.size() - 600 : 0));
        }
        std::string part = screen_.substr(taken_, found + text.size() - taken_);
        taken_ = found + text.size();
        return part;
    }

    // Types bytes as they stand; a line is ended by "\r", the Enter key.
    void type(const std::string &keys)
    {
        if (write(master_, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size()))
            throw std::runtime_error("cannot type on the terminal");
    }

    // Reads the rest of the output and returns the exit status, or -1 when
    // the game did not exit normally in time.
    int wait_exit()
    {
        while (read_more(WAIT_MS)) {
        }
        int status = 0;
        pid_t done = 0;
        for (int i = 0; i < WAIT_MS / 10 && (done = waitpid(pid_, &status, WNOHANG)) == 0; i++)
            usleep(10000);
        if (done != pid_)
            return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Everything the game has written, as the terminal received it.
    const std::string &screen() const { return screen_; }

  private:
    // Appends what the game writes within `ms` milliseconds.  Returns false
    // at the end of output (the game has closed the terminal) or on time-out.
    bool read_more(int ms)
    {
        pollfd fd = {master_, POLLIN, 0};
        if (poll(&fd, 1, ms) <= 0)
            return false;
        char buf[4096];
        ssize_t n = read(master_, buf, sizeof buf);
        if (n <= 0)
            return n < 0 && errno == EINTR;
        screen_.append(buf, static_cast<size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int master_ = -1;
    std::string screen_;
    size_t taken_ = 0;
};

// Runs the game with `input` on a pipe and returns what it wrote to another.
std::string run_piped(std::vector<std::string> env, const std::string &input)
{
    std::vector<std::string> argv_strings = {HITBLOW_BINARY};
    std::vector<char *> argv = c_strings(argv_strings);
    std::vector<char *> envp = c_strings(env);
    int in[2], out[2];
    signal(SIGPIPE, SIG_IGN); // a game that ends early fails the check below, not the test program
    if (pipe(in) != 0 || pipe(out) != 0)
        throw std::runtime_error("pipe failed");
    pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        for (int fd : {in[0], in[1], out[0], out[1]})
            close(fd);
        signal(SIGPIPE, SIG_DFL);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    bool typed = write(in[1], input.data(), input.size()) == static_cast<ssize_t>(input.size());
    close(in[1]);
    std::string output;
    char buf[4096];
    pollfd fd = {out[0], POLLIN, 0};
    for (ssize_t n = 1; n > 0 && poll(&fd, 1, WAIT_MS) > 0;) {
        n = read(out[0], buf, sizeof buf);
        if (n > 0)
            output.append(buf, static_cast<size_t>(n));
    }
    close(out[0]);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!typed || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the piped run failed");
    return output;
}

// `text` converted with iconv; throws when it cannot be.
std::string convert(const std::string &text, const char *from, const char *to)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("no conversion to ") + to);
    std::string out(4 * text.size() + 16, '\0');
    char *in = const_cast<char *>(text.data());
    size_t in_left = text.size();
    char *next = out.data();
    size_t out_left = out.size();
    size_t done = iconv(cd, &in, &in_left, &next, &out_left);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1))
        throw std::runtime_error(std::string("cannot convert to ") + to);
    out.resize(out.size() - out_left);
    return out;
}

// Line ends as a terminal shows them.
std::string crlf(const std::string &text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

// One short run: a level the menu refuses, practice, a number of digits out of
// range, then Ctrl-D.  Typed with echo off, so the screen holds only the output.
constexpr char KEYS[] = "9\r0\r11\r\x04";
constexpr char PIPED_INPUT[] = "9\n0\n11\n";

// Plays KEYS on a terminal under `env` and checks the screen is the piped
// run's Shift-JIS converted to `charset` (or unchanged, for nullptr).  Returns the screen.
std::string check_display(const std::vector<std::string> &env, const char *charset)
{
    SCOPED_TRACE(env.empty() ? "no environment" : env.back());
    Terminal terminal(env, false);
    terminal.expect("practice:0 ");
    terminal.type(KEYS);
    EXPECT_EQ(terminal.wait_exit(), 0);

    std::string piped = run_piped(env, PIPED_INPUT);
    EXPECT_EQ(piped, run_piped({}, PIPED_INPUT)) << "the locale changed the piped bytes";
    // "1～10の間" as code page 932: the tilde is 0x81 0x60.
    EXPECT_NE(piped.find("1\x81\x60"
                         "10\x82\xcc\x8a\xd4"),
              std::string::npos);
    EXPECT_EQ(terminal.screen(), crlf(charset ? convert(piped, "CP932", charset) : piped));
    return terminal.screen();
}

TEST(Display, Utf8OnTerminalShiftJisOnPipe)
{
    for (const std::vector<std::string> &env :
         {std::vector<std::string>{"LANG=C.UTF-8"}, std::vector<std::string>{}}) {
        std::string screen = check_display(env, "UTF-8");
        EXPECT_EQ(screen.find("難易度を選択してください。-1で終了\r\n"), 0u) << screen;
        // U+FF5E FULLWIDTH TILDE, not U+301C WAVE DASH.
        EXPECT_NE(screen.find("1\xef\xbd\x9e"
                              "10の間でお願いします。\r\n"),
                  std::string::npos)
            << screen;
    }
}

// Locales built with localedef into a scratch folder: EUC-JP and Shift-JIS,
// and Latin-1, which cannot hold the texts and so gets UTF-8.
TEST(Display, GeneratedLocales)
{
    struct Locale {
        const char *source;
        const char *charmap;
        const char *name;
        const char *shown_as; // nullptr: the Shift-JIS bytes unchanged
    };
    const Locale locales[] = {{"ja_JP", "EUC-JP", "ja_JP.EUC-JP", "EUC-JP"},
                              {"ja_JP", "SHIFT_JIS", "ja_JP.SJIS", nullptr},
                              {"en_US", "ISO-8859-1", "en_US.ISO-8859-1", "UTF-8"}};
    char scratch[] = "/tmp/hitblow-locales-XXXXXX";
    ASSERT_NE(mkdtemp(scratch), nullptr);
    std::string dir = scratch;
    for (const Locale &locale : locales) {
        std::string build = std::string("localedef --no-warnings=ascii -i ") + locale.source + " -f " +
                            locale.charmap + " " + dir + "/" + locale.name + " >/dev/null 2>&1";
        if (std::system(build.c_str()) == -1 ||
            !std::filesystem::exists(dir + "/" + locale.name + "/LC_CTYPE")) {
            std::filesystem::remove_all(dir);
            GTEST_SKIP() << "localedef cannot build " << locale.name
                         << " (install the locale sources with: apt-get install locales)";
        }
        check_display({"LOCPATH=" + dir, std::string("LANG=") + locale.name}, locale.shown_as);
    }
    std::filesystem::remove_all(dir);
}

// The terminal path allocates nothing per message: heap_check is the game,
// its clock fixed (easy's answer is 059), counting every allocation.
#ifdef HEAP_CHECK_BINARY // not built under the sanitizers, which allocate on their own
TEST(Display, NoAllocationWhileConverting)
{
    Terminal terminal({"LANG=C.UTF-8"}, false, HEAP_CHECK_BINARY);
    terminal.expect("practice:0 ");
    // A miss with a wrong digit, the win and the unlock, a practice range error, Ctrl-D.
    terminal.type("1\r1\r2\rx\r3\r0\r5\r9\r0\r11\r\x04");
    terminal.expect("正解は059でした。\r\nプレイヤの勝ち\r\n全ての素晴らしきプレイヤへ\r\n");
    terminal.expect("1\xef\xbd\x9e"
                    "10の間でお願いします。\r\n");
    terminal.expect("ゲームを終了します。\r\nallocations during play: 0\r\n");
    EXPECT_EQ(terminal.wait_exit(), 0);
}
#endif

// Reads the number that follows `label` on its line.
// A terminal that has hung up fails every write with EIO.  The game, which
// writes to such a terminal and reads from a pipe, says so in one line on
// standard error and exits with status 1: it neither goes on as if it had
// been heard nor tries the write again and again.  It runs in a session of
// its own, of which the terminal is not the controlling one, so that hanging
// up sends it no SIGHUP: what it meets is the failed write.
TEST(Failures, AWriteToAHungUpTerminalEndsTheGame)
{
    int master = -1;
    int slave = -1;
    int input[2];
    int errors[2];
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(pipe(input), 0);
    ASSERT_EQ(pipe(errors), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setsid();
        dup2(input[0], 0);
        dup2(slave, 1);
        dup2(errors[1], 2);
        for (int fd : {master, slave, input[0], input[1], errors[0], errors[1]})
            close(fd);
        std::vector<std::string> argv_strings = {HITBLOW_BINARY};
        std::vector<std::string> env_strings = {"LANG=C.UTF-8"};
        std::vector<char *> argv = c_strings(argv_strings);
        std::vector<char *> envp = c_strings(env_strings);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(slave);
    close(input[0]);
    close(errors[1]);

    // The menu's prompt, in UTF-8, then the hang-up, then an answer to it.
    const std::string prompt = "\xe9\x9b\xa3\xe6\x98\x93\xe5\xba\xa6:";
    std::string screen;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WAIT_MS);
    while (screen.find(prompt) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd fd = {master, POLLIN, 0};
        char buf[512];
        ssize_t n = poll(&fd, 1, 100) > 0 ? read(master, buf, sizeof buf) : 0;
        if (n > 0)
            screen.append(buf, static_cast<size_t>(n));
    }
    ASSERT_NE(screen.find(prompt), std::string::npos) << "no prompt on the terminal";
    close(master);
    ASSERT_EQ(write(input[1], "1\n", 2), 2);
    close(input[1]);

    std::string said;
    int status = -1;
    for (pid_t done = 0; done == 0 && std::chrono::steady_clock::now() < deadline;) {
        done = waitpid(pid, &status, WNOHANG);
        if (done == 0)
            usleep(10000);
    }
    if (waitpid(pid, nullptr, WNOHANG) == 0) { // not done in time: it is writing again and again
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        FAIL() << "the game did not end after its terminal hung up";
    }
    char buf[512];
    for (ssize_t n; (n = read(errors[0], buf, sizeof buf)) > 0;)
        said.append(buf, static_cast<size_t>(n));
    close(errors[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "status " << status;
    EXPECT_EQ(said, "hitblow: cannot write to standard output: Input/output error\n");
}

int number_after(Terminal &terminal, const std::string &label)
{
    terminal.expect(label);
    return std::stoi(terminal.expect("\r\n"));
}

// Plays one game of `level` as a person would: waits for each prompt, types a
// guess that fits every reply so far, and reads the reply.  Returns the turn it
// was won on; throws when it was not won or no answer fits the replies.
int play_to_win(Terminal &terminal, int level, const std::string &name, int length, int turns)
{
    terminal.type(std::to_string(level) + "\r");
    terminal.expect("難易度  :" + name + "\r\n桁数    :" + std::to_string(length) +
                    "\r\n制限回数:" + std::to_string(turns) + "\r\n以上の設定でゲームを始めます。\r\n");
    std::vector<breaker::Code> all = breaker::all_codes(length);
    std::vector<breaker::Code> candidates = all;
    for (int turn = 1; turn <= turns; turn++) {
        breaker::Code guess = breaker::choose_guess(candidates, all, length);
        terminal.expect(std::to_string(length) + "つの数字を入力してください。\r\n");
        for (int i = 0; i < length; i++) {
            terminal.expect(std::to_string(i + 1) + "つ目の数字:");
            terminal.type(guess.text(length).substr(static_cast<size_t>(i), 1) + "\r");
        }
        int hits = number_after(terminal, "HIT  :");
        int blows = number_after(terminal, "BLOW :");
        if (hits == length) {
            terminal.expect("ゲーム終了\r\n");
            terminal.expect("正解は" + guess.text(length) + "でした。\r\nプレイヤの勝ち\r\n");
            return turn;
        }
        candidates = breaker::filter(candidates, guess, breaker::make_reply(hits, blows), length);
        if (candidates.empty())
            throw std::runtime_error("no answer fits every reply");
    }
    throw std::runtime_error(name + " was not won within " + std::to_string(turns) + " turns");
}

TEST(Player, WinsEveryLevelThenQuits)
{
    struct Level {
        int number;
        const char *name;
        int length;
        int turns;
    };
    const Level levels[] = {{1, "easy", 3, 10},
                            {2, "normal", 4, 10},
                            {3, "hard", 4, 8},
                            {4, "lunatic", 5, 8},
                            {5, "extra", 6, 13}};

    Terminal terminal({"LANG=C.UTF-8"});
    std::string menu = terminal.expect("難易度:");
    EXPECT_NE(menu.find("難易度を選択してください。-1で終了\r\n"), std::string::npos);
    EXPECT_EQ(menu.find("extra"), std::string::npos);
    for (const Level &level : levels) {
        int turn = play_to_win(terminal, level.number, level.name, level.length, level.turns);
        std::printf("%s won on turn %d of %d\n", level.name, turn, level.turns);
        // From the win to the next menu prompt: the unlock lines after the first win only.
        std::string after = terminal.expect("難易度:");
        bool unlocked_now = after.find("全ての素晴らしきプレイヤへ\r\nPray to Extra Stage!\r\n") == 0;
        EXPECT_EQ(unlocked_now, level.number == 1) << after;
        EXPECT_NE(after.find("hard:3 extra:5 \r\n"), std::string::npos) << after;
    }
    terminal.type("-1\r");
    terminal.expect("ゲームを終了します。\r\n");
    EXPECT_EQ(terminal.wait_exit(), 0);
}

} // namespace
