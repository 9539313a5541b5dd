// The page's runs and its words (web/runs.js, web/words.js), tested in Node over jsdom with a stand-in game: each end, a replay, new runs.

import assert from 'node:assert/strict';
import {test} from 'node:test';

import {flush, openPage, PAGE_SCRIPTS} from './page.mjs';

const SECOND = 1767228147;
const KEY = 'hitblow run /play/';
const FIRST = `1 at ${SECOND}:`; // the stand-in game's first screen

// A stand-in for the game's module, keeping the page's contract (src/platform_web.cpp): at each prompt it reads
// the clock and shows "N at SECONDS:", then answers each piece it reads with "got PIECE"; at the end of input it
// says "bye" and returns 0.  "fail" fails as a write does (a line, then exit 1), "throw" throws as a broken
// module does, "exit N" returns N, and "sjis" shows "1～10の間:" in code page 932.
async function game({page, printErr, quit})
{
    const say = (text) => page.show(new TextEncoder().encode(text));
    return {
        ccall: async (...call) => {
            assert.equal(JSON.stringify(call), '["main","number",["number","number"],[0,0],{"async":true}]');
            for (let turn = 1; ; turn++) {
                say(`${turn} at ${page.clock()}:`);
                const piece = new TextDecoder().decode(await page.read(4096));
                if (piece === '' || piece.startsWith('exit '))
                    return piece === '' ? say('bye\n') ?? 0 : Number(piece.slice(5));
                if (piece === 'fail\n') {
                    printErr('hitblow: cannot write to standard output: it broke');
                    quit(1, new Error('exit(1)'));
                }
                if (piece === 'throw\n')
                    throw new Error('RuntimeError: unreachable');
                if (piece === 'sjis\n')
                    page.show(new Uint8Array([0x31, 0x81, 0x60, 0x31, 0x30, 0x82, 0xcc, 0x8a, 0xd4, 0x3a]));
                else
                    say(`got ${piece}`);
            }
        },
    };
}

// Opens the page, its first screen the stand-in game's, on what a reload leaves in session storage, the clock at
// `seconds`, types `early` before the game begins, then `keys`, each as a keyboard's input, the game answering
// each before the next ({now: text} types at once).
async function open(t, {storage = {}, seconds = SECOND, createHitblow = game, early = [], keys = [], before = () => {}} = {})
{
    const page = openPage(t, PAGE_SCRIPTS, ['ENDED', 'INTERRUPTED', 'FAILED', 'NOT_STARTED', 'NOT_KEPT'], {
        firstScreen: FIRST,
        globals: {createHitblow, Date: class extends Date { static now() { return seconds * 1000 + 999; } }},
        before: (window) => { Object.entries(storage).forEach(([key, value]) => window.sessionStorage.setItem(key, value)); before(window); },
    });
    const {document, window} = page;
    const [answer, again] = ['answer', 'again'].map((id) => document.getElementById(id));
    const fire = (Kind, type, init) => answer.dispatchEvent(new window[Kind](type, {bubbles: true, ...init}));
    const player = {
        page, answer, again, words: page.exports, fire,
        shown: () => document.getElementById('transcript').textContent,
        heard: () => document.getElementById('log').textContent,
        notes: () => [...document.querySelectorAll('#transcript .note')].map((note) => note.textContent),
        caret: () => !document.querySelector('.caret').hidden,
        storage: () => ({...window.sessionStorage}),
        enter: () => fire('KeyboardEvent', 'keydown', {key: 'Enter'}),
        async settle() {
            for (let i = 0; i < 8; i++, await flush())
                page.tick(300);
        },
        async type(...pieces) {
            for (const piece of pieces) {
                answer.value = piece.now ?? piece;
                fire('InputEvent', 'input');
                if (piece.now === undefined)
                    await player.settle();
            }
        },
    };
    await player.type(...early.map((now) => ({now})));
    await player.settle();
    await player.type(...keys);
    return player;
}

