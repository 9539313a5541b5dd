// The browser page's line discipline, tested in Node without a browser: each rule, a read, and a long read.

import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import {test} from 'node:test';
import vm from 'node:vm';

// web/line_discipline.js is a plain script of the page, run here inside a function as the page's one script runs
// it; load() gives it a clock and timers of the test's own.
const source = readFileSync(new URL('../../web/line_discipline.js', import.meta.url), 'utf8');
const load = vm.runInThisContext(`((performance, setTimeout) => {\n${source}\nreturn {LineDiscipline, MAX_LINE, READ_SLICE_MS};\n})`);
const {LineDiscipline, MAX_LINE} = load(performance, setTimeout);

// Types each of `inputs` into a new line discipline ({replay: text} hands text over again, as a reload
// does), and returns what it handed over, echoed (never empty) and shows as typed, and how it ended.
async function play(inputs)
{
    const seen = {echoed: '', line: '', interrupted: false};
    const discipline = new LineDiscipline({
        echo: (text) => {
            assert.notEqual(text, '', 'an empty echo');
            seen.echoed += text;
        },
        edit: (line) => { seen.line = line; },
        interrupt: () => { seen.interrupted = true; },
    });
    for (const data of inputs) {
        if (seen.interrupted)
            break; // the run is over: nothing more reaches it
        if (data.replay === undefined)
            discipline.type(data);
        else
            discipline.replay(data.replay);
    }
    const bytes = discipline.readyLength() > 0 || discipline.ended ? await discipline.read(1 << 30) : new Uint8Array();
    return {...seen, handed: new TextDecoder().decode(bytes), ended: discipline.ended};
}

test('set cases', async (t) => {
    const cases = [
        ['Enter hands a line over with a line feed', ['1', '2', '\r'], {handed: '12\n', echoed: '12\n', line: ''}],
        ['LF ends a line too; CR LF is two', ['1\r\n2\n'], {handed: '1\n\n2\n', line: ''}],
        ['Backspace and Ctrl-H take back a full-width character whole', ['1０２', '\b\x7f', '3\r'], {handed: '13\n'}],
        ['and a character of two code units', ['😀😀😀a', '\x7f\x7f', '\r'], {handed: '😀😀\n'}],
        ['Backspace on an empty line does nothing', ['\x7f\x7f1\r'], {handed: '1\n'}],
        ['a tab and other controls are dropped', ['1\t2\x1b\r'], {handed: '12\n'}],
        ['Ctrl-D hands over the line as it stands', ['5\x04'], {handed: '5', echoed: '5', ended: false}],
        ['Ctrl-D on an empty line ends the input', ['5\r\x04'], {handed: '5\n', ended: true}],
        ['Ctrl-C echoes ^C and interrupts', ['1\r', '2', '\x03', '3\r'],
         {handed: '1\n', echoed: '1\n2^C\n', line: '', interrupted: true}],
        ['a paste of many lines answers prompt after prompt', ['0 5', ' 9\r1\r-1\r7'],
         {handed: '0 5 9\n1\n-1\n', line: '7'}],
        ['a line keeps its first 4,095 characters', ['0'.repeat(MAX_LINE - 1) + '3' + '9'.repeat(1 << 20) + '\r'],
         {handed: '0'.repeat(MAX_LINE - 1) + '3\n'}],
        ['typed characters past 4,095 are dropped unechoed', ['1'.repeat(MAX_LINE), '2', '\x7f', '3'],
         {line: '1'.repeat(MAX_LINE - 1) + '3'}],
        ['a pasted line of exactly 4,095 characters is taken whole', ['7'.repeat(MAX_LINE) + '\r'],
         {handed: '7'.repeat(MAX_LINE) + '\n'}],
        ['and a paste after typing fills the line to 4,095 exactly', ['1'.repeat(MAX_LINE - 2), '234\r5\r'],
         {handed: '1'.repeat(MAX_LINE - 2) + '23\n5\n'}],
        ['half of a pair alone is a character of its own', ['a\udc00', '\x7f', '\r'], {handed: 'a\n'}],
        ['a line handed over again is echoed; the line being typed stays', ['1', {replay: '5\n'}, '2\r'],
         {handed: '5\n12\n', echoed: '5\n12\n'}],
    ];
    for (const [what, inputs, expected] of cases) {
        await t.test(what, async () => {
            const seen = await play(inputs);
            for (const [key, value] of Object.entries(expected))
                assert.deepEqual(seen[key], value, key);
        });
    }
});

test('read() hands over at most what is asked, waits for a line, and gives nothing at the end', async () => {
    const discipline = new LineDiscipline({echo: () => {}, edit: () => {}, interrupt: () => {}});
    const decode = (bytes) => new TextDecoder().decode(bytes);
    let answered = null;
    discipline.type('12'); // typed before the game asks
    const read = discipline.read(4).then((bytes) => { answered = decode(bytes); });
    discipline.type('345');
    await new Promise((resolve) => setTimeout(resolve, 20));
    assert.equal(answered, null, 'a read went on before Enter');
    discipline.type('\r');
    await read;
    assert.equal(answered, '1234');
    discipline.type('6\r7');
    assert.equal(decode(await discipline.read(3)), '5\n6', 'a read across two lines');
    assert.equal(decode(await discipline.read(3)), '\n');
    discipline.type('\x04');
    assert.equal(decode(await discipline.read(4)), '7', 'Ctrl-D hands the line over as it stands');
    discipline.type('\x04');
    assert.equal((await discipline.read(4)).length, 0);
});

// The game reads a megabyte of pasted lines, whole, 1 ms of the test's own clock a read: each READ_SLICE_MS,
// and no more often, a read lets the page take its turn, so that a timer fires and a key typed then shows.
test('a long read lets the page take its turn, and a first read or one that waited answers at once', async () => {
    let now = 1000; // the game's first read, long after the page started
    const yields = [];
    const {LineDiscipline: Discipline, READ_SLICE_MS} = load({now: () => now}, (resolve, ms) => {
        yields.push(reads);
        setTimeout(resolve, ms);
    });
    let line = null;
    const discipline = new Discipline({echo: () => {}, edit: (typed) => { line = typed; }, interrupt: () => {}});
    discipline.type('  \r'.repeat((1 << 20) / 3));
    let reads = 0;
    let answered = null;
    setTimeout(() => {
        discipline.type('5');
        answered = {reads, line};
    }, 0);
    let handed = '';
    for (; discipline.readyLength() > 0; reads++, now++)
        handed += new TextDecoder().decode(await discipline.read(4096));
    assert.equal(handed, '  \n'.repeat((1 << 20) / 3));
    const every = READ_SLICE_MS + 1; // reads between turns, each turn after more than READ_SLICE_MS
    assert.deepEqual(answered, {reads: every, line: '5'}, 'the page\'s turn');
    assert.deepEqual(yields, Array.from({length: Math.floor((reads - 1) / every)}, (_, i) => (i + 1) * every));
    const waited = discipline.read(4096);
    now += 1000;
    discipline.type('\r');
    assert.deepEqual([new TextDecoder().decode(await waited), yields.length], ['5\n', Math.floor((reads - 1) / every)]);
});
