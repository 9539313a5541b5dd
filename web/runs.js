// hitblow in a browser: the terminal on the page, sized to fit, and one run of the game after another.
//
// The game (hitblow.js and hitblow.wasm, built from the same sources as the
// console game) reads and writes through the `terminal` object it is given:
// read(size) waits for a line the player has typed and hands over its bytes,
// UTF-8 as a UTF-8 terminal sends them (none at the end of input); show(bytes)
// writes one of the game's texts, Shift-JIS bytes, on the screen.
'use strict';

// The texts are code page 932.  The browser's Shift_JIS decoder (the
// Encoding Standard's) maps the pairs they hold as code page 932 does: 0x81
// 0x60 is the full-width tilde U+FF5E of "1～10", not the wave dash U+301C of
// JIS X 0208.
const SHIFT_JIS = new TextDecoder('shift_jis');

// The widest line the game prints, in columns: the refused level's message,
// 28 wide characters.  The font is made small enough for it to fit the
// screen's width, so that no line of the game's ever wraps, and no larger
// than FONT_SIZE.
const WIDEST_LINE = 56;
const FONT_SIZE = 16;
const SMALLEST_FONT_SIZE = 8;

// Monospace fonts with Japanese in them first, as phones and desktops carry
// them, so that kana and kanji take two columns exactly as on a terminal.
const FONTS = '"Noto Sans Mono CJK JP", "Source Han Mono", "BIZ UDGothic", "MS Gothic", "Osaka-Mono", ' +
    '"Sarasa Mono J", Menlo, Consolas, "DejaVu Sans Mono", monospace';

// On a touch screen the terminal is not given the focus, which would open the
// phone's own keyboard over the keypad.
const touchScreen = matchMedia('(pointer: coarse)');

const screen = document.getElementById('terminal');
const status = document.getElementById('status');
const again = document.getElementById('again');

// The screen reader mode keeps the screen's text in an accessibility tree too:
// the DOM renderer's rows are hidden from screen readers.
const term = new Terminal({convertEol: true, cursorBlink: true, fontFamily: FONTS, fontSize: FONT_SIZE,
                           scrollback: 10000, screenReaderMode: true});
const fit = new FitAddon.FitAddon();
term.loadAddon(fit);
term.open(screen);

// Sizes the font for the space the terminal has, then fills that space.
function fitScreen()
{
    term.options.fontSize = FONT_SIZE;
    const size = fit.proposeDimensions();
    if (size !== undefined && size.cols < WIDEST_LINE) {
        term.options.fontSize = Math.max(SMALLEST_FONT_SIZE, Math.floor(2 * FONT_SIZE * size.cols / WIDEST_LINE) / 2);
        for (let next; (next = fit.proposeDimensions()) !== undefined && next.cols < WIDEST_LINE &&
             term.options.fontSize > SMALLEST_FONT_SIZE;)
            term.options.fontSize -= 0.5;
    }
    fit.fit();
}
// The terminal fills what the window leaves it, also when the lines below
// it come and go.
new ResizeObserver(fitScreen).observe(screen);

let run = null; // the run under way, or null between runs

// Gives the terminal the keyboard.  On a touch screen, where the keypad is
// the keyboard, the terminal only shows its cursor: focused for a moment, as
// it must be to show it, with the phone's own keyboard asked not to open.
function focusTerminal()
{
    if (!touchScreen.matches) {
        term.focus();
        return;
    }
    term.textarea.inputMode = 'none';
    term.focus();
    term.blur();
}

// Starts the game afresh: a new module, with nothing of an earlier run.
async function startRun()
{
    const thisRun = {over: false};
    const end = (text) => {
        if (thisRun.over)
            return;
        thisRun.over = true;
        run = null;
        status.textContent = text;
        again.hidden = false;
        again.focus();
    };
    const finish = (code) => end(`ゲームは終了ステータス${code}で終わりました。 / The run has ended with exit status ${code}.`);
    thisRun.discipline = new LineDiscipline((text) => term.write(text),
                                            () => end('中断しました。 / The run was interrupted.'),
                                            () => term.options.scrollback + term.rows);
    run = thisRun;
    status.textContent = '';
    again.hidden = true;
    // A full reset, queued after whatever the last run wrote that the
    // terminal has not yet shown (term.reset() would come before it).
    term.write('\x1bc');
    focusTerminal();

    const game = await createHitblow({
        terminal: {
            read: (size) => thisRun.discipline.read(size),
            show: (bytes) => {
                if (!thisRun.over)
                    term.write(SHIFT_JIS.decode(bytes));
            },
        },
        printErr: (line) => term.write(line + '\n'),
        quit: (code, reason) => { // exit(), after a failed read or write
            finish(code);
            throw reason;
        },
    });
    finish(await game.ccall('main', 'number', ['number', 'number'], [0, 0], {async: true}));
}

// Keys, pastes and taps all go through the run's line discipline; between
// runs, Enter starts the next.
function type(data)
{
    if (run !== null)
        run.discipline.type(data);
    else if (data === '\r')
        startRun();
}

term.onData(type);
// A tap is input as a key is: it also brings the screen back down to the
// line being typed.
startKeypad(document.getElementById('keypad'), (data) => {
    term.input(data);
    if (!touchScreen.matches)
        term.focus(); // a keyboard goes on typing into the terminal after a click
});
again.addEventListener('click', () => startRun());
startRun();