test('each way a run ends has the page\'s word after the game\'s last line, then the button', async (t) => {
    for (const [why, keys, last, name, createHitblow] of [
        ['the end of input', ['1\r', '\x04'], 'got 1\n2 at 1767228147:bye\n', 'ENDED'],
        ['a status of 0', ['exit 0\r'], '1 at 1767228147:exit 0\n', 'ENDED'],
        ['Ctrl-C', ['12\x03'], '1 at 1767228147:12^C\n', 'INTERRUPTED'],
        ['Ctrl-C as the input ends', [{now: '1\r\x04'}, '\x03'], '1 at 1767228147:1\n^C\n', 'INTERRUPTED'],
        ['a failed write', ['fail\r'], 'fail\nhitblow: cannot write to standard output: it broke\n', 'FAILED'],
        ['a status not 0', ['exit 3\r'], 'exit 3\n', 'FAILED'],
        ['a module that threw', ['throw\r'], 'throw\nError: RuntimeError: unreachable\n', 'FAILED'],
        ['a module that cannot start, and says more', [], 'Error: no WebAssembly here\n', 'NOT_STARTED', async ({printErr}) => {
            setTimeout(() => printErr('failed to prepare wasm'), 400); // once the run has ended
            throw new Error('no WebAssembly here');
        }],
        ['Ctrl-C while the game reads a long paste', [{now: `${'9'.repeat(4000)}\r`.repeat(50)}, '\x03'], '^C\n', 'INTERRUPTED'],
    ]) {
        const player = await open(t, {keys, createHitblow});
        const word = player.words[name];
        assert.ok(player.shown().endsWith(last + word), `${why}: ${JSON.stringify(player.shown().slice(-200))}`);
        assert.equal(player.shown().startsWith(FIRST), name !== 'NOT_STARTED', `${why}: the first screen, once, or not at all`);
        assert.deepEqual([player.notes(), player.again.hidden, player.storage(), player.caret()], [[word], false, {}, false], why);
        await player.type('more\r');
        player.fire('CompositionEvent', 'compositionupdate', {data: 'い'});
        assert.ok(player.shown().endsWith(word), `${why}: nothing more reaches the game or the page`);
    }
    const {words, shown, heard, caret} = await open(t, {keys: ['1\r']});
    assert.deepEqual([heard(), caret(), new Set(Object.values(words)).size], [shown(), true, 5], 'a run is heard, its caret shown');
    for (const word of Object.values(words))
        assert.match(word, /^[^\x00-\x7f]+.* \/ [A-Z][ -~]+\.$/, 'in Japanese, then in English');
});

test('the keypad types, Enter is the game\'s, code page 932 and an input method\'s text show; then Enter or the button starts anew', async (t) => {
    const player = await open(t, {keys: ['1\r2']});
    const {again, answer, page: {document}} = player;
    player.enter();
    document.querySelector('#keypad button').click();
    await player.settle();
    await player.type('\r', 'sjis\r');
    for (const data of ['いち', 'イチ']) {
        player.fire('CompositionEvent', 'compositionupdate', {data});
        assert.equal(player.shown(), `1 at 1767228147:1\ngot 1\n2 at 1767228147:2\ngot 2\n3 at 1767228147:1\ngot 1\n4 at 1767228147:sjis\n1～10の間:5 at 1767228147:${data}`);
    }
    assert.equal(document.activeElement, answer, 'a keyboard goes on typing into the answer after a click');
    await player.type({now: '\x04'});
    player.page.tick(1);
    await flush();
    assert.equal(again.hidden, true, 'the button waits for the word');
    await player.settle();
    for (const start of [() => again.click(), player.enter]) {
        assert.equal(again.hidden, false);
        answer.blur();
        start();
        await player.settle();
        assert.deepEqual([player.shown(), again.hidden, document.activeElement], ['1 at 1767228147:', true, answer], 'a fresh run, typed into');
        await player.type('\x04');
    }
});

test('what is typed before the game runs stands after the first screen, and reaches the game once, in order', async (t) => {
    let run;
    const late = new Promise((resolve) => { run = resolve; });
    const player = await open(t, {createHitblow: async (module) => { await late; return game(module); }});
    const {page: {document, window}, fire, answer} = player;
    await player.type({now: '1'});
    player.enter();
    const keys = [...document.querySelectorAll('#keypad button')];
    keys[1].click();
    keys[keys.length - 1].click();
    answer.dispatchEvent(Object.assign(new window.Event('paste'), {clipboardData: {getData: () => '3\r4\n'}}));
    fire('CompositionEvent', 'compositionupdate', {data: '5'});
    answer.value = '5';
    fire('CompositionEvent', 'compositionend', {data: '5'});
    player.enter();
    await player.settle();
    const typed = '1\n2\n3\n4\n5\n';
    assert.deepEqual([player.shown(), document.getElementById('first-screen') !== null], [FIRST + typed, true], 'before the game runs');
    run();
    await flush();
    assert.equal(player.shown(), `${FIRST}${typed}got ${typed}2 at ${SECOND}:`, 'the game\'s answer stands as soon as it waits');
    const first = document.getElementById('first-screen');
    assert.deepEqual([first.textContent, first.ariaHidden], [FIRST + typed, null], 'the first screen, heard, holds what was typed after it');
    await player.type({now: `${'5'.repeat(4000)}\r`.repeat(3)});
    await flush();
    assert.deepEqual([document.querySelectorAll('#log > div').length, player.shown().endsWith('5 at 1767228147:')], [3, true],
        'the game\'s answers to a paste it reads in pieces stand as one block, once it waits');
});

