// The real game on a pseudo-terminal: its texts arrive in the terminal's
// encoding while a pipe gets the Shift-JIS bytes, nothing is allocated to
// convert them, and streams not ready are waited on.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "convert.h"

namespace {

constexpr int WAIT_MS = 20000; // the longest wait for any output

// Starts `program` in a session of its own, with exactly `env` as its
// environment and `in`, `out` and `err` as its standard streams; `in` becomes
// its controlling terminal where `controlling` says so.
pid_t spawn(const char *program, const std::vector<std::string> &env, int in, int out, int err,
            bool controlling)
{
    std::vector<std::string> strings = env;
    std::vector<char *> envp;
    envp.reserve(strings.size() + 1);
    for (std::string &s : strings)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    char *argv[] = {const_cast<char *>(program), nullptr};
    pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        setsid();
        if (controlling)
            ioctl(in, TIOCSCTTY, 0);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        closefrom(3);
        signal(SIGPIPE, SIG_DFL);
        execve(program, argv, envp.data());
        _exit(127);
    }
    return pid;
}

// Appends to `text` what `fd` gives within `ms` milliseconds.  Returns false
// at its end or when nothing came in time.
bool read_some(int fd, std::string &text, int ms)
{
    pollfd ready = {fd, POLLIN, 0};
    if (poll(&ready, 1, ms) <= 0)
        return false;
    char buf[4096];
    ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0)
        text.append(buf, static_cast<size_t>(n));
    return n > 0;
}

