// hitblow in a browser: the line discipline, which turns keys, taps and pastes into the game's input as a terminal's cooked mode does.
'use strict';

// The most characters a line holds, as in a Linux terminal: more are dropped unechoed.
const MAX_LINE = 4095;

// How long the game may read without letting the page take its turn, so
// that a key is answered at once even while megabytes of a paste are read.
const READ_SLICE_MS = 8;

// The characters the line discipline acts on; every other character below
// a space (a tab among them) is dropped.
const SPECIAL = /[\x00-\x1f\x7f]/g;
// A character outside the Basic Multilingual Plane takes two code units, a
// high surrogate and a low one; either alone is a character of its own.
const PAIR_AT_END = /[\ud800-\udbff][\udc00-\udfff]$/;

// A terminal's line discipline: typed or pasted characters gather into a
// line, Backspace takes back the last, Enter (CR or LF) hands the line over
// with a line feed, Ctrl-D hands it over as it stands or, on an empty line,
// ends the input, and Ctrl-C interrupts.  It knows nothing of the page: it
// tells `edit(line)` the line being typed, `echo(text)` what of the typing
// stays on the screen (at Ctrl-C the line cut off and "^C\n"), `handed(text)`
// what the game will read, and calls `interrupt()` at Ctrl-C.
class LineDiscipline {
    constructor({echo, edit, interrupt, handed = () => {}})
    {
        this.echo = echo;
        this.edit = edit;
        this.interrupt = interrupt;
        this.handed = handed;
        this.line = '';       // what was typed since the last line was handed over
        this.ready = [];      // byte chunks handed over and not yet read, oldest first
        this.readyAt = 0;     // how much of ready[0] has been read
        this.ended = false;   // the input has ended
        this.wake = () => {}; // lets a waiting read go on
        this.encoder = new TextEncoder();
        this.lastYield = null; // when a read last let the page take its turn
    }

    // Takes what the keyboard, the keypad or a paste sends: one key's
    // characters, or a whole paste.
    type(data)
    {
        let handed = ''; // what this call hands over, which is also its echo
        SPECIAL.lastIndex = 0;
        for (let from = 0; ;) {
            const found = SPECIAL.test(data); // moves lastIndex past the character found
            const to = found ? SPECIAL.lastIndex - 1 : data.length;
            this.add(data.slice(from, to));
            if (!found)
                break;
            from = to + 1;
            const control = data[to];
            if (control === '\r' || control === '\n') {
                handed += this.takeLine() + '\n';
            } else if (control === '\x7f' || control === '\b') { // takes back the last character
                this.line = this.line.slice(0, PAIR_AT_END.test(this.line) ? -2 : -1);
            } else if (control === '\x04') {
                if (this.line === '')
                    this.ended = true;
                handed += this.takeLine();
            } else if (control === '\x03') {
                this.echo(handed + this.takeLine() + '^C\n');
                this.edit('');
                this.interrupt();
                return;
            }
        }
        this.handOver(handed, handed);
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
        this.line += text;
        let end = 0; // where its first MAX_LINE characters end
        let characters = 0;
        for (const character of this.line) {
            if (characters++ === MAX_LINE)
                break;
            end += character.length;
        }
        this.line = this.line.slice(0, end);
    }

    // Returns the line and starts a new one.
    takeLine()
    {
        const line = this.line;
        this.line = '';
        return line;
    }

    // Resolves to at most `size` bytes of what was handed over, waiting for
    // a line if there is none; to no bytes at the end of input.
    async read(size)
    {
        this.lastYield ??= performance.now(); // the page had its turns while the game started
        while (this.ready.length === 0 && !this.ended) {
            await new Promise((resolve) => { this.wake = resolve; });
            this.lastYield = performance.now(); // and while the read waited
        }
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
