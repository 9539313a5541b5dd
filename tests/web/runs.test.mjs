// The page's runs, tested in Node over jsdom with a stand-in for the game: how each run ends, a run played again after a reload, and new runs.
//
// usage: node tests/web/runs.test.mjs

import assert from 'node:assert/strict';
import {test} from 'node:test';

import {flush, openPage, PAGE_SCRIPTS} from './page.mjs';

// A stand-in for the game's module that keeps the page's contract (src/platform_web.cpp): at each prompt it
// reads the clock and shows "N at SECONDS:", then reads, and answers each piece with "got PIECE"; at the end
// of input it says "bye" and returns 0.  A piece "fail" fails as a write does (a line, then exit 1), "throw"
// throws as a broken module would, and "exit 3" returns 3.
function standIn({refuse = false} = {}) {
    return async ({page, printErr, quit}) => {
        if (refuse)
            throw new Error('no WebAssembly here');
        const say = (text) => page.show(new TextEncoder().encode(text));
        return {
            ccall: async (name, returns, types, args, {async}) => {
                assert.equal(JSON.stringify([name, returns, types, args, async]), '["main","number",["number","number"],[0,0],true]');
                for (let turn = 1; ; turn++) {
                    say(`${turn} at ${page.clock()}:`);
                    const piece = new TextDecoder().decode(await page.read(4096));
                    if (piece === '')
                        return say('bye\n') ?? 0;
                    if (piece === 'fail\n') {
                        printErr('hitblow: cannot write to standard output: it broke');
                        quit(1, new Error('exit(1)'));
                    }
                    if (piece === 'throw\n')
                        throw new Error('RuntimeError: unreachable');
                    if (piece.startsWith('exit '))
                        return Number(piece.slice(5));
                    say(`got ${piece}`);
                }
            },
        };
    };
}

const SECOND = 1767228147;

// Opens the page with `storage` (a reload's session storage) and the clock at `seconds`, its game `game`.
async function open(t, {storage = {}, seconds = SECOND, game = standIn(), touch = false} = {})
{
    class Clock extends Date {
        static now() { return seconds * 1000 + 999; }
    }
    const page = openPage(t, PAGE_SCRIPTS, ['ENDED', 'INTERRUPTED', 'FAILED', 'NOT_KEPT'],
        {touch, globals: {createHitblow: game, Date: Clock}, before: (window) => Object.entries(storage).forEach(([key, value]) => window.sessionStorage.setItem(key, value))});
    const {document, window} = page;
    const answer = document.getElementById('answer');
    const player = {
        page, answer, words: page.exports,
        shown: () => document.getElementById('transcript').textContent,
        heard: () => document.getElementById('log').textContent,
        notes: () => [...document.querySelectorAll('.note')].map((note) => note.textContent),
        again: document.getElementById('again'),
        storage: () => Object.fromEntries(Object.entries(window.sessionStorage)),
        // Lets the game and the page do all they can now.
        async settle()
        {
            for (let i = 0; i < 8; i++) {
                page.tick(300);
                await flush();
            }
        },
        // Types `text` as a keyboard's input does, then lets the game answer.
        async type(text)
        {
            answer.value = text;
            answer.dispatchEvent(new window.InputEvent('input', {bubbles: true}));
            await player.settle();
        },
        async press(key, init = {})
        {
            answer.dispatchEvent(new window.KeyboardEvent('keydown', {key, bubbles: true, cancelable: true, ...init}));
            await player.settle();
        },
    };
    await player.settle();
    return player;
}

test('each way a run ends has the page\'s word after the game\'s last line, then the button', async (t) => {
    const cases = [
        {why: 'the end of input', keys: ['1\r', '\x04'], last: 'got 1\n2 at 1767228147:bye\n', word: 'ENDED'},
        {why: 'a status of 0', keys: ['exit 0\r'], last: '1 at 1767228147:exit 0\n', word: 'ENDED'},
        {why: 'Ctrl-C', keys: ['12\x03'], last: '1 at 1767228147:12^C\n', word: 'INTERRUPTED'},
        {why: 'a failed write', keys: ['fail\r'], last: 'fail\nhitblow: cannot write to standard output: it broke\n', word: 'FAILED'},
        {why: 'a status not 0', keys: ['exit 3\r'], last: 'exit 3\n', word: 'FAILED'},
        {why: 'a module that threw', keys: ['throw\r'], last: 'throw\nError: RuntimeError: unreachable\n', word: 'FAILED'},
        {why: 'a module that cannot start', keys: [], last: 'Error: no WebAssembly here\n', word: 'FAILED', refuse: true},
    ];
    for (const {why, keys, last, word, refuse} of cases) {
        const player = await open(t, {game: standIn({refuse})});
        for (const key of keys)
            await player.type(key);
        const words = player.words[word];
        assert.ok(player.shown().endsWith(last + words), `${why}: ${JSON.stringify(player.shown())}`);
        assert.deepEqual(player.notes(), [words], why);
        assert.equal(player.again.hidden, false, `${why}: the button stands`);
        assert.deepEqual(player.storage(), {}, `${why}: the record is forgotten`);
        await player.type('more\r');
        assert.ok(player.shown().endsWith(words), `${why}: nothing more reaches the game or the page`);
    }
});

