// hitblow in a browser: one run of the game after another, shown in the transcript and fed by the keyboard and the keypad.
//
// The game (hitblow.js and hitblow.wasm, built from the same sources as the
// console game) talks to this page through the `terminal` object it is
// given; src/platform_web.cpp states that contract.
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
const status = document.getElementById('status');
const again = document.getElementById('again');
const transcript = new Transcript(document.getElementById('transcript'), view);

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

// Gives the answer field the keyboard.  It stands, unseen, at the foot of
// the transcript's view, by the line being typed (page.css).
function focusKeys()
{
    keys.focus({preventScroll: true});
}

// Starts the game afresh: a new module, with nothing of an earlier run.
async function startRun()
{
    const thisRun = {over: false};
    const end = async (text) => {
        if (thisRun.over)
            return;
        thisRun.over = true;
        run = null;
        transcript.flush();
        transcript.showCaret(false);
        // Said once the game's last line is on the page, so that a screen
        // reader reads the two in that order.
        await drawn();
        status.textContent = text;
        again.hidden = false;
        if (document.activeElement === keys || document.activeElement === document.body)
            again.focus();
    };
    const finish = (code) => end(`ゲームは終了ステータス${code}で終わりました。 / The run has ended with exit status ${code}.`);
    thisRun.discipline = new LineDiscipline({
        echo: (text) => transcript.echo(text),
        edit: (line) => transcript.edit(line),
        interrupt: () => end('中断しました。 / The run was interrupted.'),
    });
    run = thisRun;
    status.textContent = '';
    again.hidden = true;
    transcript.clear();
    transcript.showCaret(true);
    if (!touchScreen.matches)
        focusKeys();

    const game = await createHitblow({
        terminal: {
            read: (size) => thisRun.discipline.read(size),
            show: (bytes) => {
                if (!thisRun.over)
                    transcript.print(SHIFT_JIS.decode(bytes));
            },
        },
        printErr: (line) => transcript.print(line + '\n'),
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
// The keypad's script comes last, as the first prompt needs none of it: of
// the six files a browser fetches at once from a host, none waits for it.
document.addEventListener('DOMContentLoaded', () => startKeypad(document.getElementById('keypad'), (data) => {
    type(data);
    if (!touchScreen.matches)
        focusKeys(); // a keyboard goes on typing into the answer after a click
}));
again.addEventListener('click', () => startRun());

startRun();
// Once the game is under way: keep the site for offline play.  Where that
// cannot be (a browser without service workers, or one that refuses them
// here), the game plays on all the same.
if ('serviceWorker' in navigator)
    drawn().then(() => navigator.serviceWorker.register('service_worker.js')).catch(() => {});
