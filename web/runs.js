// hitblow in a browser: the runs, one after another, each a fresh module of the game shown in the transcript.
//
// The game (hitblow.js and hitblow.wasm, built from the same sources as the
// console game) talks to this page through the `page` object it is given;
// src/platform_web.cpp states that contract.
'use strict';

// The texts are code page 932.  The browser's Shift_JIS decoder (the
// Encoding Standard's) maps the pairs they hold as code page 932 does: 0x81
// 0x60 is the full-width tilde U+FF5E of "1～10", not the wave dash U+301C of
// JIS X 0208.
const SHIFT_JIS = new TextDecoder('shift_jis');

const view = document.getElementById('view');
const again = document.getElementById('again');
const transcript = new Transcript(document.getElementById('log'), document.getElementById('earlier'), view);

// What the page says when a run ends, by how it ended.
const ENDED = 'ゲームを終了しました。Enterキーか「新しいゲーム」で、もう一度遊べます。 / ' +
    'The game has ended. Press Enter or New run to play again.';
const INTERRUPTED = '中断しました。 / The run was interrupted.';
const FAILED = 'エラーでゲームが止まりました。理由はすぐ上の行にあります。 / ' +
    'The game stopped on an error: the line above says why.';
const NOT_KEPT = '前のゲームは残せなかったため、新しく始めます。 / The run under way could not be kept, so a new one starts.';

let run = null; // the run under way, or null between runs

// The tab's session storage, or null where the browser keeps none here.
function sessionStore()
{
    try {
        return globalThis.sessionStorage || null;
    } catch {
        return null;
    }
}

// Starts a run in a new module, with nothing of an earlier one.  With
// `replay`, a record that an earlier page of this tab left (record.js), the
// run is first played again from it, at once and unheard, to the screen
// that page showed, and goes on from there.
async function startRun(replay = null)
{
    const record = new RunRecord(sessionStore(), location.pathname);
    const thisRun = {over: false, replaying: replay !== null};
    let shown = 0; // how many bytes of the game's text stand on the screen
    const input = replay === null ? [] : [...replay.input];
    const clock = replay === null ? [] : [...replay.clock];
    const end = (text) => {
        if (thisRun.over)
            return;
        thisRun.over = true;
        run = null;
        record.forget();
        transcript.silence(false);
        transcript.showCaret(false);
        transcript.edit('');
        transcript.note(text);
        transcript.then(() => { again.hidden = false; });
    };
    // Hands over what the record holds up to where the game stands: it
    // reads what was handed over after as much of its text as it has shown,
    // and, where it would wait, the next piece.  Once all is handed over,
    // the run is the player's again, with the line they were typing.
    const catchUp = () => {
        const discipline = thisRun.discipline;
        while (input.length > 0 && (input[0][0] <= shown || discipline.readyLength() === 0))
            discipline.replay(input.shift()[1]);
        if (input.length === 0) {
            thisRun.replaying = false;
            transcript.silence(false);
            record.hold(false);
            discipline.type(replay.line);
        }
    };
    thisRun.discipline = new LineDiscipline({
        echo: (text) => transcript.echo(text),
        edit: (line) => {
            transcript.edit(line);
            record.noteLine(line);
        },
        handed: (text) => record.noteInput(shown, text),
        interrupt: () => end(INTERRUPTED),
    });
    run = thisRun;
    again.hidden = true;
    transcript.clear();
    transcript.showCaret(true);
    transcript.silence(thisRun.replaying);
    // The record starts from nothing: an earlier page's run is noted anew
    // as it is played again, and kept once it stands whole.
    record.hold(thisRun.replaying);
    keyboard.offer();

    let status;
    try {
        const game = await createHitblow({
            page: {
                read: (size) => {
                    if (thisRun.replaying)
                        catchUp();
                    return thisRun.discipline.read(size);
                },
                show: (bytes) => {
                    if (!thisRun.over) {
                        shown += bytes.length;
                        transcript.print(SHIFT_JIS.decode(bytes));
                    }
                },
                clock: () => {
                    const seconds = clock.length > 0 ? clock.shift() : Math.floor(Date.now() / 1000);
                    record.noteClock(seconds);
                    return seconds;
                },
            },
            printErr: (line) => transcript.print(line + '\n'),
            quit: (code, reason) => { // exit(), after a failed read or write
                status = code;
                throw reason;
            },
        });
        status = await game.ccall('main', 'number', ['number', 'number'], [0, 0], {async: true});
    } catch (error) {
        if (status === undefined) { // the module failed: it says why, or this does
            transcript.print(`${error}\n`);
            status = 1;
        }
    }
    end(status === 0 ? ENDED : FAILED);
}

// Keys, pastes and taps all go through the run's line discipline; between
// runs, Enter starts the next.
function type(data)
{
    if (run === null) {
        if (data === '\r')
            startRun();
    } else if (!run.replaying) {
        run.discipline.type(data);
    }
}

const keyboard = new Keyboard(document.getElementById('answer'), view, {
    type,
    // An input method's text, while it is composed, stands in the line being
    // typed, after what was typed before; the game gets it once it is committed.
    compose: (text) => {
        if (run !== null)
            transcript.edit(run.discipline.line + text);
    },
});
startKeypad(document.getElementById('keypad'), (data) => {
    type(data);
    keyboard.offer(); // a keyboard goes on typing into the answer after a click
});
again.addEventListener('click', () => startRun());

// A run this tab had under way before the page was loaded again (a reload,
// a tab the browser discarded and brought back, a crash) goes on where it
// was; one that could not be kept starts afresh, saying so.  Once it is
// under way, the site is kept for offline play.
{
    const kept = new RunRecord(sessionStore(), location.pathname).load();
    startRun(kept === 'lost' ? null : kept);
    if (kept === 'lost')
        transcript.note(NOT_KEPT);
    registerWorker();
}
