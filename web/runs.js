// hitblow in a browser: one run of the game after another, shown in the transcript and fed by the keyboard and the keypad.
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

// On a touch screen the keypad is the keyboard: the answer field is given
// the focus only when the player taps the transcript, which opens the
// phone's own keyboard.
const touchScreen = matchMedia('(pointer: coarse)');

const view = document.getElementById('screen');
const keys = document.getElementById('keys'); // where the keyboard types
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

// Resolves after the page has been drawn (or, in a tab that draws nothing,
// soon anyway).
function drawn()
{
    return new Promise((resolve) => {
        requestAnimationFrame(() => setTimeout(resolve, 0));
        setTimeout(resolve, 250);
    });
}

// The tab's session storage, or null where the browser keeps none here.
function sessionStore()
{
    try {
        return globalThis.sessionStorage || null;
    } catch {
        return null;
    }
}

// Gives the answer field the keyboard.  It stands, unseen, at the foot of
// the transcript's view, by the line being typed (page.css).
function focusKeys()
{
    keys.focus({preventScroll: true});
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
    if (!touchScreen.matches)
        focusKeys();

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

// What a key sends when the browser would not put it in the answer field as
// text: Enter, Backspace, Ctrl-D, and Ctrl-C unless text is selected, which
// it then copies, as a terminal in a browser does.  Null for any other key.
function keyData(event)
{
    if (event.isComposing || event.keyCode === 229 || event.altKey || event.metaKey)
        return null; // an input method's key, or the browser's or the system's
    if (event.ctrlKey) {
        const key = event.key.toLowerCase();
        if (key === 'd')
            return '\x04';
        if (key === 'c' && document.getSelection().isCollapsed)
            return '\x03';
        return null;
    }
    return {Enter: '\r', Backspace: '\x7f'}[event.key] || null;
}

// Takes what the answer field holds, as typed: a key's character, an input
// method's committed text, or text dropped or pasted there.
function takeTyped()
{
    const text = keys.value;
    if (text !== '') {
        keys.value = '';
        type(text);
    }
}

// The keyboard types into the answer whatever has the focus, but for the
// page's other controls: a key pressed elsewhere moves the focus there first.
document.addEventListener('keydown', (event) => {
    if (event.target !== keys && event.target.closest('button, summary, a, input, select, textarea'))
        return;
    const data = keyData(event);
    if (data !== null) {
        event.preventDefault();
        type(data);
    }
    if (event.target !== keys && !event.ctrlKey && !event.metaKey && (data !== null || [...event.key].length === 1))
        focusKeys();
});
keys.addEventListener('beforeinput', (event) => {
    // A phone's keyboard may send Enter and Backspace as edits of the field alone.
    const data = {insertLineBreak: '\r', insertParagraph: '\r', deleteContentBackward: '\x7f'}[event.inputType];
    if (data !== undefined && keys.value === '') {
        event.preventDefault();
        type(data);
    }
});
keys.addEventListener('input', (event) => {
    if (!event.isComposing)
        takeTyped();
});
// An input method's text, while it is composed, stands in the line being
// typed, after what was typed before; the game gets it once it is committed.
keys.addEventListener('compositionupdate', (event) => {
    if (run !== null)
        transcript.edit(run.discipline.line + event.data);
});
keys.addEventListener('compositionend', () => {
    takeTyped();
    if (run !== null)
        transcript.edit(run.discipline.line);
});
// A paste is taken whole, as it is: none of its line ends lost to the field.
keys.addEventListener('paste', (event) => {
    const text = event.clipboardData?.getData('text/plain');
    if (text) {
        event.preventDefault();
        type(text);
    }
});
// A tap or click on the transcript, but for one that selects text, gives
// the keyboard to the answer: on a phone, that opens its own keyboard.
view.addEventListener('click', () => {
    if (document.getSelection().isCollapsed)
        focusKeys();
});
startKeypad(document.getElementById('keypad'), (data) => {
    type(data);
    if (!touchScreen.matches)
        focusKeys(); // a keyboard goes on typing into the answer after a click
});
again.addEventListener('click', () => startRun());

// A run this tab had under way before the page was loaded again (a reload,
// a tab the browser discarded and brought back, a crash) goes on where it
// was; one that could not be kept starts afresh, saying so.
{
    const kept = new RunRecord(sessionStore(), location.pathname).load();
    startRun(kept === 'lost' ? null : kept);
    if (kept === 'lost')
        transcript.note(NOT_KEPT);
}
// Once the game is under way: keep the site for offline play.  Where that
// cannot be (a browser without service workers, or one that refuses them
// here), the game plays on all the same.
// The page's policy lets only Trusted Types name a script's address: this
// page names that one alone.
if ('serviceWorker' in navigator) {
    const policy = globalThis.trustedTypes?.createPolicy('hitblow', {
        createScriptURL: (url) => {
            if (url !== 'service_worker.js')
                throw new TypeError(`not this page's script: ${url}`);
            return url;
        },
    });
    const worker = policy ? policy.createScriptURL('service_worker.js') : 'service_worker.js';
    drawn().then(() => navigator.serviceWorker.register(worker)).catch(() => {});
}
