// hitblow in a browser: the runs, one after another, each a fresh module of the game shown in the transcript.
//
// The game (hitblow.js and hitblow.wasm, the console game's sources) talks
// to the page through the contract that src/platform_web.cpp states.  The
// page takes the player's keys from its first frame, and hands them to the
// game once it runs.
'use strict';

// The texts are code page 932, which the Encoding Standard's Shift_JIS
// decodes as the game means it: 0x81 0x60 is "～" U+FF5E, not "〜" U+301C.
const SHIFT_JIS = new TextDecoder('shift_jis');

const view = document.getElementById('view');
const again = document.getElementById('again');
const transcript = new Transcript(document.getElementById('log'), document.getElementById('earlier'), view);

// The tab's session storage, read afresh each time: reading it throws where
// the browser keeps none here.
const storage = () => globalThis.sessionStorage;

// One run of the game, in a module of its own; with `replay`, a record an
// earlier page of the tab left, played again at once and unheard first.
class Run {
    constructor(replay)
    {
        this.over = false;
        this.replay = replay;       // null once the run is the player's
        this.shown = 0;             // how many bytes of the game's text stand on the screen
        this.clock = replay === null ? [] : replay.clock; // seconds to give the game again
        this.record = new RunRecord(storage, location.pathname);
        this.record.hold(replay !== null);
        this.discipline = new LineDiscipline({
            echo: (text) => transcript.echo(text),
            edit: (line) => {
                transcript.edit(line);
                this.record.noteLine(line);
            },
            handed: (text) => this.record.noteInput(this.shown, text),
            interrupt: () => this.end(INTERRUPTED),
        });
        transcript.showCaret(true);
        transcript.silence(replay !== null);
    }

    // Plays the game to its end, then ends the run with the page's word for how it ended.
    async play()
    {
        let status;
        let game = null;
        try {
            game = await createHitblow({
                page: this.page(),
                printErr: (line) => {
                    if (!this.over)
                        transcript.print(line + '\n');
                },
                quit: (code, reason) => { // exit(), after a failed read or write
                    status = code;
                    throw reason;
                },
            });
            status = await game.ccall('main', 'number', ['number', 'number'], [0, 0], {async: true});
        } catch (error) {
            if (status === undefined) { // the module failed: it says why, or this does
                if (game === null)
                    transcript.clear(); // not a menu that takes nothing
                transcript.print(`${error}\n`);
                status = 1;
            }
        }
        this.end(status === 0 ? ENDED : game !== null ? FAILED : NOT_STARTED);
    }

    // The page's side of the game's contract (src/platform_web.cpp).
    page()
    {
        return {
            read: (size) => {
                if (this.replay !== null)
                    this.catchUp();
                if (this.discipline.readyLength() === 0)
                    transcript.placeAll(); // the game waits for the player: what it printed stands now
                return this.discipline.read(size);
            },
            show: (bytes) => {
                if (!this.over) {
                    this.shown += bytes.length;
                    transcript.print(SHIFT_JIS.decode(bytes));
                }
            },
            clock: () => {
                const seconds = this.clock.length > 0 ? this.clock.shift() : Math.floor(Date.now() / 1000);
                this.record.noteClock(seconds);
                return seconds;
            },
        };
    }

    // Hands over the record's pieces that the game had read by where it
    // stands, or the next where it would wait; once all are, the run is the
    // player's again, with the line being typed.
    catchUp()
    {
        const input = this.replay.input;
        while (input.length > 0 && (input[0][0] <= this.shown || this.discipline.readyLength() === 0))
            this.discipline.replay(input.shift()[1]);
        if (input.length === 0) {
            const {line} = this.replay;
            this.replay = null;
            transcript.silence(false);
            this.record.hold(false);
            this.discipline.type(line);
        }
    }

    // Ends the run, once, with the page's `word` after the game's last line.
    end(word)
    {
        if (this.over)
            return;
        this.over = true;
        run = null;
        this.record.forget();
        transcript.silence(false);
        transcript.showCaret(false);
        transcript.edit('');
        transcript.note(word);
        transcript.then(() => { again.hidden = false; });
    }
}

let run = null; // the run under way, or null between runs

// Starts a run on the transcript as it stands, with nothing of an earlier
// one but what `replay` holds.
function startRun(replay = null)
{
    run = new Run(replay);
    again.hidden = true;
    keyboard.offer();
    run.play();
}

// Keys, pastes and taps all go through the run's line discipline; between
// runs, Enter starts the next.
function type(data)
{
    if (run === null) {
        if (data === '\r')
            newRun();
    } else if (run.replay === null) {
        run.discipline.type(data);
    }
}

const keyboard = new Keyboard(document.getElementById('answer'), view, {
    type,
    // An input method's text stands in the line being typed while it is composed.
    compose: (text) => {
        if (run !== null)
            transcript.edit(run.discipline.line + text);
    },
});
startKeypad(document.getElementById('keypad'), (data) => {
    type(data);
    keyboard.offer(); // a keyboard goes on typing into the answer after a click
});
// Starts a run on a clean transcript.
function newRun()
{
    transcript.clear();
    startRun();
}
again.addEventListener('click', newRun);

// A fresh run starts on the first screen, which the page's HTML holds. A
// run this tab had under way before a reload (or a discarded tab brought
// back, or a crash) goes on where it was, the first screen never drawn;
// one that could not be kept starts afresh, saying so.  Then the page is
// ready to be drawn (page.css), the keys and the keypad taken.
{
    const kept = new RunRecord(storage, location.pathname).load();
    if (kept !== null)
        transcript.clear();
    document.documentElement.classList.add('ready');
    startRun(kept === 'lost' ? null : kept);
    if (kept === 'lost')
        transcript.note(NOT_KEPT);
    registerWorker();
}
