// hitblow in a browser: the terminal's line discipline, the game's texts decoded for it, and one run after another.
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

// How many columns a character takes on the terminal: 2 for the wide ones of
// East Asian scripts (kanji, kana, full-width forms, Hangul), else 1.
function columns(character)
{
    const c = character.codePointAt(0);
    const wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c !== 0x303F) ||
        (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
        (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

// A console's line discipline, as a program reading its standard input gets
// it: typed characters are echoed and gathered into a line, Backspace takes
// back the last one (both columns of a wide one), and Enter hands the line
// over with its line feed.  Pasted text is taken as if typed.  Text typed
// before the game asks for it waits for it.  Ctrl-D hands over the line as it
// stands, or, on an empty line, ends the input; Ctrl-C interrupts the run.
class LineDiscipline {
    constructor(term, interrupt)
    {
        this.term = term;
        this.interrupt = interrupt;
        this.line = [];       // characters typed since the last line was handed over
        this.ready = [];      // bytes handed over and not yet read
        this.ended = false;   // the input has ended
        this.wake = () => {}; // lets a waiting read go on
        this.encoder = new TextEncoder();
    }

    // Takes what the keyboard or a paste sends.
    type(data)
    {
        if (data.startsWith('\x1b'))
            return; // an arrow or function key: no line editing beyond Backspace
        for (const character of data) {
            if (character === '\r' || character === '\n') {
                this.term.write('\r\n');
                this.handOver(this.line.join('') + '\n');
            } else if (character === '\x7f' || character === '\b') {
                this.erase();
            } else if (character === '\x04') {
                if (this.line.length === 0)
                    this.ended = true;
                this.handOver(this.line.join(''));
            } else if (character === '\x03') {
                this.term.write('^C\r\n');
                this.interrupt();
                return;
            } else if (character >= ' ') {
                this.line.push(character);
                this.term.write(character);
            }
        }
    }

    erase()
    {
        const character = this.line.pop();
        if (character === undefined)
            return;
        // Back over its columns, and clear from there to the end of the line.
        this.term.write('\b'.repeat(columns(character)) + '\x1b[K');
    }

    handOver(text)
    {
        this.line = [];
        this.ready.push(...this.encoder.encode(text));
        this.wake();
    }

    // Resolves to at most `size` bytes of what was handed over, waiting for
    // a line if there is none; to no bytes at the end of input.
    async read(size)
    {
        while (this.ready.length === 0 && !this.ended)
            await new Promise((resolve) => { this.wake = resolve; });
        return Uint8Array.from(this.ready.splice(0, size));
    }
}

const screen = document.getElementById('terminal');
const status = document.getElementById('status');
const again = document.getElementById('again');

// The screen reader mode keeps the screen's text in an accessibility tree too:
// the DOM renderer's rows are hidden from screen readers.
const term = new Terminal({convertEol: true, cursorBlink: true, fontSize: 16, scrollback: 10000, screenReaderMode: true});
const fit = new FitAddon.FitAddon();
term.loadAddon(fit);
term.open(screen);
// The terminal fills what the window leaves it, also when the lines below
// it come and go.
new ResizeObserver(() => fit.fit()).observe(screen);

let run = null; // the run under way, or null between runs

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
    thisRun.discipline = new LineDiscipline(term, () => end('中断しました。 / The run was interrupted.'));
    run = thisRun;
    status.textContent = '';
    again.hidden = true;
    // A full reset, queued after whatever the last run wrote that the
    // terminal has not yet shown (term.reset() would come before it).
    term.write('\x1bc');
    term.focus();

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

term.onData((data) => {
    if (run !== null)
        run.discipline.type(data);
    else if (data === '\r')
        startRun();
});
again.addEventListener('click', () => startRun());
startRun();
