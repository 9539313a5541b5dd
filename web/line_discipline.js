// hitblow in a browser: the terminal's line discipline, which turns keys, taps and pastes into the game's input.
'use strict';

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

// The most characters a line holds, as in a Linux terminal's canonical mode:
// 4,095 and the line feed.  Characters typed past them are dropped unechoed.
const MAX_LINE = 4095;

// How long the game may read without letting the page take its turn: a
// player's key must be answered at once even while the game works through
// megabytes of pasted input.
const READ_SLICE_MS = 8;

// The characters the line discipline acts on; every other character below
// a space (a tab among them) is dropped.
const SPECIAL = /[\x00-\x1f\x7f]/g;
// A character outside the Basic Multilingual Plane takes two code units.
const SURROGATE = /[\ud800-\udfff]/;
// Text with nothing for the line discipline to do but gather lines: no
// character it acts on but line ends, and none of two code units.
const PLAIN = /^[^\x00-\x09\x0b\x0c\x0e-\x1f\x7f\ud800-\udfff]*$/;
const OVERLONG = new RegExp(`[^\\r\\n]{${MAX_LINE + 1}}`);

// A console's line discipline, as a program reading its standard input gets
// it: typed characters are echoed and gathered into a line, Backspace takes
// back the last one (both columns of a wide one), and Enter hands the line
// over with its line feed.  Pasted text is taken as if typed, and echoed in
// one write.  Text typed before the game asks for it waits for it.  Ctrl-D
// hands over the line as it stands, or, on an empty line, ends the input;
// Ctrl-C interrupts the run.
class LineDiscipline {
    // `write(text)` puts text on the terminal; `interrupt()` ends the run;
    // `kept()` tells how many lines the terminal keeps, on the screen and
    // above it.
    constructor(write, interrupt, kept)
    {
        this.write = write;
        this.interrupt = interrupt;
        this.kept = kept;
        this.line = '';       // what was typed since the last line was handed over
        this.count = 0;       // how many characters that is
        this.ready = [];      // byte chunks handed over and not yet read, oldest first
        this.readyAt = 0;     // how much of ready[0] has been read
        this.ended = false;   // the input has ended
        this.wake = () => {}; // lets a waiting read go on
        this.encoder = new TextEncoder();
        this.lastYield = 0;   // when a read last let the page take its turn
    }

    // Takes what the keyboard, the keypad or a paste sends: one key's
    // characters, or a whole paste.
    type(data)
    {
        if (data.startsWith('\x1b'))
            return; // an arrow or function key: no line editing beyond Backspace
        if (this.typePlain(data))
            return;
        let echo = '';
        const handed = []; // the lines handed over by this call, in order
        SPECIAL.lastIndex = 0;
        for (let from = 0; from < data.length;) {
            const match = SPECIAL.exec(data);
            const to = match === null ? data.length : match.index;
            echo += this.add(data.slice(from, to));
            if (match === null)
                break;
            from = to + 1;
            const control = match[0];
            if (control === '\r' || control === '\n') {
                echo += '\r\n';
                handed.push(this.takeLine() + '\n');
            } else if (control === '\x7f' || control === '\b') {
                echo += this.erase();
            } else if (control === '\x04') {
                if (this.count === 0)
                    this.ended = true;
                handed.push(this.takeLine());
            } else if (control === '\x03') {
                this.write(echo + '^C\r\n');
                this.interrupt();
                return;
            }
        }
        if (echo !== '')
            this.write(echo);
        const text = handed.join('');
        if (text !== '')
            this.ready.push(this.encoder.encode(text));
        if (handed.length > 0)
            this.wake();
    }

    // Takes `data` at once, as type() would, when it is plain text whose
    // lines all fit: a paste of whole lines, say, however many.  Returns
    // false, having done nothing, for anything else.
    typePlain(data)
    {
        const text = data.includes('\n') ? data.split('\n').join('\r') : data; // both end a line
        const firstEnd = text.indexOf('\r');
        const first = firstEnd < 0 ? text.length : firstEnd;
        if (!PLAIN.test(text) || first > MAX_LINE - this.count || OVERLONG.test(text))
            return false;
        const lines = text.split('\r');
        // Lines that would scroll out of what the terminal keeps are not
        // echoed: they would never be seen, and writing them would hold up
        // the page for as long as a megabyte of short lines takes to scroll.
        const kept = this.kept();
        this.write(lines.length <= kept ? lines.join('\r\n') : '\r\n' + lines.slice(-kept).join('\r\n'));
        const rest = lines.pop();
        if (lines.length > 0) {
            lines[0] = this.line + lines[0];
            lines.push('');
            this.ready.push(this.encoder.encode(lines.join('\n')));
            this.line = '';
            this.count = 0;
        }
        this.line += rest;
        this.count += rest.length;
        if (lines.length > 0)
            this.wake();
        return true;
    }

    // Adds the printable characters of `text` to the line, as many as it has
    // room for, and returns their echo.
    add(text)
    {
        if (text.length <= MAX_LINE - this.count && !SURROGATE.test(text)) {
            this.line += text;
            this.count += text.length;
            return text;
        }
        let taken = '';
        for (const character of text) {
            if (this.count === MAX_LINE)
                break;
            taken += character;
            this.count++;
        }
        this.line += taken;
        return taken;
    }

    // Takes back the last character of the line, and returns the echo that
    // backs over its columns and clears from there to the end of the line.
    erase()
    {
        if (this.count === 0)
            return '';
        const pair = this.line.length >= 2 && SURROGATE.test(this.line.slice(-2, -1));
        const character = this.line.slice(pair ? -2 : -1);
        this.line = this.line.slice(0, -character.length);
        this.count--;
        return '\b'.repeat(columns(character)) + '\x1b[K';
    }

    // Returns the line and starts a new one.
    takeLine()
    {
        const line = this.line;
        this.line = '';
        this.count = 0;
        return line;
    }

    // Resolves to at most `size` bytes of what was handed over, waiting for
    // a line if there is none; to no bytes at the end of input.
    async read(size)
    {
        while (this.ready.length === 0 && !this.ended)
            await new Promise((resolve) => { this.wake = resolve; });
        if (performance.now() - this.lastYield > READ_SLICE_MS) {
            await new Promise((resolve) => setTimeout(resolve, 0));
            this.lastYield = performance.now();
        }
        const bytes = new Uint8Array(Math.min(size, this.readyLength()));
        for (let filled = 0; filled < bytes.length;) {
            const chunk = this.ready[0];
            const part = chunk.subarray(this.readyAt, this.readyAt + bytes.length - filled);
            bytes.set(part, filled);
            filled += part.length;
            this.readyAt += part.length;
            if (this.readyAt === chunk.length) {
                this.ready.shift();
                this.readyAt = 0;
            }
        }
        return bytes;
    }

    // How many bytes wait to be read.
    readyLength()
    {
        return this.ready.reduce((sum, chunk) => sum + chunk.length, -this.readyAt);
    }
}
