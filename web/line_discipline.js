// hitblow in a browser: the line discipline, which turns keys, taps and pastes into the game's input as a terminal's cooked mode does.
'use strict';

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
// A character outside the Basic Multilingual Plane takes two code units, a
// high surrogate and a low one; either alone is a character of its own.
const PAIR_AT_END = /[\ud800-\udbff][\udc00-\udfff]$/;
// Text with nothing for the line discipline to do but gather lines: no
// character it acts on but line ends, and none of two code units.
const PLAIN = /^[^\x00-\x09\x0b\x0c\x0e-\x1f\x7f\ud800-\udfff]*$/;
const OVERLONG = new RegExp(`[^\\r\\n]{${MAX_LINE + 1}}`);

// A terminal's line discipline, as a program reading its standard input gets
// it: typed characters are gathered into a line, Backspace takes back the
// last character, and Enter (CR or LF) hands the line over with a line feed.
// Pasted text is taken as if typed.  Text typed before the game asks for it
// waits for it.  Ctrl-D hands over the line as it stands, or, on an empty
// line, ends the input; Ctrl-C interrupts the run.
//
// It knows nothing of the page.  It tells `edit(line)` what the line being
// typed now is; `echo(text)` what of the typing stays on the screen, as a
// terminal's echo leaves it: each line handed over, with "\n" where Enter
// ended it and none where Ctrl-D did, and at Ctrl-C the line cut off and
// "^C\n"; `handed(text)` what the game will read, as it is handed over; and
// calls `interrupt()` at Ctrl-C.
class LineDiscipline {
    constructor({echo, edit, interrupt, handed = () => {}})
    {
        this.echo = echo;
        this.edit = edit;
        this.interrupt = interrupt;
        this.handed = handed;
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
        if (this.typePlain(data))
            return;
        let echo = '';
        const handed = []; // the text handed over by this call, in order
        SPECIAL.lastIndex = 0;
        for (let from = 0; ;) {
            const match = SPECIAL.exec(data);
            const to = match === null ? data.length : match.index;
            this.add(data.slice(from, to));
            if (match === null)
                break;
            from = to + 1;
            const control = match[0];
            if (control === '\r' || control === '\n') {
                const line = this.takeLine() + '\n';
                echo += line;
                handed.push(line);
            } else if (control === '\x7f' || control === '\b') {
                this.erase();
            } else if (control === '\x04') {
                if (this.count === 0)
                    this.ended = true;
                const line = this.takeLine();
                echo += line;
                handed.push(line);
            } else if (control === '\x03') {
                this.echo(echo + this.takeLine() + '^C\n');
                this.edit('');
                this.interrupt();
                return;
            }
        }
        this.handOver(echo, handed.join(''));
    }

    // Takes `data` at once, as type() would, when it is plain text whose
    // lines all fit: a paste of whole lines, say, however many.  Returns
    // false, having done nothing, for anything else.
    typePlain(data)
    {
        const text = data.replaceAll('\n', '\r'); // both end a line
        const firstEnd = text.indexOf('\r');
        const first = firstEnd < 0 ? text.length : firstEnd;
        if (!PLAIN.test(text) || first > MAX_LINE - this.count || OVERLONG.test(text))
            return false;
        const lines = text.split('\r');
        const rest = lines.pop();
        let handed = '';
        if (lines.length > 0) {
            lines[0] = this.takeLine() + lines[0];
            handed = lines.join('\n') + '\n';
        }
        this.line += rest;
        this.count += rest.length;
        this.handOver(handed, handed);
        return true;
    }

    // Hands `text` over again, as it was handed over before, with its echo:
    // a run brought back after a reload.  The line being typed is left as it is.
    replay(text)
    {
        this.handOver(text, text);
    }

    // Shows what was handed over and the line now typed, and hands `text`
    // to the game.
    handOver(echo, text)
    {
        if (echo !== '')
            this.echo(echo);
        this.edit(this.line);
        if (text !== '') {
            this.handed(text);
            this.ready.push(this.encoder.encode(text));
        }
        this.wake(); // a read that waits looks again
    }

    // Adds the characters of `text` to the line, as many as it has room for.
    add(text)
    {
        let taken = '';
        for (const character of text) {
            if (this.count === MAX_LINE)
                break;
            taken += character;
            this.count++;
        }
        this.line += taken;
    }

    // Takes back the last character of the line, both code units of one
    // outside the Basic Multilingual Plane.
    erase()
    {
        if (this.count === 0)
            return;
        this.line = this.line.slice(0, PAIR_AT_END.test(this.line) ? -2 : -1);
        this.count--;
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