// Waits for `pid` to exit, at most WAIT_MS, and returns its exit status; -1
// when it did not exit normally in time (it is then killed).
int exit_status(pid_t pid)
{
    int status = 0;
    pid_t done = 0;
    for (int i = 0; i < WAIT_MS / 10 && (done = waitpid(pid, &status, WNOHANG)) == 0; i++)
        usleep(10000);
    if (done != pid) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The game (or `program`), started with exactly `env` as its environment, on
// a new pseudo-terminal that is its controlling terminal.
class Terminal {
  public:
    // A `nonblocking` terminal is handed over non-blocking, as a shell may leave one.
    explicit Terminal(const std::vector<std::string> &env, bool echo = true,
                      const char *program = HITBLOW_BINARY, bool nonblocking = false)
    {
        int slave = -1;
        if (openpty(&master_, &slave, nullptr, nullptr, nullptr) != 0 ||
            (nonblocking && fcntl(slave, F_SETFL, O_NONBLOCK) != 0))
            throw std::runtime_error("openpty failed");
        termios modes;
        tcgetattr(slave, &modes);
        if (!echo)
            modes.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(slave, TCSANOW, &modes);
        pid_ = spawn(program, env, slave, slave, slave, true);
        close(slave);
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
            if (left.count() <= 0 || !read_some(master_, screen_, static_cast<int>(left.count())))
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
        while (read_some(master_, screen_, WAIT_MS)) {
        }
        int status = exit_status(pid_);
        pid_ = -1;
        return status;
    }

    // Waits, without reading, until the game writes no more for a while: it
    // waits on a full terminal, or has exited.  Returns how much is there to read.
    int wait_for_full()
    {
        int ready = -1;
        for (int last = -2, i = 0; ready != last && i < WAIT_MS / 100; i++) {
            last = ready;
            usleep(100000);
            ioctl(master_, FIONREAD, &ready);
        }
        return ready;
    }

    // Everything the game has written, as the terminal received it.
    const std::string &screen() const { return screen_; }

  private:
    pid_t pid_ = -1;
    int master_ = -1;
    std::string screen_;
    size_t taken_ = 0;
};

// Runs the game (or `program`) with `input` on a pipe and returns what it wrote to another.
std::string run_piped(const std::vector<std::string> &env, const std::string &input,
                      const char *program = HITBLOW_BINARY)
{
    int in[2], out[2];
    signal(SIGPIPE, SIG_IGN); // a game that ends early fails the check below, not the test program
    if (pipe(in) != 0 || pipe(out) != 0)
        throw std::runtime_error("pipe failed");
    pid_t pid = spawn(program, env, in[0], out[1], 2, false);
    close(in[0]);
    close(out[1]);
    bool typed = write(in[1], input.data(), input.size()) == static_cast<ssize_t>(input.size());
    close(in[1]);
    std::string output;
    while (read_some(out[0], output, WAIT_MS)) {
    }
    close(out[0]);
    if (!typed || exit_status(pid) != 0)
        throw std::runtime_error("the piped run failed");
    return output;
}

// Line ends as a terminal shows them.
std::string crlf(const std::string &text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

// A practice game of 10 digits lost in 16 turns, whatever the answer, played
// `games` times, then quit: long listings for little input.
std::string lost_games(int games)
{
    std::string game = "0\n10\n16\n";
    for (int turn = 0; turn < 16; turn++)
        game += "0 0 0 0 0 0 0 0 0 0\n";
    std::string input;
    while (games-- > 0)
        input += game;
    return input + "-1\n";
}

// Plays `input` on the fixed-clock game through pipes, the end of the one on
// descriptor `which` (0 or 1) left non-blocking: the input written 512 bytes
// at a time, 5 ms apart, and the output not read until its pipe is full, so
// that the game finds each stream not ready.  Returns the output, standard
// error and the exit status.
std::tuple<std::string, std::string, int> play_nonblocking(const std::string &input, int which)
{
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0 ||
        fcntl(which == 0 ? in[0] : out[1], F_SETFL, O_NONBLOCK) != 0)
        throw std::runtime_error("pipe failed");
    pid_t pid = spawn(FIXED_CLOCK_BINARY, {}, in[0], out[1], err[1], false);
    for (int fd : {in[0], out[1], err[1]})
        close(fd);
    for (size_t at = 0; at < input.size(); at += 512) {
        usleep(5000);
        size_t size = std::min<size_t>(512, input.size() - at);
        if (write(in[1], input.data() + at, size) != static_cast<ssize_t>(size))
            throw std::runtime_error("cannot type");
    }
    close(in[1]);
    int ready = 0;
    for (int i = 0; i < WAIT_MS / 10 && ready < fcntl(out[0], F_GETPIPE_SZ); i++) {
        usleep(10000);
        ioctl(out[0], FIONREAD, &ready);
    }
    std::string output, errors;
    while (read_some(out[0], output, WAIT_MS)) {
    }
    while (read_some(err[0], errors, WAIT_MS)) {
    }
    for (int fd : {out[0], err[0]})
        close(fd);
    return {output, errors, exit_status(pid)};
}

// O_NONBLOCK belongs to the open stream, so a parent can hand the game one
// that is not ready when it reads or writes: the game waits for it, and its
// output is the blocking run's, with nothing on standard error.  (The fixed
// clock keeps the answers the same from run to run.)
TEST(Streams, NonBlockingPipesAreWaitedOn)
{
    std::string input = lost_games(20);
    std::string blocking = run_piped({}, input, FIXED_CLOCK_BINARY);
    ASSERT_GT(blocking.size(), 2u * 65536);
    for (int which : {0, 1}) {
        auto [output, errors, status] = play_nonblocking(input, which);
        EXPECT_EQ(status, 0) << "non-blocking descriptor " << which;
        EXPECT_EQ(errors, "") << "non-blocking descriptor " << which;
        EXPECT_TRUE(output == blocking) << output.size() << " bytes of " << blocking.size();
    }
}

// The same on a terminal, whose texts go out converted, each in as many writes as the terminal takes.
TEST(Streams, ANonBlockingTerminalIsWaitedOn)
{
    std::string input = lost_games(10);
    Terminal terminal({"LANG=C.UTF-8"}, false, FIXED_CLOCK_BINARY, true);
    terminal.type(input);
    std::string expected = crlf(convert(run_piped({}, input, FIXED_CLOCK_BINARY), "CP932", "UTF-8"));
    EXPECT_LT(terminal.wait_for_full(), static_cast<int>(expected.size())) << "the terminal never filled";
    EXPECT_EQ(terminal.wait_exit(), 0);
    EXPECT_TRUE(terminal.screen() == expected) << terminal.screen().size() << " bytes of " << expected.size();
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

// A terminal that has hung up fails every write with EIO: the game says so in one line and exits with status
// 1, neither going on nor writing again and again.  It is not the game's controlling terminal, so no SIGHUP.
TEST(Failures, AWriteToAHungUpTerminalEndsTheGame)
{
    int master = -1;
    int slave = -1;
    int input[2];
    int errors[2];
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(pipe(input), 0);
    ASSERT_EQ(pipe(errors), 0);
    pid_t pid = spawn(HITBLOW_BINARY, {"LANG=C.UTF-8"}, input[0], slave, errors[1], false);
    for (int fd : {slave, input[0], errors[1]})
        close(fd);

    // The menu's prompt, in UTF-8, then the hang-up, then an answer to it.
    std::string screen;
    while (screen.find("難易度:") == std::string::npos && read_some(master, screen, WAIT_MS)) {
    }
    ASSERT_NE(screen.find("難易度:"), std::string::npos) << "no prompt on the terminal";
    close(master);
    ASSERT_EQ(write(input[1], "1\n", 2), 2);
    close(input[1]);

    int status = exit_status(pid); // -1 also when it writes again and again
    std::string said;
    while (read_some(errors[0], said, WAIT_MS)) {
    }
    close(errors[0]);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(said, "hitblow: cannot write to standard output: Input/output error\n");
}

} // namespace
