// The browser page's record of a run, tested in Node without a browser: what a reload finds, whatever the storage did.

import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import {test} from 'node:test';
import vm from 'node:vm';

// web/record.js is a plain script of the page, run here as the page runs it.
const source = readFileSync(new URL('../../web/record.js', import.meta.url), 'utf8');
const {RunRecord, RECORD_LIMIT} = vm.runInThisContext(`(() => {\n${source}\nreturn {RunRecord, RECORD_LIMIT};\n})()`);

// A session storage that keeps at most `room` characters, like a browser's.
function storage(room = Infinity)
{
    const items = new Map();
    return {items, getItem: (key) => items.get(key) ?? null, removeItem: (key) => items.delete(key), setItem(key, value) {
        if ([...items].reduce((sum, [k, v]) => sum + (k === key ? 0 : v.length), value.length) > room)
            throw new Error('QuotaExceededError');
        items.set(key, String(value));
    }};
}

// What a new page at `path` finds after `play(record, store)` in the same storage.
function reloaded(store, play, path = '/')
{
    play(new RunRecord(() => store, path), store);
    return new RunRecord(() => store, path).load();
}

test('what a reload finds', () => {
    const big = 'x'.repeat(1 << 20);
    const room = RECORD_LIMIT - JSON.stringify({clock: [], input: [[0, '']]}).length; // for one piece's text
    const cases = [
        ['a run under way', storage(), (r) => { r.noteClock(5); r.noteInput(3, '1\n'); r.noteLine('9'); },
         {clock: [5], input: [[3, '1\n']], line: '9'}],
        ['a run held while played again, then kept', storage(), (r) => { r.hold(true); r.noteInput(0, 'a\n'); r.noteLine(''); r.hold(false); r.noteLine('2'); },
         {clock: [], input: [[0, 'a\n']], line: '2'}],
        ['a run held, while the one before stands', storage(), (r, store) => {
            new RunRecord(() => store, '/').noteInput(0, 'old\n');
            r.hold(true);
            r.noteInput(0, 'new\n');
            r.noteLine('x');
        }, {clock: [], input: [[0, 'old\n']], line: ''}],
        ['a run that has ended', storage(), (r) => { r.noteInput(0, '1\n'); r.forget(); r.noteClock(1); r.noteInput(1, 'x'); r.noteLine('y'); }, null],
        ['a run past the limit', storage(), (r) => { r.noteInput(0, '1\n'); r.noteInput(2, big); r.noteInput(9, '2\n'); }, 'lost'],
        ['a run at the limit', storage(), (r) => r.noteInput(0, 'x'.repeat(room)), {clock: [], input: [[0, 'x'.repeat(room)]], line: ''}],
        ['a full storage', storage(100), (r) => { r.noteInput(0, 'y'.repeat(200)); }, 'lost'],
        ['a run with only a line typed', storage(), (r) => { r.hold(false); r.noteLine('1'); }, {clock: [], input: [], line: '1'}],
        ['a run with no line typed', storage(), (r) => { r.noteClock(5); r.noteInput(3, '1\n'); }, {clock: [5], input: [[3, '1\n']], line: ''}],
        ['no storage at all', null, (r) => { r.noteInput(0, '1\n'); r.noteLine('1'); r.forget(); }, null],
    ];
    for (const [what, store, play, expected] of cases) {
        assert.deepEqual(JSON.parse(JSON.stringify(reloaded(store, play))), expected, what);
        if (store !== null && (expected === null || expected === 'lost'))
            assert.deepEqual(Object.fromEntries(store.items), expected ? {'hitblow run /': 'lost'} : {}, `${what}: what is left`);
    }
});

test('a run that has read and been typed nothing is none: a fresh run is as good', () => {
    assert.equal(reloaded(storage(), (record) => { record.hold(false); record.noteLine(''); }), null);
});

test('a record that is not one is lost, never thrown', () => {
    for (const text of ['', 'lost', 'not json', '[]', 'null', '{"clock": 1, "input": []}', '{"clock": [1.5], "input": []}',
                        '{"clock": [], "input": [[0]]}', '{"clock": [], "input": [[-1, "a"]]}', '{"clock": [], "input": [["0", "a"]]}',
                        '{"clock": [], "input": [[0, "a"], [-1, "b"]]}']) {
        const store = storage();
        store.setItem('hitblow run /', text);
        assert.equal(new RunRecord(() => store, '/').load(), 'lost', text);
    }
});

test('records of sites in other folders keep apart', () => {
    const store = storage();
    reloaded(store, (record) => { record.noteInput(0, '1\n'); record.noteLine('5'); }, '/a/');
    assert.deepEqual([new RunRecord(() => store, '/b/').load(), [...store.items.keys()]], [null, ['hitblow run /a/', 'hitblow line /a/']]);
});