test('a run is played again after a reload, unheard: its screen, its clock and the line being typed', async (t) => {
    const first = await open(t, {keys: ['0\r', '1\r2\r', {now: `${'5'.repeat(4000)}\r`.repeat(4)}, '6\r', '3']});
    const screen = first.shown();
    assert.ok(screen.startsWith('1 at 1767228147:0\ngot 0\n2 at 1767228147:1\n2\ngot 1\n2\n3 at 1767228147:') &&
        screen.endsWith('7 at 1767228147:3') && screen.indexOf('5\n6\n') < screen.lastIndexOf('got 5'), 'typed while the game worked');
    const reloaded = await open(t, {storage: first.storage(), seconds: SECOND + 86400});
    const heard = reloaded.heard();
    assert.equal(reloaded.shown(), screen, 'the same screen, the clock given again, and no first screen');
    assert.equal(reloaded.page.document.querySelectorAll('#earlier > div').length, 1, 'what was there goes on the page whole, at once');
    assert.ok(heard.endsWith('7 at 1767228147:3') && screen.endsWith(heard) && !heard.includes('got 1'),
        'of what was there, only what followed the last piece handed over again is heard');
    await reloaded.type('\r');
    assert.ok(reloaded.shown().endsWith(`got 3\n8 at ${SECOND + 86400}:`), 'the clock goes on once the run is the player\'s');
    const again = await open(t, {storage: reloaded.storage(), seconds: SECOND + 2 * 86400});
    assert.equal(again.shown(), reloaded.shown(), 'reloaded twice');
    assert.equal((await open(t, {storage: first.storage(), early: ['9\r']})).shown(), screen, 'keys pressed while it is played again');
    const kept = [];
    let window = null;
    await open(t, {storage: first.storage(), before: (page) => { window = page; }, createHitblow: (module) => game({...module,
        page: {...module.page, clock: () => { kept.push(window.sessionStorage.getItem(KEY)); return module.page.clock(); }}})});
    assert.deepEqual(kept.slice(0, 3), Array(3).fill(first.storage()[KEY]), 'the record stands whole while the run is played again');
    const record = JSON.parse(first.storage()[KEY]);
    record.input.forEach((piece) => { piece[0] += 100000; });
    const moved = await open(t, {storage: {...first.storage(), [KEY]: JSON.stringify(record)}});
    assert.match(moved.shown(), /got 6\n8 at 1767228147:3$/, 'a record of a game that printed more still plays to its end');
});

test('a run that could not be kept starts afresh, saying so, and one with no storage plays on', async (t) => {
    const first = await open(t, {keys: ['0\r', `${'\r'.repeat(1 << 20)}1\r`]});
    assert.deepEqual(first.storage(), {[KEY]: 'lost'}, 'a record past its limit is given up');
    for (const storage of [first.storage(), {[KEY]: 'not a record'}]) {
        const reloaded = await open(t, {storage, keys: ['5\r']});
        assert.equal(reloaded.shown(), `${reloaded.words.NOT_KEPT}1 at 1767228147:5\ngot 5\n2 at 1767228147:`);
    }
    assert.deepEqual((await open(t, {storage: {'hitblow run /elsewhere/': 'lost'}})).notes(), [], 'another page\'s record');
    const none = await open(t, {keys: ['5\r'], before: (window) => Object.defineProperty(window, 'sessionStorage', {
        get: () => { throw new Error('SecurityError'); }})});
    assert.equal(none.shown(), '1 at 1767228147:5\ngot 5\n2 at 1767228147:');
});
