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

// The terminal's font size, columns and rows for a space of `width` by
// `height` pixels: the largest size up to FONT_SIZE at which WIDEST_LINE
// columns fit the width.  They are found from a character of the font as the
// browser draws it, measured as the terminal measures it, but before there
// is a terminal: made at the right size, it is laid out once rather than
// again and again.
function estimatedSize(width, height)
{
    const context = document.createElement('canvas').getContext('2d');
    context.font = `${FONT_SIZE}px ${FONTS}`;
    const metrics = context.measureText('W');
    const fontSize = Math.max(SMALLEST_FONT_SIZE,
                              Math.min(FONT_SIZE, Math.floor(2 * FONT_SIZE * width / (WIDEST_LINE * metrics.width)) / 2));
    const scale = fontSize / FONT_SIZE;
    const lineHeight = (metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent) * scale;
    return {
        fontSize,
        cols: Math.max(WIDEST_LINE, Math.floor(width / (metrics.width * scale))),
        rows: Math.max(1, Math.floor(height / lineHeight)),
    };
}

let term = null; // the terminal, once the page has loaded it
let fit = null;  // the addon that fits it to its space

// Sizes the font for the space the terminal has, then fills that space.
// The terminal is shown once it has its size: rows that moved into place
// while the player looked on would make the page jump.
let fittedTo = ''; // the size of the space the terminal was last fitted to
function fitScreen()
{
    const space = `${screen.clientWidth}x${screen.clientHeight}`;
    if (space === fittedTo)
        return; // each fitting costs a layout of the whole terminal
    fittedTo = space;
    const setFontSize = (size) => {
        if (term.options.fontSize !== size)
            term.options.fontSize = size;
    };
    let {fontSize} = estimatedSize(screen.clientWidth, screen.clientHeight);
    setFontSize(fontSize);
    for (let size; (size = fit.proposeDimensions()) !== undefined && size.cols < WIDEST_LINE &&
         fontSize > SMALLEST_FONT_SIZE;) {
        // The columns shrink in proportion to the font, give or take the
        // rounding of a character's width to whole device pixels.
        const proportional = Math.floor(2 * fontSize * size.cols / WIDEST_LINE) / 2;
        fontSize = Math.max(SMALLEST_FONT_SIZE, Math.min(fontSize - 0.5, proportional));
        setFontSize(fontSize);
    }
    fit.fit();
    screen.classList.add('fitted');
}

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

// The scripts the page runs, in order, after this one.  index.html has the
// browser fetch them at once, and they are run only once the page has been
// drawn: the player sees it at once, and the work comes after.
const SCRIPTS = ['xterm.js', 'addon-fit.js', 'hitblow.js', 'line_discipline.js', 'keypad.js'];

function loadScript(src)
{
    return new Promise((resolve, reject) => {
        const script = document.createElement('script');
        script.src = src;
        script.onload = resolve;
        script.onerror = () => reject(new Error(`${src} did not load`));
        document.head.append(script);
    });
}

// Resolves in a task of its own, so that the page can take its turn between
// two pieces of work.
function nextTask()
{
    return new Promise((resolve) => setTimeout(resolve, 0));
}

// Resolves after the page has been drawn (or, in a tab that draws nothing,
// soon anyway).
function drawn()
{
    return new Promise((resolve) => {
        requestAnimationFrame(() => setTimeout(resolve, 0));
        setTimeout(resolve, 250);
    });
}

// Loads the terminal and the game, sets the terminal up, and starts the first
// run, one piece of work at a time.
async function startPage()
{
    await drawn();
    for (const src of SCRIPTS)
        await loadScript(src);
    // The screen reader mode keeps the screen's text in an accessibility
    // tree too: the DOM renderer's rows are hidden from screen readers.
    term = new Terminal({convertEol: true, cursorBlink: true, fontFamily: FONTS, scrollback: 10000,
                         screenReaderMode: true, ...estimatedSize(screen.clientWidth, screen.clientHeight)});
    fit = new FitAddon.FitAddon();
    term.loadAddon(fit);
    await nextTask();
    term.open(screen);
    await nextTask();
    fitScreen();
    // The terminal fills what the window leaves it, also when the lines
    // below it come and go.
    new ResizeObserver(fitScreen).observe(screen);
    term.onData(type);
    // A tap is input as a key is: it also brings the screen back down to
    // the line being typed.
    startKeypad(document.getElementById('keypad'), (data) => {
        term.input(data);
        if (!touchScreen.matches)
            term.focus(); // a keyboard goes on typing into the terminal after a click
    });
    again.addEventListener('click', () => startRun());
    await nextTask();
    startRun();
    // Once the game is under way: keep the site for offline play.  Where
    // that cannot be (a browser without service workers, or one that
    // refuses them here), the game plays on all the same.
    if ('serviceWorker' in navigator)
        navigator.serviceWorker.register('service_worker.js').catch(() => {});
}

startPage();