test('the page\'s words are told apart, each in Japanese, then in English', async (t) => {
    const {words} = await open(t);
    const all = Object.values(words);
    assert.equal(new Set(all).size, 4);
    for (const word of all)
        assert.match(word, /^[^\x00-\x7f]+.* \/ [A-Z][ -~]+\.$/);
});

test('the button waits for the page\'s word to stand, and a new run starts by the button or by Enter', async (t) => {
    const player = await open(t);
    await player.type('1\r2');
    await player.press('Enter');
    assert.equal(player.shown(), '1 at 1767228147:1\ngot 1\n2 at 1767228147:2\ngot 2\n3 at 1767228147:', 'Enter, while a run is on, is the game\'s');
    player.answer.value = '\x04';
    player.answer.dispatchEvent(new player.page.window.InputEvent('input', {bubbles: true}));
    player.page.tick(1);
    await flush();
    assert.equal(player.again.hidden, true, 'the button waits for the word');
    await player.settle();
    assert.equal(player.again.hidden, false);
    for (const start of [() => player.again.click(), () => player.press('Enter')]) {
        await start();
        await player.settle();
        assert.equal(player.shown(), '1 at 1767228147:', 'a fresh run');
        assert.equal(player.again.hidden, true);
        assert.equal(player.page.document.activeElement, player.answer, 'the keyboard types into the answer');
        await player.type('\x04');
    }
});

test('a run is played again after a reload: its screen, its clock and the line being typed', async (t) => {
    const first = await open(t);
    await first.type('0\r');
    await first.type('1\r2\r');
    await first.type('3');
    const screen = first.shown();
    assert.equal(screen, '1 at 1767228147:0\ngot 0\n2 at 1767228147:1\n2\ngot 1\n2\n3 at 1767228147:3');
    const reloaded = await open(t, {storage: first.storage(), seconds: SECOND + 86400});
    assert.equal(reloaded.shown(), screen, 'the same screen, the clock given again');
    assert.equal(reloaded.heard(), 'got 1\n2\n3 at 1767228147:3', 'of what was there, only where the run stands is heard');
    await reloaded.type('\r');
    assert.equal(reloaded.shown(), `${screen}\ngot 3\n4 at ${SECOND + 86400}:`, 'the clock goes on once the run is the player\'s');
    const again = await open(t, {storage: reloaded.storage(), seconds: SECOND + 2 * 86400});
    assert.equal(again.shown(), reloaded.shown(), 'reloaded twice');
});

test('keys pressed while a run is played again are not typed into it', async (t) => {
    const first = await open(t);
    await first.type('0\r');
    const player = openPage(t, PAGE_SCRIPTS, [], {globals: {createHitblow: standIn(), Date}, before: (window) => Object.entries(first.storage()).forEach(([key, value]) => window.sessionStorage.setItem(key, value))});
    const answer = player.document.getElementById('answer');
    answer.value = '9\r';
    answer.dispatchEvent(new player.window.InputEvent('input', {bubbles: true}));
    for (let i = 0; i < 8; i++) {
        player.tick(300);
        await flush();
    }
    assert.equal(player.document.getElementById('transcript').textContent, first.shown());
});

test('a run that could not be kept starts afresh, saying so', async (t) => {
    const first = await open(t);
    await first.type('0\r');
    await first.type(`${'\r'.repeat(1 << 20)}1\r`);
    assert.deepEqual(first.storage(), {'hitblow run /play/': 'lost'}, 'a record past its limit is given up');
    for (const storage of [first.storage(), {'hitblow run /play/': 'not a record'}]) {
        const reloaded = await open(t, {storage});
        assert.equal(reloaded.shown(), `${reloaded.words.NOT_KEPT}1 at 1767228147:`);
        await reloaded.type('5\r');
        assert.ok(reloaded.shown().endsWith('got 5\n2 at 1767228147:'), 'and plays on');
    }
    const fresh = await open(t, {storage: {'hitblow run /elsewhere/': 'lost'}});
    assert.deepEqual(fresh.notes(), [], 'another page\'s record is not this one\'s');
});

test('the game\'s text is code page 932, and an input method\'s text stands in the line until committed', async (t) => {
    const player = await open(t, {game: async ({page}) => ({
        ccall: async () => {
            page.show(new Uint8Array([0x31, 0x81, 0x60, 0x31, 0x30, 0x82, 0xcc, 0x8a, 0xd4, 0x3a]));
            await page.read(1);
            return 0;
        },
    })});
    assert.equal(player.shown(), '1～10の間:');
    player.answer.dispatchEvent(new player.page.window.CompositionEvent('compositionupdate', {data: 'いち'}));
    assert.equal(player.shown(), '1～10の間:いち');
    player.answer.dispatchEvent(new player.page.window.CompositionEvent('compositionupdate', {data: 'イチ'}));
    assert.equal(player.shown(), '1～10の間:イチ');
});
